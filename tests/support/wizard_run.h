#pragma once
// The real wizard window (offscreen, real timer) against the simulated controller, each on
// ports of the test's own, named through OBFLASH_PORTS.

#include "app/main_window.h"
#include "sim/simulator.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ob::testing {

class WizardRun : public ::testing::Test {
protected:
    WizardRun();
    ~WizardRun() override;

    // Unpaced, on a link of the test's own; the controller starts as `options` say.
    void StartSimulator(sim::SimOptions options);
    // A pseudo-terminal that nobody answers on; its far end in *peer when asked for.
    std::string SilentPort(int* peer = nullptr);
    // The bytes waiting at a far end.
    static std::string ReadWaiting(int peer);
    std::string MissingPort() const;
    // Sets OBFLASH_PORTS and creates the window; `show` shows it, which runs FormShow. After
    // watchdogLimit the watchdog presses Abort operation, as a user would, so that a wait for a
    // power cycle that never comes, nested in a tick or a click, cannot hang the test.
    void OpenWizard(const std::string& ports, bool show = true);
    void CloseWizard();
    // The window OpenWizard creates; a test may give it another clock.
    virtual std::unique_ptr<TfmMain> MakeWindow();

    // Runs the window's events until `done` holds or `limit` has passed.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(30));
    bool Finished() const;
    bool LogHas(const std::string& text) const;
    int LogCount(const std::string& text) const;
    bool LogEndsWith(const std::string& text) const;

    std::string directory;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<TfmMain> window;
    std::chrono::milliseconds watchdogLimit = std::chrono::minutes(1);

private:
    std::unique_ptr<QTimer> watchdog;
    std::vector<int> ptyFds;
};

} // namespace ob::testing
