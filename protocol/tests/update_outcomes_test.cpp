// Every outcome of an update, end to end against the simulated controller.

#include "core/run_state.h"
#include "core/switches.h"
#include "firmware/image_loader.h"
#include "protocol/frame_codec.h"
#include "update_fixture.h"

namespace ob::testing {
namespace {

using namespace std::chrono_literals;

struct OutcomeCase {
    const char* name;
    void (*shape)(sim::SimOptions&);
    std::vector<std::string> commandLine;
    Outcome outcome;
    std::vector<std::string> lines; // whole log lines that must be there
    const char* commands = nullptr; // the commands the controller saw; null: not checked
    bool updated = false;           // the flash holds the image and the new version runs
    bool silentTarget = false;      // skip the long waits for replies that never come
};

void PrintTo(const OutcomeCase& c, std::ostream* out) {
    *out << c.name;
}

const Outcome NotSuitable{"This firmware is not suitable for your hardware.", Reports::None, true,
                          false, true};
const Outcome AlreadyUpdated{"Your OB is already updated.", Reports::None, true, false, true};
const Outcome Critical{"No upgrade performed.", Reports::CriticalAndProblem, true, true, false};
const Outcome Succeeded{"Firmware upgrade successful.", Reports::None, false, false, true};

const OutcomeCase outcomeCases[] = {
    {"BootLoaderSilent",
     [](sim::SimOptions& o) { o.SilentAfter = 1; },
     {},
     {"No upgrade performed.", Reports::Problem, true, false, false},
     {"-- remote boot loader monitor not responding."},
     "1x9",
     false,
     true},
    {"WrongHardware",
     [](sim::SimOptions& o) { o.Identifier = "CTRLXXXXX"; },
     {},
     NotSuitable,
     {"Resident firmware has ID=\"CTRLXXX\".", "-- error: remote application has ID=\"CTRLXXX\".",
      "-- This firmware has ID \"CTRLORB\".",
      "-- This firmware is not suitable for your hardware."},
     "1x2 2 4"},
    {"ShortIdentifierIsWrongHardware",
     [](sim::SimOptions& o) { o.Identifier = "CTRL"; },
     {},
     NotSuitable,
     {"Resident firmware has ID=\"CTRL\".", "-- error: remote application has ID=\"CTRL\"."},
     "1x2 2 4"},
    {"EighthAndNinthCharactersAreNotCompared",
     [](sim::SimOptions& o) {
         o.Identifier = "CTRLORBXY";
         o.AppVersion = 0x0125;
     },
     {},
     AlreadyUpdated,
     {"Resident firmware has ID=\"CTRLORB\"."},
     "1x2 2 3 4"},
    {"AlreadyUpdated",
     [](sim::SimOptions& o) { o.AppVersion = 0x0125; },
     {},
     AlreadyUpdated,
     {"Resident firmware has version 1.37.",
      "-- error: target application is same or more recent."},
     "1x2 2 3 4"},
    {"NewerResidentForced",
     [](sim::SimOptions& o) { o.AppVersion = 0x0200; },
     {"x", "/FORCE"},
     Succeeded,
     {"Resident firmware has version 2.0.",
      "-- warning: target application is same or more recent."},
     nullptr,
     true},
    {"NoResidentFirmwareIsUpdated",
     [](sim::SimOptions& o) { o.HasApplication = false; },
     {},
     Succeeded,
     {"No firmware resident in the target."},
     nullptr,
     true},
    {"EraseFailed",
     [](sim::SimOptions& o) { o.FailEraseAt = 1; },
     {},
     Critical,
     {"ERROR 3 while erasing flash block #8. Cannot continue."},
     "1x2 2 3 6"},
    {"SecondEraseFailed",
     [](sim::SimOptions& o) {
         o.FailEraseAt = 2;
         o.FailEraseStatus = 255;
     },
     {},
     Critical,
     {"ERROR 255 while erasing flash block #4. Cannot continue."}},
    {"WriteFailed",
     [](sim::SimOptions& o) {
         o.FailWriteAt = 1;
         o.FailWriteStatus = 7;
     },
     {},
     Critical,
     {"12:00:00 - ERROR 7 while writing flash at address C0000."},
     "1x2 2 3 6 7"},
    {"WriteFailedWith255",
     [](sim::SimOptions& o) {
         o.FailWriteAt = 1;
         o.FailWriteStatus = 255;
     },
     {},
     Critical,
     {"12:00:00 - ERROR 255 while writing flash at address C0000."},
     "1x2 2 3 6 7"},
    {"SuccessWithAnOldBootLoader",
     [](sim::SimOptions& o) { o.Boot = sim::BootAge::Old; },
     {},
     Succeeded,
     {"-- boot version <1.2 - contacting w/44.", "KELNO Boot loader v.1.1 ready..",
      "Boot reporting itself as v1.2 - adjusted.", "Resident firmware has ID=\"CTRLORB\".",
      "Resident firmware has version 1.30.", "Running target application."},
     nullptr,
     true},
    {"SuccessWithANewBootLoader",
     [](sim::SimOptions& o) { o.Boot = sim::BootAge::New; },
     {},
     Succeeded,
     {"-- boot version >1.1 - contacting.", "KELNO Boot loader v.1.5 ready..",
      "Resident firmware has ID=\"CTRLORB\".", "Resident firmware has version 1.30.",
      std::string(55, '-') + ".", "12:00:00 - Firmware upgrade was successful.",
      "Running target application."},
     nullptr,
     true},
};

class UpdateOutcome : public UpdateRun, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(UpdateOutcome, EndsOnTheFinishedPageAsItShould) {
    const OutcomeCase& c = GetParam();
    sim::SimOptions options;
    options.ReleasePath = OBFLASH_TEST_RELEASE;
    c.shape(options);
    CommandLine = c.commandLine;
    if (c.silentTarget)
        duringUpdate = [this] {
            if (view.page() == Page::Download)
                view.skipped += 1s;
        };
    ASSERT_TRUE(StartSimulator(options));

