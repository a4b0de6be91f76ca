#include "protocol/number_text.h"

#include <gtest/gtest.h>

namespace ob {
namespace {

TEST(HexText, WidthPadsWithBlanksAndPrecisionWithZeros) {
    struct Case {
        uint32_t value;
        int width;
        int precision;
        const char* text;
    } cases[] = {
        {0xC0000, 5, 0, "C0000"},   {0xF000, 5, 0, " F000"}, {0xF000, 5, 5, "0F000"},
        {0x24, 2, 2, "24"},         {0x9, 2, 2, "09"},       {0xABC, 0, 0, "ABC"},
        {0x123456, 5, 5, "123456"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexText(c.value, c.width, c.precision), c.text)
            << c.value << " " << c.width << "." << c.precision;
}

} // namespace
} // namespace ob
