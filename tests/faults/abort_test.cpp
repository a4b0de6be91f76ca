// Abort operation in the power-cycle wait ends the wait with the port closed and free, also when
// the line kept the wizard polling after the button was pressed.

#include "comm32/comm32.h"
#include "core/switches.h"
#include "tests/faults/device_hold.h"
#include "tests/support/wizard_run.h"

#include <QTimer>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

class AbortTest : public WizardRun {};

TEST_F(AbortTest, AbortInThePowerCycleWaitLeavesThePortClosedAndFree) {
    struct Case {
        const char* name;
        sim::GarbageMode garbage;
        int silentAfter;
        std::chrono::milliseconds abortAfter;
    };
    for (const Case& c : {
             Case{"noise streams while the bursts are awaited", sim::GarbageMode::Only, -1, 1s},
             Case{"a contacted boot loader that never answers", sim::GarbageMode::None, 0, 1500ms},
         }) {
        SCOPED_TRACE(c.name);
        sim::SimOptions options;
        options.Start = sim::StartState::Off;
        options.Garbage = c.garbage;
        options.SilentAfter = c.silentAfter;
        StartSimulator(options);
        CommandLine = {"/COM1"};
        OpenWizard("COM1=" + simulator->LinkPath(), false);
        QTimer::singleShot(200ms, window.get(), [&] { simulator->PowerOn(); });
        QTimer::singleShot(200ms + c.abortAfter, window.get(), [&] { window->btExit3Click(); });
        window->show();

        ASSERT_TRUE(RunUntil([&] { return Finished(); }));
        EXPECT_TRUE(LogEndsWith(" - -- user interrupt.\r\n"));
        EXPECT_EQ(Comm.PortHandle, InvalidHandle);
        EXPECT_FALSE(HeldExclusively(simulator->DevicePath()));
        EXPECT_FALSE(Locked(simulator->DevicePath()));
        CloseWizard();
        simulator->Stop();
    }
}

} // namespace

} // namespace ob::testing
