#pragma once
// Orders names as people count: runs of digits compare by value (ttyUSB2 before ttyUSB10).

#include <string_view>

namespace ob {

bool NaturalLess(std::string_view a, std::string_view b);

} // namespace ob
