#pragma once
// One run of the matrix: the real window updates the simulated controller through one fault,
// and the ending is checked against the controller's flash.

#include "tests/faults/cell_result.h"
#include "tests/faults/fault_rows.h"
#include "tests/support/wizard_run.h"

#include <chrono>

namespace ob::testing {

// Far above the longest normal run; a run still going then counts as a hang.
constexpr std::chrono::seconds CellLimit{240};

class FaultCell : public WizardRun {
public:
    FaultCell(const FaultRow& row, uint32_t seed, std::string resultPath, std::string logPath);

protected:
    std::unique_ptr<TfmMain> MakeWindow() override;
    void TestBody() override;

private:
    void StartWizard();
    bool RunToTheEnd();
    void GiveUpAWaitThatLasts();
    CellResult Judge() const;
    void WriteLog() const;

    const FaultRow& row;
    uint32_t seed;
    std::string resultPath;
    std::string logPath;
    std::chrono::steady_clock::time_point waitingSince{};
};

} // namespace ob::testing
