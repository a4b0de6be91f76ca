// The announcement, its pairs of bursts and the contact, against a raw peer on a real pty.

#include "boot_frame.h"
#include "hex_bytes.h"
#include "peer_fixture.h"
#include "protocol/boot_entry.h"

#include <chrono>
#include <regex>
#include <thread>

namespace ob::testing {
namespace {

using namespace std::chrono_literals;

class BootEntry : public PeerSession {};

struct PairingCase {
    const char* name;
    std::vector<const char*> bursts;
    const char* sent; // the contact bytes and the first identify frame
    bool oldBoot;
    const char* contactLine;
};

const PairingCase pairingCases[] = {
    {"pattern 2: byte 1 of the second burst",
     {"16 07", "16 09"},
     "09 F5 0D 01 AA FA",
     false,
     "-- boot version >1.1 - contacting."},
    {"pattern 1: byte 0 of the second burst, three times",
     {"21 05", "2C 05"},
     "2C 2C 2C F5 0D 01 59 FA",
     true,
     "-- boot version <1.2 - contacting w/44."},
    {"bursts fitting both patterns take pattern 1",
     {"16 05", "16 05"},
     "16 16 16 F5 0D 01 59 FA",
     true,
     "-- boot version <1.2 - contacting w/22."},
    {"pairs are fixed: 22 9 is the first burst of the next pair",
     {"01 02", "16 07", "16 09", "16 03"},
     "03 F5 0D 01 AA FA",
     false,
     "-- boot version >1.1 - contacting."},
    {"a long burst counts by its last two bytes",
     {"01 02 03 16 07", "16 09"},
     "09 F5 0D 01 AA FA",
     false,
     "-- boot version >1.1 - contacting."},
    {"a single-byte burst is dropped",
     {"07", "16 07", "16 09"},
     "09 F5 0D 01 AA FA",
     false,
     "-- boot version >1.1 - contacting."},
};

TEST_F(BootEntry, PairsOfBurstsChooseThePatternAndItsContact) {
    for (const auto& c : pairingCases) {
        SCOPED_TRACE(c.name);
        std::vector<PeerStep> script;
        for (const char* burst : c.bursts)
            script.push_back(BurstOf(burst));
        script.push_back(Hear(Bytes(c.sent).size()));

        EXPECT_EQ(Play(script), c.sent);
        EXPECT_EQ(line.TakeRest(), "") << "one contact and one identify frame only";
        EXPECT_EQ(ob::Run.OldBoot, c.oldBoot);
        EXPECT_TRUE(LogHasLine(c.contactLine));
        EXPECT_EQ(view.logHas("\r\n. "), c.oldBoot);
        EXPECT_TRUE(view.logText.ends_with("12:00:00 - -- user interrupt.\r\n")) << view.logText;
        EXPECT_FALSE(view.logHas("Entering remote"));

        peer.reset();
        view.logText.clear();
        ob::Run = {};
        Exchange = {};
        hostListening = false;
    }
}

TEST_F(BootEntry, BurstsAreLoggedByteByByteWithTheirStamps) {
    Play({BurstOf("07"), BurstOf("16 05"), BurstOf("16 05"), Hear(8)});

    auto lines = view.logLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "12:00:00 - Switch on your apparatus - waiting...");
    const std::string stamp = R"(\d\d:\d\d:\d\d\d)";
    const std::regex single("^" + stamp + " recv: 7 / " + stamp + R"( endrec\.$)");
    const std::regex pair("^" + stamp + " recv: 22 / " + stamp + " recv: 5 / " + stamp +
                          R"( endrec\.$)");
    const std::regex ok("^" + stamp + R"( ok\.$)");
    EXPECT_TRUE(std::regex_match(lines[1], single)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], pair)) << lines[2];
    EXPECT_TRUE(std::regex_match(lines[3], ok)) << lines[3];
    EXPECT_TRUE(std::regex_match(lines[4], pair)) << lines[4];
}

TEST_F(BootEntry, AFailedContactWaitsForTwoFreshBursts) {
    std::string refused = BootFrame(0xAA, Bytes("0D 01")); // status 1
    std::string secondIdentify = BootFrame(0x55, Bytes("0E 01"));

    std::string sent = Play({BurstOf("16 07"), BurstOf("16 09"), Hear(6), AnswerWith(refused),
                             BurstOf("21 05"), BurstOf("2C 05"), Hear(3 + secondIdentify.size())});

    EXPECT_EQ(sent, "09 F5 0D 01 AA FA 2C 2C 2C " + Hex(secondIdentify));
    EXPECT_TRUE(ob::Run.OldBoot) << "the later pattern 1 sets it";
    EXPECT_TRUE(ob::Run.TraceRx);
    EXPECT_TRUE(LogHasLine("RX=245.")) << "the refusal is traced";
    EXPECT_TRUE(LogHasLine("-- boot version <1.2 - contacting w/44."));
    EXPECT_FALSE(view.logHas("Entering remote"));
}

TEST_F(BootEntry, AbortWhileWaitingStartsNoUpdate) {
    view.onEvents = [this] {
        if (view.eventPasses == 20)
            ob::Run.KeepRunning = false;
    };

    EnterBoot();

    EXPECT_EQ(view.logLines(),
              (std::vector<std::string>{"12:00:00 - Switch on your apparatus - waiting...",
                                        "12:00:00 - -- user interrupt."}));
    EXPECT_EQ(line.TakeRest(), "");
}

// The window is kept alive through the pause after the contact byte, so Abort takes effect there.
TEST_F(BootEntry, AbortDuringTheContactPauseSendsNoIdentify) {
    const auto fixtureEvents = view.onEvents;
    view.onEvents = [&] {
        fixtureEvents();
        if (!view.logHas("-- boot version >1.1 - contacting."))
            return;
        // The user presses Abort once the contact byte has reached the controller.
        for (int waited = 0; waited < 2000 && !peer->Finished(); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ob::Run.KeepRunning = false;
    };

    EXPECT_EQ(Play({BurstOf("16 07"), BurstOf("16 09"), Hear(1)}), "09");

    EXPECT_EQ(line.TakeRest(), "") << "no identify frame after the abort";
    EXPECT_TRUE(view.logText.ends_with("12:00:00 - -- user interrupt.\r\n")) << view.logText;
}

} // namespace
} // namespace ob::testing
