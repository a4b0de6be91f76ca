#include "firmware/flash_blocks.h"

#include <cstdio>

namespace ob {

// Entries 13 down to 1 only: whatever lies above block 1 is block 0.
int FindBlock(uint32_t address) {
    int block = BlockCount - 1;
    while (block > 0 && address > FlashBlocks[block])
        --block;
    return block;
}

std::string EraseRangeText(int block) {
    char text[32];
    std::snprintf(text, sizeof text, "Erasing block %05X-%05X.", unsigned(BlockFirstAddress(block)),
                  unsigned(BlockLastAddress(block)));
    return text;
}

} // namespace ob
