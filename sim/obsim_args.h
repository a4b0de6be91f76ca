#pragma once
// The obsim command line.

#include "sim/sim_options.h"

#include <optional>
#include <string>
#include <vector>

namespace ob::sim {

struct ObsimCommandLine {
    SimOptions Options;
    std::string JsonPath;             // the summary as JSON; empty: none
    std::vector<std::string> Command; // run with the link in OBFLASH_PORTS; empty: none
    bool Help = false;
};

// The arguments after the program name; the reason in *error when they do not parse.
std::optional<ObsimCommandLine> ParseObsimArgs(const std::vector<std::string>& args,
                                               std::string* error);
std::string ObsimUsage();

} // namespace ob::sim
