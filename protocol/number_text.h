#pragma once
// Numbers in the log and on the window as the messages write them.

#include <cstdint>
#include <string>

namespace ob {

// Upper-case hexadecimal with at least `precision` digits (zeros in front), right-aligned in
// `width` characters (blanks in front): "%2.2x" is (2, 2), "%5x" and "%05x" are both (5, 0).
std::string HexText(uint32_t value, int width = 0, int precision = 0);

} // namespace ob