    RunUpdate();

    ExpectOutcome(c.outcome);
    for (const std::string& line : c.lines)
        EXPECT_TRUE(LogHasLine(line)) << line << "\n" << view.logText;
    if (c.commands) {
        EXPECT_EQ(CommandCodes(), c.commands);
    }
    sim::SessionSummary summary = simulator->Summary();
    EXPECT_EQ(summary.FlashMatchesRelease, std::optional<bool>(c.updated));
    EXPECT_EQ(summary.Result == sim::Outcome::Updated, c.updated);
    if (c.updated)
        ExpectFlashHoldsImage();
    bool identifierCompared = view.logHas("Resident firmware has ID=");
    EXPECT_EQ(Firmware.FwProgId, identifierCompared ? "CTRLORB" : "CTRLORBEL")
        << "cut for the rest of the run once compared";
}

INSTANTIATE_TEST_SUITE_P(, UpdateOutcome, ::testing::ValuesIn(outcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateRun, OldBootLoaderAdjustmentFollowsTheIdentifier) {
    sim::SimOptions options;
    options.Boot = sim::BootAge::Old;
    options.AppVersion = 0x0125;
    ASSERT_TRUE(StartSimulator(options));

    RunUpdate();

    EXPECT_TRUE(LogHasRun(
        {"KELNO Boot loader v.1.1 ready..", "Boot reporting itself as v1.2 - adjusted.",
         "Resident firmware has ID=\"CTRLORB\".", "Resident firmware has version 1.37."}));
    EXPECT_EQ(view.caption(Control::lBootVer), "Found resident boot loader v.1.1.");
    EXPECT_EQ(view.caption(Control::lResappID), "Resident firmware version is 1.37.");
}

// The user's abort is seen at the start of a chunk: in the event pass that follows a write.
TEST_F(UpdateRun, InterruptedBetweenTwoWrites) {
    constexpr int WritesBeforeAbort = 10;
    sim::SimOptions options;
    options.ReleasePath = OBFLASH_TEST_RELEASE;
    ASSERT_TRUE(StartSimulator(options));
    duringUpdate = [this] {
        bool replyJustTaken = Codec.Reply.size() == 1 && !Codec.InFrame;
        if (!replyJustTaken || view.page() != Page::Download)
            return;
        auto commands = simulator->Summary().Commands;
        auto writes = std::count_if(commands.begin(), commands.end(),
                                    [](const sim::CommandRecord& c) { return c.Code == 7; });
        if (commands.back().Code == 7 && writes == WritesBeforeAbort)
            ob::Run.KeepRunning = false;
    };

    RunUpdate();

    ExpectOutcome(Critical);
    EXPECT_TRUE(LogHasRun({"12:00:00 - -- Interrupted by user.", CriticalReportLines[0]}));
    EXPECT_EQ(CommandCodes(), "1x2 2 3 6 7x" + std::to_string(WritesBeforeAbort));
    EXPECT_EQ(simulator->Summary().Result, sim::Outcome::LeftInBootLoader);
}

} // namespace
} // namespace ob::testing
