#include "search/open_failure.h"

namespace ob {

namespace {

std::string Reason(int32_t error) {
    switch (error) {
    case 1:
        return "not a serial port";
    case 2:
    case 3:
        return "no such device";
    case 5:
        return "access denied or in use (to get access, add your user to the dialout group)";
    default:
        return "error " + std::to_string(error);
    }
}

} // namespace

std::string OpenFailureText(const std::string& portName, int32_t error) {
    return "$Cannot open " + portName + ": " + Reason(error) + ".";
}

} // namespace ob
