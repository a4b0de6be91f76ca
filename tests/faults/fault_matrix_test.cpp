// End-to-end updates of the embedded release through every fault of the matrix, several seeds
// each: every run ends, in an outcome the wizard knows, and claims success only over a flash
// that holds the image.

#include "tests/faults/cell_worker.h"
#include "tests/faults/fault_cell.h"
#include "tests/faults/matrix_table.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

// The sanitizer build runs several times slower: one seed there unless asked for more.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OBFLASH_UNDER_ASAN
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(OBFLASH_UNDER_ASAN)
constexpr int DefaultSeeds = 1;
#else
constexpr int DefaultSeeds = 3;
#endif
// The runs mostly wait on the line, so more of them than cores share the machine well.
constexpr int DefaultWorkers = 4;

int FromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

std::vector<Cell> AllCells(int seeds) {
    std::vector<Cell> cells;
    for (int row = 0; row < int(FaultRows().size()); ++row)
        for (int seed = 1; seed <= seeds; ++seed)
            cells.push_back({row, uint32_t(seed)});
    return cells;
}

std::string Violations(const CellRun& run) {
    std::string text;
    for (const std::string& violation : run.result.violations)
        text += "\n  " + violation;
    return text;
}

} // namespace

TEST(FaultMatrix, EveryRunEndsInAKnownOutcomeAndClaimsSuccessOnlyOverTheImage) {
    const int seeds = FromEnvironment("OBFLASH_FAULT_SEEDS", DefaultSeeds);
    const int workers = FromEnvironment("OBFLASH_FAULT_WORKERS", DefaultWorkers);
    const std::string directory = std::string(OBFLASH_FAULT_MATRIX_DIR) + "/fault-runs";
    const auto start = std::chrono::steady_clock::now();

    const std::vector<CellRun> runs =
        RunCells(AllCells(seeds), workers, CellLimit + 60s, directory);

    const double minutes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60;
    const std::string table = MatrixTable(FaultRows(), runs) + "\n" + std::to_string(seeds) +
                              " seeds, " + std::to_string(workers) + " at a time, " +
                              std::to_string(minutes).substr(0, 4) + " min\n";
    std::cout << "\n" << table << std::flush;
    std::ofstream(std::string(OBFLASH_FAULT_MATRIX_DIR) + "/fault-matrix.txt") << table;
    for (const CellRun& run : runs)
        EXPECT_TRUE(run.result.violations.empty())
            << FaultRows()[std::size_t(run.cell.row)].name << ", seed " << run.cell.seed
            << " (log: " << run.logPath << "):" << Violations(run);
}

} // namespace ob::testing
