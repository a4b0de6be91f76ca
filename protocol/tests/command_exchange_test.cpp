#include "codec_fixture.h"
#include "hex_bytes.h"
#include "protocol/commands.h"

#include <thread>

namespace ob::testing {
namespace {

using namespace std::chrono_literals;

class CommandExchange : public CodecFixture {
protected:
    CommandExchange() { ob::Run.KeepRunning = true; }

    // The peer answers during the first polling pass, after the request went out.
    void AnswerInFirstPass(std::string reply) {
        int passesBefore = view.eventPasses;
        view.onEvents = [this, reply, passesBefore] {
            if (view.eventPasses == passesBefore + 2)
                line.Send(reply);
        };
    }
};

struct ReplyCase {
    const char* name;
    const char* reply;
    uint8_t status;
    const char* replyData;
};

const ReplyCase replyCases[] = {
    {"matching echo", "F5 0D 00 05 01 AD FA", 0, "05 01 AD"},
    {"bit 7 of the echo is not compared", "F5 8D 00 05 01 2D FA", 0, "05 01 2D"},
    {"target's failure code", "F5 0D 07 B0 FA", 7, "B0"},
    {"other echo dropped, the wait goes on", "F5 0C 00 05 01 B0 FA F5 0D 00 05 01 AD FA", 0,
     "05 01 AD"},
    {"bad checksum dropped, the wait goes on", "F5 0D 00 05 01 00 FA F5 0D 00 05 01 AD FA", 0,
     "05 01 AD"},
};

TEST_F(CommandExchange, FirstIdentifyOfARunAndItsReplies) {
    for (const auto& c : replyCases) {
        SCOPED_TRACE(c.name);
        Exchange = {};
        AnswerInFirstPass(Bytes(c.reply));
        EXPECT_EQ(SendCommand(CmdIdentify, "", false, 3, 200), c.status);
        EXPECT_EQ(Hex(line.TakeRest()), "F5 0D 01 AA FA");
        EXPECT_EQ(Hex(Codec.Reply), c.replyData);
    }
}

TEST_F(CommandExchange, ReplyFromAnOldBootLoader) {
    ob::Run.OldBoot = true;
    AnswerInFirstPass(Bytes("F5 0D 00 25 01 82 FA"));
    EXPECT_EQ(SendCommand(CmdIdentify, "", false, 5, 50), 0);
    EXPECT_EQ(Hex(line.TakeRest()), "F5 0D 01 59 FA");
    EXPECT_EQ(Hex(Codec.Reply.substr(0, 2)), "25 01");
}

TEST_F(CommandExchange, EraseAsTheSecondCommandCarriesTheHighBit) {
    SendCommand(CmdIdentify, "", false, 1, 0);
    line.TakeRest();
    AnswerInFirstPass(Bytes("F5 8E 00 26 FA"));
    EXPECT_EQ(SendCommand(CmdEraseBlock, Bytes("05"), true, 3, 5000), 0);
    EXPECT_EQ(Hex(line.TakeRest()), "F5 8E 06 05 22 FA");
    EXPECT_EQ(Exchange.SeqNo, 0x8E);
}

TEST_F(CommandExchange, SequenceByteAdvancesOncePerCommandAndWraps) {
    struct Case {
        int before;
        bool highBit;
        uint8_t sent;
    } cases[] = {
        {12, false, 0x0D},  {12, true, 0x8D},  {0x8D, false, 0x0E},
        {127, false, 0x00}, {127, true, 0x80}, {0xFF, false, 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        Exchange.SeqNo = c.before;
        SendCommand(CmdGetAppId, "", c.highBit, 1, 0);
        std::string frame = line.TakeRest();
        ASSERT_GE(frame.size(), 2u);
        EXPECT_EQ(uint8_t(frame[1]), c.sent);
        EXPECT_EQ(Exchange.SeqNo, c.sent);
    }
}

TEST_F(CommandExchange, UnansweredAttemptsRepeatTheSameFrameAndEachWaitsItsLimit) {
    EXPECT_EQ(SendCommand(CmdGetAppVersion, "", false, 3, 500), NoReply);
    std::string frame = Bytes("F5 0D 03 AC FA");
    EXPECT_EQ(Hex(line.TakeRest()), Hex(frame + frame + frame));
    // A wait limit of 500 ticks is 5 s: the attempt ends at the first pass past it.
    EXPECT_EQ(view.fakeNow, 3 * 5010ms);
    EXPECT_EQ(Exchange.WaitTicks, 501);
    EXPECT_EQ(view.eventPasses, 3 * (1 + 501)) << "one event pass per frame and per polling pass";
}

TEST_F(CommandExchange, AbortDuringTheWaitEndsAfterThatPass) {
    view.onEvents = [this] {
        if (view.fakeNow == 300ms)
            ob::Run.KeepRunning = false;
    };
    EXPECT_EQ(SendCommand(CmdEraseBlock, Bytes("04"), true, 3, 5000), NoReply);
    EXPECT_EQ(line.TakeRest().size(), 6u) << "no further attempt";
    EXPECT_EQ(view.fakeNow, 310ms);
}

TEST_F(CommandExchange, KeepRunningClearOnEntrySendsNothing) {
    ob::Run.KeepRunning = false;
    Codec.Reply = Bytes("05 01 AD");
    EXPECT_EQ(SendCommand(CmdIdentify, "", false, 8, 500), NoReply);
    EXPECT_EQ(line.TakeRest(), "");
    EXPECT_EQ(Exchange.SeqNo, 13);
    EXPECT_EQ(Codec.Reply, "");
}

TEST_F(CommandExchange, ReplyArrivingInPiecesOnTheRealClock) {
    RecordingView realClock(RecordingView::Clock::Real);
    std::thread peer([this] {
        line.Take(5); // the request
        line.Write(Bytes("F5 0D 00"));
        std::this_thread::sleep_for(30ms);
        line.Write(Bytes("05 01 AD FA"));
    });
    EXPECT_EQ(SendCommand(CmdIdentify, "", false, 1, 200), 0);
    peer.join();
    EXPECT_EQ(Hex(Codec.Reply), "05 01 AD");
}

} // namespace
} // namespace ob::testing
