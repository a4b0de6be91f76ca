#pragma once
// The target's 1 MiB of program flash: erased bytes read 0xFF, programming only clears bits.

#include <cstdint>
#include <span>
#include <vector>

namespace ob::sim {

constexpr uint32_t FlashSize = 0x100000;

class FlashMemory {
public:
    FlashMemory() : bytes_(FlashSize, 0xFF) {}

    // The old application in blocks 8 and 4, everything else erased.
    static FlashMemory WithOldApplication();

    // False for a block number that does not exist.
    bool EraseBlock(int block);

    enum class WriteResult { Done, OutOfRange, NeedsErase };
    // All or nothing: a write that would have to set a bit changes nothing.
    WriteResult Write(uint32_t address, std::span<const uint8_t> data);

    std::span<const uint8_t> Bytes() const { return bytes_; }

private:
    void FillBlockWithCode(int block, uint32_t seed);

    std::vector<uint8_t> bytes_;
};

} // namespace ob::sim
