// The wizard end to end: the search over the listed ports, the manual choice and the command-line
// start, each ending in the power cycle and the update of the simulated controller.

#include "tests/support/wizard_run.h"

#include "comm32/comm32.h"
#include "core/switches.h"
#include "protocol/frame_format.h"
#include "protocol/tests/boot_frame.h"
#include "search/port_search.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

sim::SimOptions FoundBySearch(uint16_t applicationVersion = 0x011E) {
    sim::SimOptions options;
    options.AppVersion = applicationVersion;
    options.AutoCycle = true;
    options.AutoCycleQuietMs = 300;
    return options;
}

sim::SimOptions SwitchedOff() {
    sim::SimOptions options;
    options.Start = sim::StartState::Off;
    return options;
}

std::string Entry(int number, const std::string& path) {
    return "COM" + std::to_string(number) + "=" + path;
}

std::string Name(int number, const std::string& path) {
    return "COM" + std::to_string(number) + " (" + path + ")";
}

class SearchTest : public WizardRun {
protected:
    void ExpectUpdated() {
        EXPECT_EQ(window->caption(Control::lResult), "Firmware upgrade successful.");
        EXPECT_EQ(simulator->Summary().FlashMatchesRelease, std::optional<bool>(true));
    }

    QGroupBox* manualGroup() const { return window->findChild<QGroupBox*>("gbSelect"); }
    QComboBox* portList() const { return window->findChild<QComboBox*>("cbPortaSer"); }
    QPushButton* manualNext() const { return window->findChild<QPushButton*>("btNext2"); }
};

TEST_F(SearchTest, FindsTheControllerOnTheThirdPortAndUpdatesIt) {
    StartSimulator(FoundBySearch());
    const std::string controller = simulator->LinkPath();
    OpenWizard(Entry(1, MissingPort()) + "," + Entry(2, SilentPort()) + "," +
               Entry(12, controller));
    window->btNext1Click();

    ASSERT_TRUE(RunUntil([&] { return Finished(); }, 60s));
    EXPECT_TRUE(LogHas(" - OB connected to " + Name(12, controller) + ".\r\n"));
    EXPECT_EQ(window->caption(Control::lFound), "Orbeline found on " + Name(12, controller));
    EXPECT_EQ(LogCount("Cannot open " + Name(1, MissingPort()) + ": no such device."), 1);
    ExpectUpdated();
}

TEST_F(SearchTest, TheResidentVersionDecidesWhetherTheUpdateIsNeeded) {
    struct Case {
        uint16_t version;
        Page pageAfterConnect;
        std::string result;
    };
    for (const Case& c : {Case{0x0125, Page::Finished, "Your OB is already updated."},
                          Case{0x0124, Page::CyclePower, "Firmware upgrade successful."}}) {
        SCOPED_TRACE(c.version);
        StartSimulator(FoundBySearch(c.version));
        OpenWizard(Entry(1, simulator->LinkPath()));
        window->btNext1Click();
        std::optional<Page> pageAfterConnect;
        ASSERT_TRUE(RunUntil([&] {
            if (!pageAfterConnect && window->page() > Page::Connect)
                pageAfterConnect = window->page();
            return Finished();
        }));
        EXPECT_EQ(pageAfterConnect, c.pageAfterConnect);
        EXPECT_EQ(window->caption(Control::lResult), c.result);
        EXPECT_EQ(LogHas(" - Resident firmware has the same or newver version.\r\n"),
                  c.pageAfterConnect == Page::Finished);
        EXPECT_EQ(Comm.PortHandle, InvalidHandle);
        CloseWizard();
        simulator->Stop();
    }
}

TEST_F(SearchTest, WithoutAnAnswerTheManualChoiceComesAtTheFifthWrapAndLeadsOn) {
    StartSimulator(SwitchedOff());
    const std::string controller = simulator->LinkPath();
    OpenWizard(Entry(3, SilentPort()) + "," + Entry(12, controller));
    window->stopTimer();
    window->btNext1Click();

    const int firstSwitch = 1;
    for (int tick = 1; tick <= firstSwitch + 239; ++tick)
        window->tmTimerTimer();
    EXPECT_TRUE(manualGroup()->isHidden());
    window->tmTimerTimer();
    ASSERT_FALSE(manualGroup()->isHidden());
    EXPECT_EQ(portList()->count(), 2);
    EXPECT_FALSE(manualNext()->isEnabled());

    QTest::keyClick(portList(), Qt::Key_Down);
    EXPECT_TRUE(manualNext()->isEnabled());
    QTest::keyClick(portList(), Qt::Key_Down);
    ASSERT_EQ(portList()->currentIndex(), 1);
    QTimer::singleShot(200ms, window.get(), [&] { simulator->PowerOn(); });
    manualNext()->click();

    EXPECT_TRUE(Finished());
    EXPECT_TRUE(LogHas(" - User told OB is connected to " + Name(12, controller) + ".\r\n"));
    EXPECT_EQ(window->caption(Control::lFound), "Orbeline connected to " + Name(12, controller));
    ExpectUpdated();
}

