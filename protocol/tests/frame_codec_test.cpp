#include "codec_fixture.h"
#include "hex_bytes.h"

#include <functional>

namespace ob::testing {
namespace {

class FrameCodec : public CodecFixture {};

struct SendCase {
    const char* name;
    bool appVariant;
    bool oldBoot;
    const char* payload;
    const char* line;
};

const SendCase sendCases[] = {
    {"boot loader 1.2 or newer", false, false, "0D 01", "F5 0D 01 AA FA"},
    {"old boot loader", false, true, "0D 01", "F5 0D 01 59 FA"},
    {"application", true, false, "0D 01", "F5 0D 01 59 FA"},
    {"application ignores OldBoot", true, true, "0D 01", "F5 0D 01 59 FA"},
    {"zero byte", true, false, "00 01", "F5 00 01 58 FA"},
    {"start byte in payload", true, false, "F5 01", "F5 F6 75 01 A1 FA"},
    {"start byte as checksum", true, false, "A1 01", "F5 A1 01 F6 75 FA"},
    {"escape and end bytes", false, false, "F6 FA", "F5 F6 76 F6 7A A8 FA"},
    {"neighbours go unescaped", true, false, "F7 F8 F9", "F5 F7 F8 F9 A6 FA"},
};

TEST_F(FrameCodec, EncodesPayloadsAsTheLineCarriesThem) {
    for (const auto& c : sendCases) {
        SCOPED_TRACE(c.name);
        ob::Run.OldBoot = c.oldBoot;
        (c.appVariant ? SendAppFrame : SendFrame)(Bytes(c.payload));
        EXPECT_EQ(Hex(line.TakeRest()), c.line);
    }
}

TEST_F(FrameCodec, SendingLightsTheTransmitLampAndProcessesEventsOnce) {
    view.rxLit = true;
    SendAppFrame(Bytes("0D 01"));
    EXPECT_TRUE(view.txLit);
    EXPECT_TRUE(view.rxLit) << "the application variant leaves the receive lamp alone";
    EXPECT_EQ(view.eventPasses, 1);

    SendFrame(Bytes("0D 01"));
    EXPECT_TRUE(view.txLit);
    EXPECT_FALSE(view.rxLit);
    EXPECT_EQ(view.eventPasses, 2);
}

struct ReceiveCase {
    const char* name;
    bool appVariant;
    bool oldBoot;
    const char* line;
    bool valid;
    const char* reply;
};

const ReceiveCase receiveCases[] = {
    {"application frame", true, false, "F5 0D 01 59 FA", true, "0D 01 59"},
    {"old boot loader", false, true, "F5 0D 01 59 FA", true, "0D 01 59"},
    {"new boot loader", false, false, "F5 0D 01 AA FA", true, "0D 01 AA"},
    {"seed of the other boot loader", false, false, "F5 0D 01 59 FA", false, "0D 01 59"},
    {"one byte is too few", true, false, "F5 55 FA", false, "55"},
    {"no bytes at all", true, false, "F5 FA", false, ""},
    {"noise before the start byte", true, false, "FA 00 13 F5 0D 01 59 FA", true, "0D 01 59"},
    {"start byte drops a partial frame", true, false, "F5 01 F5 0D 01 59 FA", true, "0D 01 59"},
    {"escape sets bit 7 on any byte", true, false, "F5 F6 41 95 FA", true, "C1 95"},
    {"escaped checksum", true, false, "F5 A1 01 F6 75 FA", true, "A1 01 F5"},
    {"escape before the end byte", true, false, "F5 0D 01 59 F6 FA", true, "0D 01 59"},
};

TEST_F(FrameCodec, DecodesAndJudgesFrames) {
    for (const auto& c : receiveCases) {
        SCOPED_TRACE(c.name);
        Codec = {};
        ob::Run.OldBoot = c.oldBoot;
        line.Send(Bytes(c.line));
        EXPECT_EQ((c.appVariant ? ReceiveAppFrame : ReceiveFrame)(), c.valid);
        EXPECT_EQ(Hex(Codec.Reply), c.reply);
        EXPECT_FALSE(Codec.InFrame);
    }
}

TEST_F(FrameCodec, EveryEncodablePayloadComesBackWithItsChecksum) {
    std::string everyValue;
    for (int b = 0; b < 255; ++b)
        everyValue.push_back(char(b));
    for (const std::string& payload : {Bytes("0D 01"), Bytes("F5 F6 FA F7"), everyValue}) {
        SCOPED_TRACE(Hex(payload.substr(0, 8)));
        SendFrame(payload);
        line.Send(line.TakeRest());
        ASSERT_TRUE(ReceiveFrame());
        EXPECT_EQ(Codec.Reply.substr(0, payload.size()), payload);
        EXPECT_EQ(Codec.Reply.size(), payload.size() + 1);
    }
}

TEST_F(FrameCodec, FrameSpreadOverTwoCallsIsKeptInBetween) {
    line.Send(Bytes("F5 0D 01"));
    EXPECT_FALSE(ReceiveAppFrame());
    EXPECT_TRUE(Codec.InFrame);

    // Finished by the other variant, with the seed of the one that sees the end byte.
    line.Send(Bytes("AA FA"));
    EXPECT_TRUE(ReceiveFrame());
    EXPECT_EQ(Hex(Codec.Reply), "0D 01 AA");
}

TEST_F(FrameCodec, OneCallEndsAtTheFirstClosedFrame) {
    struct Case {
        const char* name;
        const char* first;
        bool firstValid;
    } cases[] = {
        {"valid frame first", "F5 0D 01 59 FA", true},
        {"rejected frame first", "F5 0D 01 00 FA", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        line.Send(Bytes(c.first) + Bytes("F5 00 01 58 FA"));
        EXPECT_EQ(ReceiveAppFrame(), c.firstValid);
        EXPECT_TRUE(ReceiveAppFrame());
        EXPECT_EQ(Hex(Codec.Reply), "00 01 58");
        EXPECT_FALSE(ReceiveAppFrame());
    }
}

TEST_F(FrameCodec, BootVariantTracesEveryRawByteAndLightsTheReceiveLamp) {
    view.txLit = true;
    line.Send(Bytes("FA F5 0D 01 59"));
    ob::Run.TraceRx = true;
    EXPECT_FALSE(ReceiveFrame());
    EXPECT_EQ(view.logText, "RX=250.\r\nRX=245.\r\nRX=13.\r\nRX=1.\r\nRX=89.\r\n");
    EXPECT_TRUE(view.rxLit);
    EXPECT_FALSE(view.txLit);
    EXPECT_EQ(view.eventPasses, 5);

    ob::Run.TraceRx = false;
    line.Send(Bytes("FA"));
    EXPECT_FALSE(ReceiveFrame());
    EXPECT_EQ(view.messages.size(), 5u);
}

TEST_F(FrameCodec, ApplicationVariantLeavesTheWindowAlone) {
    view.txLit = true;
    line.Send(Bytes("F5 0D 01 59 FA"));
    EXPECT_TRUE(ReceiveAppFrame());
    EXPECT_EQ(view.logText, "");
    EXPECT_FALSE(view.rxLit);
    EXPECT_TRUE(view.txLit);
    EXPECT_EQ(view.eventPasses, 0);
}

TEST_F(FrameCodec, EndlessFrameIsDroppedAtTheBound) {
    struct Case {
        std::size_t bytesInFrame;
        bool stillInFrame;
        std::size_t replySize;
    } cases[] = {{MaxFrameBytes, true, MaxFrameBytes}, {MaxFrameBytes + 1, false, 0}};
    ob::Run.TraceRx = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytesInFrame);
        Codec = {};
        line.Send(Bytes("F5") + std::string(c.bytesInFrame, '\x01'));
        EXPECT_FALSE(ReceiveFrame());
        EXPECT_EQ(Codec.InFrame, c.stillInFrame);
        EXPECT_EQ(Codec.Reply.size(), c.replySize);
    }
}

TEST_F(FrameCodec, AfterADroppedFrameTheNextStartByteBeginsAgain) {
    ob::Run.TraceRx = false;
    ob::Run.OldBoot = true;
    // The end byte behind the noise closes nothing; the frame after it decodes.
    line.Send(Bytes("F5") + std::string(600, '\x01') + Bytes("FA F5 0D 01 59 FA"));
    EXPECT_TRUE(ReceiveFrame());
    EXPECT_EQ(Hex(Codec.Reply), "0D 01 59");
}

} // namespace
} // namespace ob::testing
