#pragma once
// What a program leaves on a terminal device, seen from outside it.

#include <string>

namespace ob::testing {

// The device is set for exclusive use (TIOCEXCL): others can no longer open it.
bool HeldExclusively(const std::string& path);
// Someone holds a lock on the device (flock).
bool Locked(const std::string& path);

} // namespace ob::testing
