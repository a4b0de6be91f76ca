#pragma once
// The flash image built from a firmware file.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ob {

constexpr int ChunkCount = 2048;
constexpr int ChunkSize = 248;

struct ImageChunk {
    int32_t Address = -1; // -1: free
    uint16_t Length = 0;
    std::array<uint8_t, ChunkSize> Data = filledWithErased();

private:
    static constexpr std::array<uint8_t, ChunkSize> filledWithErased() {
        std::array<uint8_t, ChunkSize> erased{};
        erased.fill(0xFF);
        return erased;
    }
};

struct FirmwareState {
    std::array<ImageChunk, ChunkCount> FlashImage{};
    int32_t ImageBytes = 0;
    std::string FwProgId;
    uint16_t FwVersion = 0;
};

inline FirmwareState Firmware;

uint16_t HexValue(std::string_view text);

// Builds the image from the embedded release; true when the file is invalid.
bool loadfile();
// The same over the lines of another firmware file.
bool LoadFirmwareLines(std::span<const std::string_view> lines);

} // namespace ob
