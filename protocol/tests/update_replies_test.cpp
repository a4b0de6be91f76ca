// Replies too short for what the update reads from them, from a raw peer on a real pty.

#include "boot_frame.h"
#include "firmware/image_loader.h"
#include "peer_fixture.h"
#include "protocol/update_procedure.h"

namespace ob::testing {
namespace {

constexpr uint8_t NewSeed = 0xAA;

std::string Request(uint8_t seq, uint8_t code, std::string_view data = {}) {
    return BootFrame(NewSeed, std::string{char(seq), char(code)} + std::string(data));
}

std::string Answer(uint8_t seq, std::string_view statusAndData) {
    return BootFrame(NewSeed, std::string(1, char(seq)) + std::string(statusAndData));
}

class ShortReplies : public PeerSession {
protected:
    ShortReplies() {
        Update = {};
        loadfile();
        view.logText.clear();
    }

    // Pattern 2 with contact byte 9, the contact's identify answered, then each request of
    // the update heard and answered in turn; the last request is heard and left unanswered.
    std::vector<PeerStep> Script(const std::vector<std::pair<std::string, std::string>>& talk) {
        std::vector<PeerStep> script = {BurstOf("16 07"), BurstOf("16 09"), Hear(1)};
        expectedSent = "\x09";
        for (const auto& [request, answer] : talk) {
            script.push_back(Hear(request.size()));
            expectedSent += request;
            if (!answer.empty())
                script.push_back(AnswerWith(answer));
        }
        return script;
    }

    std::string expectedSent;
};

TEST_F(ShortReplies, VersionBytesMissingAreNotTakenFromTheChecksum) {
    std::string sent = Play(Script({
        {Request(0x0D, 1), Answer(0x0D, Bytes("00 05 01"))},
        {Request(0x0E, 1), Answer(0x0E, Bytes("00 05"))},
        {Request(0x0F, 2), Answer(0x0F, std::string(1, '\0') + "CTRLORBEL")}, // no terminator
        {Request(0x10, 3), Answer(0x10, Bytes("00 05"))},
        {Request(0x91, 6, Bytes("08")), ""},
    }));

    EXPECT_EQ(sent, Hex(expectedSent));
    EXPECT_TRUE(LogHasLine("KELNO Boot loader v.0.5 ready.."));
    EXPECT_EQ(view.caption(Control::lBootVer), "Found resident boot loader v.0.5.");
    EXPECT_TRUE(LogHasLine("Resident firmware has ID=\"CTRLORB\"."));
    EXPECT_TRUE(LogHasLine("Unknown firmware version in target."));
    EXPECT_EQ(view.caption(Control::lResappID), "");
    EXPECT_EQ(Update.TargetVersion, 0);
    EXPECT_TRUE(LogHasLine("ERROR 255 while erasing flash block #8. Cannot continue."))
        << "the update went ahead";
}

TEST_F(ShortReplies, ShortIdentifierIsComparedAsItCame) {
    std::string sent = Play(Script({
        {Request(0x0D, 1), Answer(0x0D, Bytes("00 05 01"))},
        {Request(0x0E, 1), Answer(0x0E, Bytes("00 05 01"))},
        {Request(0x0F, 2), Answer(0x0F, std::string(1, '\0') + "CTRL")}, // no terminator
        {Request(0x10, 4), ""},
    }));

    EXPECT_EQ(sent, Hex(expectedSent)) << "the target is told to run its application";
    EXPECT_TRUE(LogHasLine("Resident firmware has ID=\"CTRL\"."));
    EXPECT_TRUE(LogHasLine("-- error: remote application has ID=\"CTRL\"."));
    EXPECT_EQ(Update.TargetAppId, "CTRL");
    EXPECT_EQ(view.caption(Control::lResult), "This firmware is not suitable for your hardware.");
}

} // namespace
} // namespace ob::testing
