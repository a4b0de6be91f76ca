#pragma once
// What one run of the matrix found, as the worker process hands it to the matrix.

#include "tests/faults/ending.h"

#include <optional>
#include <string>
#include <vector>

namespace ob::testing {

struct CellResult {
    Ending ending = Ending::Unknown;
    bool flashVerified = false; // the flash is what the ending claims it is
    double seconds = 0;
    std::vector<std::string> violations;
};

bool WriteCellResult(const std::string& path, const CellResult& result);
// Nothing when the file is missing: the worker died before it could write it.
std::optional<CellResult> ReadCellResult(const std::string& path);

} // namespace ob::testing
