#pragma once
// A firmware file whose data fill every chunk of the flash image: the loader's worst case.

#include <string>
#include <vector>

namespace ob::bench {

std::vector<std::string> FullImageFileLines();

} // namespace ob::bench
