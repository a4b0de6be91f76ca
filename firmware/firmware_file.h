#pragma once
// The firmware release built into the program: the lines of its file, in order, without
// terminators. The build generates the table from the release file.

#include <span>
#include <string_view>

namespace ob {

extern const std::span<const std::string_view> FirmwareFile;

} // namespace ob
