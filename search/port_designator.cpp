#include "search/port_search.h"

#include <cctype>

namespace ob {

namespace {

std::string DigitsFrom(const std::string& text, std::size_t start) {
    std::string digits;
    for (std::size_t i = start; i < text.size() && std::isdigit(uint8_t(text[i])); ++i)
        digits += text[i];
    return digits;
}

} // namespace

std::string DesignatorOf(const std::string& portName) {
    return "bio" + DigitsFrom(portName, 3);
}

std::string CommandLineDesignator(const std::string& argument) {
    return "bio" + DigitsFrom(argument, 4);
}

} // namespace ob
