#pragma once
// The value of a release's version text "major.minor": major × 256 + minor, modulo 65536.

#include <cstdint>
#include <optional>
#include <string_view>

namespace ob {

// Nothing when the text has no "." or a part that is not a decimal integer.
std::optional<uint16_t> VersionValue(std::string_view text);

} // namespace ob
