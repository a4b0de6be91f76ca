#pragma once
// An update run end to end: the simulated controller on its own pty, the serial port opened
// on it as COM7, the controller powered on, and EnterBoot run on the real clock.

#include "sim/simulator.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ob::testing {

// The real clock, which a test can move ahead to skip the long waits for a silent target.
class SkippingView : public RecordingView {
public:
    SkippingView() : RecordingView(Clock::Real) {}
    std::chrono::milliseconds monotonic() const override {
        return RecordingView::monotonic() + skipped;
    }
    std::chrono::milliseconds skipped{0};
};

enum class Reports { None, Problem, CriticalAndProblem };

struct Outcome {
    std::string result; // lResult at the end
    Reports reports = Reports::None;
    bool ledsShown = false;
    bool warningShown = false;
    bool targetToldToRun = false;
};

extern const std::vector<std::string> CriticalReportLines;
extern const std::vector<std::string> ProblemReportLines;

class UpdateRun : public ::testing::Test {
protected:
    UpdateRun(); // fresh run state and the embedded image
    ~UpdateRun() override;

    // Unpaced, on a link of the test's own, switched off until RunUpdate.
    bool StartSimulator(sim::SimOptions options);
    // Opens the port, powers the controller on and runs EnterBoot to its end.
    void RunUpdate();

    void ExpectOutcome(const Outcome& expected);
    void ExpectFlashHoldsImage();
    bool LogHasLine(const std::string& line) const;
    bool LogHasRun(const std::vector<std::string>& lines) const;
    std::vector<std::string> LogLinesStartingWith(const std::string& head) const;
    // The commands the controller saw, runs collapsed: "1x2 2 3 6 7".
    std::string CommandCodes() const;

    SkippingView view;
    std::unique_ptr<sim::Simulator> simulator;
    std::function<void()> duringUpdate; // runs in every event pass, as the user would
    static constexpr int ProgressPanelWidth = 400;
};

} // namespace ob::testing
