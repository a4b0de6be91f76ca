#pragma once
// The target's flash blocks, numbered 0 to 13 from the top of the address space down.
// Entry b is the last address of block b; entry b + 1, plus one, is its first address.

#include <array>
#include <cstdint>
#include <string>

namespace ob {

constexpr std::array<uint32_t, 15> FlashBlocks = {
    0xFFFFF, 0xFEFFF, 0xFDFFF, 0xFBFFF, 0xF9FFF, 0xF7FFF, 0xEFFFF, 0xDFFFF,
    0xCFFFF, 0xBFFFF, 0xAFFFF, 0x9FFFF, 0x8FFFF, 0xFFFF,  0xF000,
};

constexpr int BlockCount = 14;

constexpr uint32_t BlockLastAddress(int block) {
    return FlashBlocks[block];
}
// Block 13 holds every address from 0 (the table's entry 14 is not its start).
constexpr uint32_t BlockFirstAddress(int block) {
    return block == BlockCount - 1 ? 0 : FlashBlocks[block + 1] + 1;
}

int FindBlock(uint32_t address);

// "Erasing block 00000-0FFFF." and the like.
std::string EraseRangeText(int block);

} // namespace ob
