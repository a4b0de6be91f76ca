#pragma once
// What the boot loader sends after power-up: bursts whose last two bytes carry its age
// and the byte that contacts it.

#include "sim/sim_frame.h"
#include "sim/sim_options.h"

#include <chrono>

namespace ob::sim {

constexpr uint8_t OldBootMark = 5;    // the last byte of an old boot loader's burst
constexpr uint8_t NewBootMark = 0x16; // the last but one of a newer boot loader's burst

uint8_t DefaultContactByte(BootAge age);
uint16_t DefaultBootVersion(BootAge age);
uint8_t BootSeed(BootAge age);

// Burst number index (from 0): two to four bytes, the pattern in the last two.
Bytes AnnouncementBurst(BootAge age, uint8_t contact, int index);

// Silence after burst number index; long enough for a host to tell bursts apart by gaps.
std::chrono::milliseconds GapAfterBurst(int index);

} // namespace ob::sim
