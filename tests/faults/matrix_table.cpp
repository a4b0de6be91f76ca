#include "tests/faults/matrix_table.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace ob::testing {

namespace {

struct RowTally {
    int runs = 0;
    int verified = 0;
    double longest = 0;
    std::map<std::string, int> endings;
};

std::string EndingsText(const RowTally& tally) {
    std::string text;
    for (const auto& [ending, count] : tally.endings)
        text += (text.empty() ? "" : ", ") + ending + " " + std::to_string(count);
    return text;
}

std::string Line(const std::string& fault, const std::string& runs, const std::string& endings,
                 const std::string& flash, const std::string& longest) {
    char text[256];
    std::snprintf(text, sizeof text, "%-36s %5s  %-40s %14s %9s\n", fault.c_str(), runs.c_str(),
                  endings.c_str(), flash.c_str(), longest.c_str());
    return text;
}

// A run the checks refused is shown by what went wrong, not by its ending.
std::string EndingOf(const CellRun& run) {
    if (!run.result.violations.empty() && run.result.ending == Ending::Unknown)
        return "FAILED";
    return EndingName(run.result.ending) + (run.result.violations.empty() ? "" : " (FAILED)");
}

} // namespace

std::string MatrixTable(const std::vector<FaultRow>& rows, const std::vector<CellRun>& runs) {
    std::vector<RowTally> tallies(rows.size());
    for (const CellRun& run : runs) {
        RowTally& tally = tallies.at(std::size_t(run.cell.row));
        ++tally.runs;
        tally.verified += run.result.flashVerified ? 1 : 0;
        tally.longest = std::max(tally.longest, run.result.seconds);
        ++tally.endings[EndingOf(run)];
    }
    std::string table = Line("fault", "runs", "outcomes", "flash verified", "longest");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowTally& tally = tallies[i];
        char longest[32];
        std::snprintf(longest, sizeof longest, "%.1f s", tally.longest);
        table += Line(rows[i].name, std::to_string(tally.runs), EndingsText(tally),
                      std::to_string(tally.verified) + "/" + std::to_string(tally.runs), longest);
    }
    return table;
}

} // namespace ob::testing
