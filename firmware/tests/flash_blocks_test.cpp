#include "firmware/flash_blocks.h"

#include <gtest/gtest.h>

namespace ob {
namespace {

TEST(FindBlock, MapsEveryBoundaryToItsBlock) {
    struct Case {
        uint32_t address;
        int block;
    };
    for (Case c : {Case{0x00000, 13}, {0x0FFFF, 13},  {0x10000, 12}, {0x8FFFF, 12}, {0x90000, 11},
                   {0x9FFFF, 11},     {0xA0000, 10},  {0xAFFFF, 10}, {0xB0000, 9},  {0xBFFFF, 9},
                   {0xC0000, 8},      {0xCFFFF, 8},   {0xD0000, 7},  {0xDFFFF, 7},  {0xE0000, 6},
                   {0xEFFFF, 6},      {0xF0000, 5},   {0xF7FFF, 5},  {0xF8000, 4},  {0xF9D00, 4},
                   {0xF9FFF, 4},      {0xFA000, 3},   {0xFBFFF, 3},  {0xFC000, 2},  {0xFDFFF, 2},
                   {0xFE000, 1},      {0xFEFFF, 1},   {0xFF000, 0},  {0xFFFDC, 0},  {0xFFFFF, 0},
                   {0x100000, 0},     {0xFFFFFFFF, 0}})
        EXPECT_EQ(FindBlock(c.address), c.block) << std::hex << c.address;
}

TEST(EraseRangeText, ShowsTheBlockInFiveDigits) {
    EXPECT_EQ(EraseRangeText(8), "Erasing block C0000-CFFFF.");
    EXPECT_EQ(EraseRangeText(4), "Erasing block F8000-F9FFF.");
    EXPECT_EQ(EraseRangeText(0), "Erasing block FF000-FFFFF.");
    EXPECT_EQ(EraseRangeText(13), "Erasing block 00000-0FFFF.");
}

// The text names exactly the addresses that FindBlock gives the block.
TEST(EraseRangeText, AgreesWithFindBlock) {
    for (int block = 0; block < BlockCount; ++block) {
        EXPECT_EQ(FindBlock(BlockFirstAddress(block)), block);
        EXPECT_EQ(FindBlock(BlockLastAddress(block)), block);
        if (block > 0) {
            EXPECT_EQ(FindBlock(BlockLastAddress(block) + 1), block - 1);
        }
    }
}

} // namespace
} // namespace ob
