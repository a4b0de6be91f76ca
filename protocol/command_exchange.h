#pragma once
// One command to the boot loader and the wait for the reply that belongs to it.

#include <cstdint>
#include <string_view>

namespace ob {

struct ExchangeState {
    int SeqNo = 12;    // sequence byte of the current command, bit 7 the high-bit flag
    int WaitTicks = 0; // 10 ms ticks since the current attempt's frame went out
};

inline ExchangeState Exchange;

constexpr uint8_t NoReply = 255;

// The status of the matching reply (Codec.Reply then holds the reply data and the checksum
// byte), or NoReply when the attempts ran out or KeepRunning was cleared.
uint8_t SendCommand(uint8_t code, std::string_view data, bool highBit, int attempts, int waitLimit);

} // namespace ob
