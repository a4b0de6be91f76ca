#pragma once
// The table of `make bench`: every result file of a directory, summed up as medians and spreads
// beside their targets, with the machine they ran on; also written as results.json there.

#include <string>

namespace ob::bench {

// The table on standard output; 0, or 1 when a result is missing or failed.
int Report(const std::string& directory);

} // namespace ob::bench
