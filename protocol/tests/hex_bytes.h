#pragma once
// Byte strings written as hexadecimal text, so line traffic reads as it does on a scope.

#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

namespace ob::testing {

// "F5 0D 01" -> the three bytes.
inline std::string Bytes(std::string_view hex) {
    std::string bytes;
    std::istringstream in{std::string(hex)};
    for (unsigned value; in >> std::hex >> value;)
        bytes.push_back(char(value));
    return bytes;
}

// The three bytes -> "F5 0D 01".
inline std::string Hex(std::string_view bytes) {
    std::string text;
    for (char b : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", unsigned(uint8_t(b)));
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

} // namespace ob::testing
