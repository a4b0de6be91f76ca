#pragma once
// A frame as the boot loader puts it on the line, built here independently of the codec.

#include <cstdint>
#include <string>
#include <string_view>

namespace ob::testing {

inline std::string BootFrame(uint8_t seed, std::string_view payload) {
    std::string wire(1, char(0xF5));
    auto put = [&wire](uint8_t b) {
        if (b == 0xF5 || b == 0xF6 || b == 0xFA) {
            wire.push_back(char(0xF6));
            b &= 0x7F;
        }
        wire.push_back(char(b));
    };
    uint8_t sum = seed;
    for (char c : payload) {
        sum = uint8_t((sum ^ uint8_t(c)) + 1);
        put(uint8_t(c));
    }
    put(sum);
    wire.push_back(char(0xFA));
    return wire;
}

} // namespace ob::testing
