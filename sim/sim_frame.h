#pragma once
// The controller's side of the frame format: its own encoder and decoder.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace ob::sim {

using Bytes = std::vector<uint8_t>;

uint8_t FoldChecksum(uint8_t seed, const Bytes& bytes);

// Start byte, escaped payload and checksum, end byte.
Bytes EncodeFrame(const Bytes& payload, uint8_t seed);

class FrameDecoder {
public:
    explicit FrameDecoder(uint8_t seed = 0x55) : seed_(seed) {}

    void SetSeed(uint8_t seed) { seed_ = seed; }
    void Reset();

    // The payload (checksum removed) when this byte completes a valid frame.
    std::optional<Bytes> Feed(uint8_t byte);

    // Wire bytes from the start byte of the frame under way, escapes included.
    size_t WireBytesInFrame() const { return wireBytes_; }

private:
    // A frame holds at most 255 payload bytes; anything longer is noise.
    static constexpr size_t MaxDecoded = 300;

    uint8_t seed_;
    bool inFrame_ = false;
    bool escaped_ = false;
    size_t wireBytes_ = 0;
    Bytes decoded_;
};

} // namespace ob::sim
