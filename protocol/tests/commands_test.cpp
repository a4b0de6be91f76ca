#include "hex_bytes.h"
#include "protocol/commands.h"

#include <gtest/gtest.h>

namespace ob::testing {
namespace {

TEST(WriteFlashRequest, AddressFirstThenDataPaddedToEvenLength) {
    struct Case {
        uint32_t address;
        std::size_t length;
        std::size_t requestSize;
        const char* addressBytes;
    } cases[] = {
        {0xF000, 3, 8, "00 F0 00 00"},     {0xFFFDC, 36, 40, "DC FF 0F 00"},
        {0xC0000, 49, 54, "00 00 0C 00"},  {0xF7F80, 248, 252, "80 7F 0F 00"},
        {0x12345678, 2, 6, "78 56 34 12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string data;
        for (std::size_t i = 0; i < c.length; ++i)
            data.push_back(char(i + 1));
        std::string request = WriteFlashRequest(c.address, data);
        ASSERT_EQ(request.size(), c.requestSize);
        EXPECT_EQ(Hex(request.substr(0, 4)), c.addressBytes);
        EXPECT_EQ(request.substr(4, c.length), data);
        if (c.length % 2 != 0) {
            EXPECT_EQ(uint8_t(request.back()), 0xFF);
        }
    }
}

TEST(WriteFlashRequest, ThreeBytesAtF000) {
    EXPECT_EQ(Hex(WriteFlashRequest(0xF000, Bytes("11 22 33"))), "00 F0 00 00 11 22 33 FF");
}

} // namespace
} // namespace ob::testing
