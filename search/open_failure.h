#pragma once
// The log line for a port that would not open.

#include <cstdint>
#include <string>

namespace ob {

std::string OpenFailureText(const std::string& portName, int32_t error);

} // namespace ob
