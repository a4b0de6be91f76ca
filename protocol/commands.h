#pragma once
// The boot loader's commands and the patience each caller gives them.

#include <cstdint>
#include <string>
#include <string_view>

namespace ob {

constexpr uint8_t CmdIdentify = 1;
constexpr uint8_t CmdGetAppId = 2;
constexpr uint8_t CmdGetAppVersion = 3;
constexpr uint8_t CmdRunApp = 4;
constexpr uint8_t CmdEraseBlock = 6;
constexpr uint8_t CmdWriteFlash = 7;

// What a caller passes to SendCommand; a wait limit counts 10 ms ticks.
struct CommandLimits {
    int attempts;
    int waitLimit;
};

constexpr CommandLimits OldBootContactLimits{5, 50};
constexpr CommandLimits NewBootContactLimits{3, 200};
constexpr CommandLimits UpdateQueryLimits{8, 500}; // identify, identifier and version
constexpr CommandLimits EraseBlockLimits{3, 5000};
constexpr CommandLimits WriteFlashLimits{5, 1000};
constexpr CommandLimits RunAppLimits{4, 100};

// Request data of CmdWriteFlash: the address LSB first, the bytes, and 0xFF to make it even.
std::string WriteFlashRequest(uint32_t address, std::string_view bytes);

} // namespace ob
