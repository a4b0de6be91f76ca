#include "tests/faults/fault_cell.h"

#include "comm32/comm32.h"
#include "core/switches.h"
#include "sim/flash_memory.h"
#include "tests/faults/idle_skipping_window.h"

#include <QTimer>

#include <algorithm>
#include <fstream>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

using Clock = std::chrono::steady_clock;

// A user who sees nothing happen after switching the controller on presses Abort operation.
constexpr auto PatienceInPowerCycleWait = 8s;
constexpr auto SwitchOnAfter = 300ms;

constexpr uint8_t EraseCode = 6;
constexpr uint8_t WriteCode = 7;

bool ProgrammingBegan(const sim::SessionSummary& summary) {
    return std::ranges::any_of(summary.Commands, [](const sim::CommandRecord& command) {
        return command.Code == EraseCode || command.Code == WriteCode;
    });
}

bool FlashUntouched(const std::vector<uint8_t>& flash) {
    return std::ranges::equal(flash, sim::FlashMemory::WithOldApplication().Bytes());
}

} // namespace

FaultCell::FaultCell(const FaultRow& row, uint32_t seed, std::string resultPath,
                     std::string logPath)
    : row(row), seed(seed), resultPath(std::move(resultPath)), logPath(std::move(logPath)) {
    watchdogLimit = CellLimit + 10s;
}

std::unique_ptr<TfmMain> FaultCell::MakeWindow() {
    return std::make_unique<IdleSkippingWindow>();
}

void FaultCell::TestBody() {
    const auto start = Clock::now();
    sim::SimOptions options = row.options(seed);
    if (row.approach == Approach::CommandLine) {
        options.Start = sim::StartState::Off;
    } else {
        options.AutoCycle = true;
        options.AutoCycleQuietMs = 300;
    }
    StartSimulator(options);
    if (HasFatalFailure())
        return;
    StartWizard();
    const bool ended = RunToTheEnd();
    CellResult result = Judge();
    if (!ended)
        result.violations.insert(result.violations.begin(), "did not end in time");
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    WriteLog();
    for (const std::string& violation : result.violations)
        ADD_FAILURE() << violation;
    EXPECT_TRUE(WriteCellResult(resultPath, result)) << resultPath;
}

void FaultCell::StartWizard() {
    const std::string ports = "COM1=" + simulator->LinkPath();
    if (row.approach == Approach::Search) {
        OpenWizard(ports);
        window->btNext1Click();
        return;
    }
    CommandLine = {"/COM1"};
    OpenWizard(ports, false);
    QTimer::singleShot(SwitchOnAfter, window.get(), [this] { simulator->PowerOn(); });
    window->show();
}

bool FaultCell::RunToTheEnd() {
    return RunUntil(
        [this] {
            GiveUpAWaitThatLasts();
            return Finished();
        },
        CellLimit);
}

void FaultCell::GiveUpAWaitThatLasts() {
    if (window->page() != Page::CyclePower) {
        waitingSince = {};
        return;
    }
    if (waitingSince == Clock::time_point{})
        waitingSince = Clock::now();
    else if (Clock::now() - waitingSince >= PatienceInPowerCycleWait)
        window->btExit3Click();
}

CellResult FaultCell::Judge() const {
    CellResult result;
    result.ending = ClassifyEnding(window->logText());
    const sim::SessionSummary summary = simulator->Summary();
    const bool image = summary.FlashMatchesRelease == std::optional<bool>(true);
    const bool began = ProgrammingBegan(summary);
    const bool success = window->caption(Control::lResult) == "Firmware upgrade successful.";
    const bool critical = LogHas("-- The procedure has been interrupted in a critic phase.") &&
                          LogHas("-- The target is UNUSABLE, or even DANGEROUS.");
    const QWidget* warning = window->findChild<QWidget*>("pnWarning");
    const bool warned = warning && warning->isVisible();
    auto fails = [&](bool broken, const std::string& what) {
        if (broken)
            result.violations.push_back(what);
    };

    fails(result.ending == Ending::Unknown, "an ending outside the outcome table");
    fails(!row.endings.contains(result.ending),
          "ending \"" + EndingName(result.ending) + "\" not expected from this fault");
    fails(success != (result.ending == Ending::Success),
          "the result line and the log disagree about success");
    fails(success && !image, "success reported over a flash that does not hold the image");
    fails(began && !success && !(critical && warned),
          "programming began and failed without the critical report and the warning panel");
    fails(!began && (critical || warned), "the critical report before programming began");
    fails(!began && !FlashUntouched(simulator->Flash()),
          "the flash changed although programming never began");
    fails(Comm.PortHandle != InvalidHandle, "the port was left open");
    result.flashVerified = success ? image
                           : began ? critical && warned
                                   : FlashUntouched(simulator->Flash());
    return result;
}

void FaultCell::WriteLog() const {
    std::ofstream file(logPath, std::ios::binary);
    file << window->logText();
}

} // namespace ob::testing
