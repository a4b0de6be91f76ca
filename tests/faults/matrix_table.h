#pragma once
// The fault matrix as a table: one line per fault, with its runs, their endings, how many
// left the flash as their ending says, and the longest run.

#include "tests/faults/cell_worker.h"
#include "tests/faults/fault_rows.h"

#include <string>
#include <vector>

namespace ob::testing {

std::string MatrixTable(const std::vector<FaultRow>& rows, const std::vector<CellRun>& runs);

} // namespace ob::testing
