#include "protocol/number_text.h"

#include <cstdio>

namespace ob {

std::string HexText(uint32_t value, int width, int precision) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", unsigned(value));
    std::string text = digits;
    if (int(text.size()) < precision)
        text.insert(0, std::size_t(precision) - text.size(), '0');
    if (int(text.size()) < width)
        text.insert(0, std::size_t(width) - text.size(), ' ');
    return text;
}

} // namespace ob
