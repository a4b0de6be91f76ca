#include "update_fixture.h"

#include "comm32/comm32.h"
#include "comm32/port_table.h"
#include "core/run_state.h"
#include "core/switches.h"
#include "firmware/image_loader.h"
#include "protocol/boot_entry.h"
#include "protocol/command_exchange.h"
#include "protocol/frame_codec.h"
#include "protocol/update_procedure.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

constexpr auto Watchdog = 30s;
const std::string Stars = std::string(56, '*') + ".";

std::string LinkPathFor(const ::testing::TestInfo& test) {
    std::string name = std::string(test.test_suite_name()) + "-" + test.name();
    std::replace(name.begin(), name.end(), '/', '-');
    return "/tmp/obflash-update-" + std::to_string(getpid()) + "-" + name;
}

} // namespace

const std::vector<std::string> CriticalReportLines = {
    "-- The procedure has been interrupted in a critic phase.", Stars,
    "-- The target is UNUSABLE, or even DANGEROUS.", Stars, "-- It is strongly adviced to retry."};
const std::vector<std::string> ProblemReportLines = {
    Stars, "12:00:00 -  -- sorry, there was a problem.", Stars,
    "Please copy this text and send it to Orbeline support."};

UpdateRun::UpdateRun() {
    ob::Run = {};
    Codec = {};
    Exchange = {};
    Update = {};
    CommandLine = {};
    loadfile();
    view.logText.clear();
    view.captions[Control::lResult] = "No upgrade performed.";
    view.widths[Control::pnProgress] = ProgressPanelWidth;
}

UpdateRun::~UpdateRun() {
    ClosePort();
    if (simulator)
        simulator->Stop();
}

bool UpdateRun::StartSimulator(sim::SimOptions options) {
    options.Paced = false;
    options.Start = sim::StartState::Off;
    options.CycleOffMs = 50;
    options.LinkPath = LinkPathFor(*::testing::UnitTest::GetInstance()->current_test_info());
    simulator = std::make_unique<sim::Simulator>(options);
    std::string error;
    if (!simulator->Start(&error)) {
        ADD_FAILURE() << "the simulator does not start: " << error;
        return false;
    }
    return true;
}

void UpdateRun::RunUpdate() {
    setenv("OBFLASH_PORTS", ("COM7=" + simulator->LinkPath()).c_str(), 1);
    ReloadPortTable();
    OpenPort("bio7");
    SetupPort(19200, 'N', 8, 1, 'N');
    auto startedAt = view.monotonic();
    view.onEvents = [this, startedAt] {
        if (view.monotonic() - view.skipped - startedAt > Watchdog)
            ob::Run.KeepRunning = false;
        if (duringUpdate)
            duringUpdate();
    };
    simulator->PowerOn();
    EnterBoot();
}

void UpdateRun::ExpectOutcome(const Outcome& expected) {
    EXPECT_EQ(view.page(), Page::Finished);
    EXPECT_EQ(view.caption(Control::lResult), expected.result);
    bool critical = expected.reports == Reports::CriticalAndProblem;
    bool problem = expected.reports != Reports::None;
    std::vector<std::string> reports = ProblemReportLines;
    if (critical)
        reports.insert(reports.begin(), CriticalReportLines.begin(), CriticalReportLines.end());
    EXPECT_EQ(LogHasRun(reports), problem);
    EXPECT_EQ(view.logHas("critic phase"), critical);
    EXPECT_EQ(view.logHas("sorry, there was a problem"), problem);
    EXPECT_EQ(view.visible[Control::pnLeds], expected.ledsShown);
    EXPECT_EQ(view.visible[Control::pnWarning], expected.warningShown);
    EXPECT_FALSE(view.visible[Control::pnProgress]);
    ASSERT_EQ(view.messageBoxes.size(), critical ? 1u : 0u);
    if (critical) {
        EXPECT_EQ(view.messageBoxes[0].text, "Process interrupted. Target will be unusable.");
        EXPECT_EQ(view.messageBoxes[0].caption, "KELNO Flash loader");
    }
    EXPECT_FALSE(view.txLit || view.rxLit) << "lamps idle";

    auto commands = simulator->Summary().Commands;
    bool toldToRun = std::any_of(commands.begin(), commands.end(),
                                 [](const sim::CommandRecord& c) { return c.Code == 4; });
    EXPECT_EQ(toldToRun, expected.targetToldToRun);

    std::string log = view.logText;
    std::size_t entered = log.find("Entering remote KELNO flash loader.");
    ASSERT_NE(entered, std::string::npos);
    EXPECT_NE(log.rfind("RX=", entered), std::string::npos) << "the contact is traced";
    EXPECT_EQ(log.find("RX=", entered), std::string::npos) << "the update is not";
}

void UpdateRun::ExpectFlashHoldsImage() {
    std::vector<uint8_t> flash = simulator->Flash();
    for (const ImageChunk& chunk : Firmware.FlashImage) {
        if (chunk.Address == -1)
            break;
        ASSERT_LE(std::size_t(chunk.Address) + chunk.Length, flash.size());
        EXPECT_TRUE(std::equal(chunk.Data.begin(), chunk.Data.begin() + chunk.Length,
                               flash.begin() + chunk.Address))
            << "chunk at " << std::hex << chunk.Address;
    }
}

bool UpdateRun::LogHasLine(const std::string& line) const {
    auto lines = view.logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool UpdateRun::LogHasRun(const std::vector<std::string>& run) const {
    auto lines = view.logLines();
    return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}

std::vector<std::string> UpdateRun::LogLinesStartingWith(const std::string& head) const {
    std::vector<std::string> found;
    for (const std::string& line : view.logLines())
        if (line.starts_with(head))
            found.push_back(line);
    return found;
}

std::string UpdateRun::CommandCodes() const {
    std::string text;
    auto commands = simulator->Summary().Commands;
    for (std::size_t i = 0; i < commands.size();) {
        std::size_t run = 1;
        while (i + run < commands.size() && commands[i + run].Code == commands[i].Code)
            ++run;
        text += (text.empty() ? "" : " ") + std::to_string(commands[i].Code);
        if (run > 1)
            text += "x" + std::to_string(run);
        i += run;
    }
    return text;
}

} // namespace ob::testing
