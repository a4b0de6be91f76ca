#pragma once
// The runs of the matrix each in a process of their own, a few at a time: a run starts from a
// fresh program as a user's would, a crash stays within its run, and a hang is cut off.

#include "tests/faults/cell_result.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ob::testing {

struct Cell {
    int row = 0;
    uint32_t seed = 0;
};

struct CellRun {
    Cell cell;
    CellResult result;
    std::string logPath; // the wizard's log of the run
};

// Runs every cell through this test program, at most `workers` at once; a worker still
// running after `bound` is killed.
std::vector<CellRun> RunCells(const std::vector<Cell>& cells, int workers,
                              std::chrono::seconds bound, const std::string& directory);

// In a worker: registers the cell named by the environment as the one test to run. False when
// this process is no worker.
bool RegisterCellFromEnvironment();

} // namespace ob::testing
