// The controller unplugged while the wizard holds its port: the device's far end closed and its
// link gone. The wizard keeps running, and the run still ends as a user can end it.

#include "comm32/comm32.h"
#include "core/switches.h"
#include "tests/support/wizard_run.h"

#include <QTimer>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

class UnplugTest : public WizardRun {};

TEST_F(UnplugTest, UnpluggedDuringTheSearchTheWizardSearchesOn) {
    sim::SimOptions options;
    options.Start = sim::StartState::Off;
    StartSimulator(options);
    OpenWizard("COM1=" + simulator->LinkPath());
    window->btNext1Click();
    ASSERT_TRUE(RunUntil([&] { return Comm.PortHandle != InvalidHandle; }, 5s));

    simulator->Stop();
    RunUntil([] { return false; }, 2s);
    EXPECT_EQ(window->page(), Page::Connect);
    EXPECT_TRUE(window->timerRunning());
}

TEST_F(UnplugTest, UnpluggedInThePowerCycleWaitTheAbortStillEndsTheRun) {
    sim::SimOptions options;
    options.Start = sim::StartState::Off;
    StartSimulator(options);
    CommandLine = {"/COM1"};
    OpenWizard("COM1=" + simulator->LinkPath(), false);
    QTimer::singleShot(500ms, window.get(), [&] { simulator->Stop(); });
    QTimer::singleShot(2s, window.get(), [&] { window->btExit3Click(); });
    window->show();

    ASSERT_TRUE(RunUntil([&] { return Finished(); }));
    EXPECT_TRUE(LogEndsWith(" - -- user interrupt.\r\n"));
    EXPECT_EQ(Comm.PortHandle, InvalidHandle);
}

} // namespace

} // namespace ob::testing
