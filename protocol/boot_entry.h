#pragma once
// Catching the boot loader's announcement after power-up and contacting it.

#include <string>

namespace ob {

// One announcement burst: its last two bytes, or, once KeepRunning is clear, at most the last two
// that came.
void ReadBurst(std::string& burst);

// Waits for the announcement on the open port, contacts the boot loader and runs the update;
// returns when the update has ended or the user interrupted the wait.
void EnterBoot();

} // namespace ob
