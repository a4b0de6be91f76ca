#pragma once
// The positional command-line switches, each read where it is used.

#include <string>
#include <vector>

namespace ob {

// argv[1..]; argument n of the switches is CommandLine[n - 1].
inline std::vector<std::string> CommandLine;

// Argument n (1-based); a missing argument reads as empty.
std::string ParamStr(std::size_t n);

bool CommandLinePortGiven(); // argument 1 starts with "/COM"
bool ForceSwitch();          // argument 2 is "/FORCE"
bool LogSwitch();            // argument 3 is "/LOG"

} // namespace ob
