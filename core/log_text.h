#pragma once
// The line rules of the operations log.

#include <string>
#include <string_view>

namespace ob {

// The text that `log(message)` appends: CR LF after a final ".", and a leading "$"
// replaced by `stamp` ("hh:mm:ss" in local time) and " - ".
std::string ApplyLogRules(std::string_view message, std::string_view stamp);

} // namespace ob
