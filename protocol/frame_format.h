#pragma once
// The bytes of the serial frame format, shared with the simulated controller.

#include <cstdint>

namespace ob {

constexpr uint8_t FrameStart = 0xF5;
constexpr uint8_t FrameEscape = 0xF6;
constexpr uint8_t FrameEnd = 0xFA;

constexpr uint8_t SeedNewBoot = 0xAA; // boot loader 1.2 or newer
constexpr uint8_t SeedOldBoot = 0x55; // boot loader before 1.2, and the application

} // namespace ob
