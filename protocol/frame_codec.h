#pragma once
// Payloads to and from the serial line: start byte, escaped payload and checksum, end byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace ob {

// The decoder's state, shared by both receive variants and kept from one call to the next.
struct CodecState {
    std::string Reply;    // decoded bytes of the frame being (or last) assembled, checksum last
    bool InFrame = false; // a start byte came and no end byte since
    bool Escaped = false; // the next data byte gets bit 7 set
};

inline CodecState Codec;

// No valid frame decodes to more than 257 bytes; a longer run is noise and is dropped.
constexpr std::size_t MaxFrameBytes = 512;

// The running checksum: c := ((c XOR b) + 1) mod 256 over every byte, from `seed`.
uint8_t FoldBytes(uint8_t seed, std::string_view bytes);

// To the boot loader, with the seed that OldBoot selects.
void SendFrame(std::string_view payload);
// To the application, always with the application's seed.
void SendAppFrame(std::string_view payload);

// Decode waiting bytes; true when a valid frame has just been completed into Codec.Reply.
bool ReceiveFrame();
// The same with the application's seed, and without touching the window.
bool ReceiveAppFrame();

} // namespace ob
