#include "switches.h"

namespace ob {

std::string ParamStr(std::size_t n) {
    if (n == 0 || n > CommandLine.size())
        return {};
    return CommandLine[n - 1];
}

bool CommandLinePortGiven() { return ParamStr(1).starts_with("/COM"); }

bool ForceSwitch() { return ParamStr(2) == "/FORCE"; }

bool LogSwitch() { return ParamStr(3) == "/LOG"; }

} // namespace ob
