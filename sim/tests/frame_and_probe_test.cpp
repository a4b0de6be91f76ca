// The wire format against worked frames, and the application's answer to the identify probe.

#include "sim/sim_frame.h"
#include "sim/tests/host_line.h"

#include <gtest/gtest.h>

namespace ob::sim::testing {
namespace {

struct WorkedFrame {
    uint8_t Seed;
    Bytes Payload;
    Bytes Wire;
};

const WorkedFrame WorkedFrames[] = {
    {0xAA, {0x0D, 0x01}, {0xF5, 0x0D, 0x01, 0xAA, 0xFA}},
    {0x55, {0x0D, 0x01}, {0xF5, 0x0D, 0x01, 0x59, 0xFA}},
    {0x55, {0x00, 0x01}, {0xF5, 0x00, 0x01, 0x58, 0xFA}},
    {0x55, {0xF5, 0x01}, {0xF5, 0xF6, 0x75, 0x01, 0xA1, 0xFA}},
    {0x55, {0xA1, 0x01}, {0xF5, 0xA1, 0x01, 0xF6, 0x75, 0xFA}}, // the checksum escaped
    {0xAA, {0x8E, 0x06, 0x05}, {0xF5, 0x8E, 0x06, 0x05, 0x22, 0xFA}},
};

// The test's frame builder is checked too, since the tests below lean on it.
TEST(SimFrame, EncodesAndDecodesTheWorkedFrames) {
    for (const WorkedFrame& worked : WorkedFrames) {
        EXPECT_EQ(Frame(worked.Seed, worked.Payload), worked.Wire);
        EXPECT_EQ(EncodeFrame(worked.Payload, worked.Seed), worked.Wire);
        FrameDecoder decoder(worked.Seed);
        std::optional<Bytes> decoded;
        for (uint8_t byte : worked.Wire)
            decoded = decoder.Feed(byte);
        EXPECT_EQ(decoded, worked.Payload);
        EXPECT_EQ(decoder.WireBytesInFrame(), worked.Wire.size());
    }
}

TEST(SimFrame, RejectsWrongChecksumsShortFramesAndEndlessNoise) {
    FrameDecoder decoder(0x55);
    for (uint8_t byte : Bytes{0xF5, 0x0D, 0x01, 0x5A, 0xFA})
        EXPECT_FALSE(decoder.Feed(byte));
    for (uint8_t byte : Bytes{0xF5, 0x55, 0xFA}) // folds to 1, but holds no payload
        EXPECT_FALSE(decoder.Feed(byte));
    decoder.Feed(0xF5);
    for (int i = 0; i < 100000; ++i)
        decoder.Feed(0x11);
    EXPECT_LT(decoder.WireBytesInFrame(), 1000u);
}

struct ProbeCase {
    uint16_t AppVersion;
    Bytes Probe;
    Bytes Reply;
};

TEST(SimApplication, AnswersTheIdentifyProbeWithItsVersion) {
    const ProbeCase cases[] = {
        {0x011E, {0xF5, 0x00, 0x01, 0x58, 0xFA}, {0xF5, 0x00, 0x00, 0x1E, 0x01, 0x4C, 0xFA}},
        {0x0125, {0xF5, 0x00, 0x01, 0x58, 0xFA}, Frame(0x55, {0x00, 0x00, 0x25, 0x01})},
        {0x011E, Frame(0x55, {0x18, 0x01}), Frame(0x55, {0x18, 0x00, 0x1E, 0x01})},
        // A sequence byte that needs an escape comes back escaped.
        {0x011E, {0xF5, 0xF6, 0x75, 0x01, 0xA1, 0xFA}, Frame(0x55, {0xF5, 0x00, 0x1E, 0x01})},
    };
    for (const ProbeCase& probe : cases) {
        SimOptions options;
        options.AppVersion = probe.AppVersion;
        auto simulator = StartSimulator(options, "probe");
        ASSERT_TRUE(simulator);
        HostLine host(simulator->LinkPath());
        ASSERT_TRUE(host.IsOpen());
        host.Write(probe.Probe);
        EXPECT_EQ(host.ReadFrame(), probe.Reply);
    }
}

TEST(SimApplication, IgnoresAProbeWithAWrongChecksum) {
    auto simulator = StartSimulator({}, "bad-probe");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    host.Write({0xF5, 0x08, 0x01, 0x00, 0xFA});
    host.Write(Frame(0x55, {0x10, 0x01}));
    EXPECT_EQ(host.ReadFrame(), Frame(0x55, {0x10, 0x00, 0x1E, 0x01}));
}

} // namespace
} // namespace ob::sim::testing
