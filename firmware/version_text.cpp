#include "firmware/version_text.h"

namespace ob {

namespace {

// Digits only, at least one; the value is kept modulo 65536, so any length is safe.
std::optional<uint32_t> DecimalModulo(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = (value * 10 + uint32_t(c - '0')) % 65536;
    }
    return value;
}

} // namespace

std::optional<uint16_t> VersionValue(std::string_view text) {
    std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        return std::nullopt;
    std::optional<uint32_t> major = DecimalModulo(text.substr(0, point));
    std::optional<uint32_t> minor = DecimalModulo(text.substr(point + 1));
    if (!major || !minor)
        return std::nullopt;
    return uint16_t(*major * 256 + *minor);
}

} // namespace ob
