#include "firmware/image_loader.h"

namespace ob {

namespace {

// Anything that is not a hexadecimal digit still takes a digit position, as a 0.
unsigned HexDigit(char c) {
    if (c >= 'a' && c <= 'z')
        c = char(c - 'a' + 'A');
    if (c >= '0' && c <= '9')
        return unsigned(c - '0');
    if (c >= 'A' && c <= 'F')
        return unsigned(c - 'A' + 10);
    return 0;
}

} // namespace

// Only the last four characters count: further left the weight is 16^4, which is 0 in 16 bits.
uint16_t HexValue(std::string_view text) {
    if (text.size() > 4)
        text.remove_prefix(text.size() - 4);
    unsigned value = 0;
    for (char c : text)
        value = value * 16 + HexDigit(c);
    return uint16_t(value);
}

} // namespace ob