TEST_F(SearchTest, ACommandLinePortStartsUnattendedAndUpdates) {
    StartSimulator(SwitchedOff());
    CommandLine = {"/COM14"};
    OpenWizard(Entry(14, simulator->LinkPath()), false);
    QTimer::singleShot(300ms, window.get(), [&] { simulator->PowerOn(); });
    window->show();

    ASSERT_TRUE(RunUntil([&] { return Finished(); }));
    EXPECT_EQ(window->caption(Control::lFound), "Orbeline connected to port=BIO14");
    EXPECT_TRUE(LogHas(" - Command line parameter was /COM14.\r\n"));
    EXPECT_FALSE(LogHas("OB connected to"));
    ExpectUpdated();
}

TEST_F(SearchTest, ACommandLinePortThatDoesNotOpenWaitsUntilAborted) {
    for (const std::string argument : {"/COM", "/COM9"}) {
        SCOPED_TRACE(argument);
        CommandLine = {argument};
        OpenWizard(Entry(1, SilentPort()));
        std::string found;
        ASSERT_TRUE(RunUntil([&] {
            if (window->page() == Page::CyclePower && found.empty()) {
                found = window->caption(Control::lFound);
                window->btExit3Click();
            }
            return Finished();
        }));
        EXPECT_EQ(found, "Orbeline connected to port=");
        EXPECT_TRUE(LogHas(" - Command line parameter was " + argument + ".\r\n"));
        EXPECT_TRUE(LogEndsWith(" - -- user interrupt.\r\n"));
        EXPECT_EQ(window->caption(Control::lResult), "No upgrade performed.");
        CloseWizard();
    }
}

// Only the reply's payload tells the version; the frame's checksum byte closes Reply and must not
// be read as the version's high byte (here it is 0x73, which would pass for up to date).
TEST_F(SearchTest, TheVersionIsReadFromTheReplyPayloadOnly) {
    struct Case {
        std::string payload; // sequence, status, version minor first
        bool needsUpdate;
    };
    for (const Case& c : {Case{std::string("\x00\x00\x25", 3), true},
                          Case{std::string("\x00\x00\x24\x01", 4), true},
                          Case{std::string("\x00\x00\x25\x01", 4), false},
                          Case{std::string("\x08\x07\x26\x01\x00", 5), false}}) {
        SCOPED_TRACE(c.payload.size());
        int peer = -1;
        OpenWizard(Entry(1, SilentPort(&peer)));
        window->stopTimer();
        window->btNext1Click();
        window->tmTimerTimer();
        const std::string frame = BootFrame(SeedOldBoot, c.payload);
        ASSERT_EQ(write(peer, frame.data(), frame.size()), ssize_t(frame.size()));
        QTimer::singleShot(100ms, window.get(), [&] { window->btExit3Click(); });
        window->tmTimerTimer();

        EXPECT_TRUE(Finished());
        EXPECT_EQ(LogHas(" - OB connected to COM1 ("), c.needsUpdate);
        EXPECT_EQ(LogHas("Resident firmware has the same or newver version."), !c.needsUpdate);
        CloseWizard();
    }
}

TEST_F(SearchTest, APortThatDoesNotOpenIsReportedOnceAndNotProbedThroughAnother) {
    int peer = -1;
    const std::string earlier = SilentPort(&peer);
    OpenWizard(Entry(1, earlier) + "," + Entry(2, MissingPort()));
    window->stopTimer();
    window->btNext1Click();

    for (int tick = 1; tick <= 30; ++tick)
        window->tmTimerTimer();
    EXPECT_FALSE(ReadWaiting(peer).empty()) << "the listed port that opens is probed";
    for (int pass = 0; pass < 3; ++pass) {
        for (int tick = 0; tick < 30; ++tick)
            window->tmTimerTimer();
        EXPECT_EQ(ReadWaiting(peer), "") << "a probe in the missing port's step";
        for (int tick = 0; tick < 30; ++tick)
            window->tmTimerTimer();
        ReadWaiting(peer);
    }
    EXPECT_EQ(LogCount("Cannot open "), 1);
    EXPECT_TRUE(LogHas(" - Cannot open " + Name(2, MissingPort()) + ": no such device.\r\n"));
}

TEST_F(SearchTest, AnEmptyPortListIsNeverIndexed) {
    OpenWizard("");
    window->stopTimer();
    window->btNext1Click();
    for (int tick = 0; tick < 300; ++tick)
        window->tmTimerTimer();
    EXPECT_EQ(window->caption(Control::lComSearch), "no serial port found");
    EXPECT_EQ(LogCount("No serial port found."), 1);
    EXPECT_TRUE(manualGroup()->isHidden());
}

TEST_F(SearchTest, ADeviceThatNeverStopsSendingDoesNotHoldTheTick) {
    sim::SimOptions options;
    options.Garbage = sim::GarbageMode::Only;
    StartSimulator(options);
    OpenWizard(Entry(1, simulator->LinkPath()));
    window->stopTimer();
    window->btNext1Click();
    for (int tick = 0; tick < 10; ++tick)
        window->tmTimerTimer();
    EXPECT_EQ(window->page(), Page::Connect);
}

} // namespace

TEST(PortDesignator, TakesEveryDigitAfterCom) {
    struct Case {
        std::string text;
        std::string listed;
        std::string commandLine;
    };
    for (const Case& c :
         {Case{"3", "bio3", "bio3"}, Case{"12", "bio12", "bio12"}, Case{"", "bio", "bio"}}) {
        EXPECT_EQ(DesignatorOf("COM" + c.text + " (/dev/ttyUSB0)"), c.listed);
        EXPECT_EQ(CommandLineDesignator("/COM" + c.text), c.commandLine);
    }
}

} // namespace ob::testing
