#include "log_text.h"

namespace ob {

std::string ApplyLogRules(std::string_view message, std::string_view stamp) {
    std::string text(message);
    if (text.ends_with('.'))
        text += "\r\n";
    if (text.starts_with('$'))
        text = std::string(stamp) + " - " + text.substr(1);
    return text;
}

} // namespace ob
