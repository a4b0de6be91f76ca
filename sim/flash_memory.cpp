#include "sim/flash_memory.h"

#include "firmware/flash_blocks.h"

#include <algorithm>

namespace ob::sim {

FlashMemory FlashMemory::WithOldApplication() {
    FlashMemory flash;
    flash.FillBlockWithCode(8, 0x1234);
    flash.FillBlockWithCode(4, 0x5678);
    return flash;
}

// Bytes that look like code and never read erased, so that no write can succeed over them
// without an erase unless it happens to clear bits only.
void FlashMemory::FillBlockWithCode(int block, uint32_t seed) {
    uint32_t state = seed;
    for (uint32_t a = BlockFirstAddress(block); a <= BlockLastAddress(block); ++a) {
        state = state * 1103515245u + 12345u;
        bytes_[a] = static_cast<uint8_t>(state >> 16) & 0x7F;
    }
}

bool FlashMemory::EraseBlock(int block) {
    if (block < 0 || block >= BlockCount)
        return false;
    std::fill(bytes_.begin() + BlockFirstAddress(block),
              bytes_.begin() + BlockLastAddress(block) + 1, 0xFF);
    return true;
}

FlashMemory::WriteResult FlashMemory::Write(uint32_t address, std::span<const uint8_t> data) {
    if (address >= FlashSize || data.size() > FlashSize - address)
        return WriteResult::OutOfRange;
    for (size_t i = 0; i < data.size(); ++i)
        if ((data[i] & ~bytes_[address + i]) != 0)
            return WriteResult::NeedsErase;
    for (size_t i = 0; i < data.size(); ++i)
        bytes_[address + i] &= data[i];
    return WriteResult::Done;
}

} // namespace ob::sim
