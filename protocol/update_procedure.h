#pragma once
// The update of a contacted boot loader: identification, erase, programming, start.

#include "firmware/flash_blocks.h"

#include <array>
#include <cstdint>
#include <string>

namespace ob {

struct UpdateState {
    std::array<bool, BlockCount>
        BlockErased{};          // erased in this run; cleared when programming starts
    std::string TargetAppId;    // the resident identifier, cut to 7 characters
    uint16_t TargetVersion = 0; // 0 when the target does not report it
};

inline UpdateState Update;

// Runs the whole update on the contacted boot loader and ends on the Finished page with the
// port closed, whatever the outcome.
void btStartClick();

} // namespace ob
