// The faults a host must survive: failing commands, a boot loader gone quiet, the line
// going away and coming back, damaged bytes and noise.

#include "sim/boot_loader.h"
#include "sim/line_faults.h"
#include "sim/tests/host_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace ob::sim::testing {
namespace {

constexpr uint8_t NewSeed = 0xAA;

TEST(SimFaults, TheNthEraseOrWriteFailsWithTheChosenStatus) {
    struct Case {
        SimOptions Options;
        uint8_t FailingStatus;
    };
    Case failingErase{BootLoaderOptions(), 255};
    failingErase.Options.FailEraseAt = 2;
    failingErase.Options.FailEraseStatus = 255;
    Case failingWrite{BootLoaderOptions(), 7};
    failingWrite.Options.FailWriteAt = 2;
    failingWrite.Options.FailWriteStatus = 7;
    const Case cases[] = {failingErase, failingWrite};
    for (const Case& fault : cases) {
        bool erase = fault.Options.FailEraseAt != NoFault;
        auto simulator = StartSimulator(fault.Options, "fail");
        ASSERT_TRUE(simulator);
        HostLine host(simulator->LinkPath());
        ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));
        auto command = [&](uint8_t seq) {
            return erase ? Bytes{seq, 6, 8} : WriteRequest(seq, 0xFF000 + seq * 4, {0, 0});
        };
        EXPECT_EQ(Exchange(host, NewSeed, command(0x81)), Bytes({0x81, 0}));
        EXPECT_EQ(Exchange(host, NewSeed, command(0x82)), Bytes({0x82, fault.FailingStatus}));
        EXPECT_EQ(Exchange(host, NewSeed, command(0x83)), Bytes({0x83, 0}));
    }
}

TEST(SimFaults, ASilentBootLoaderAnswersOnlyItsFirstCommands) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.SilentAfter = 1;
    auto simulator = StartSimulator(options, "silent");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));
    EXPECT_EQ(Exchange(host, NewSeed, {0x0D, 1}), Bytes({0x0D, 0, 0x05, 0x01}));
    EXPECT_TRUE(Exchange(host, NewSeed, {0x0E, 1}, 300ms).empty());
    SessionSummary summary = simulator->Summary();
    ASSERT_EQ(summary.Commands.size(), 2u);
    EXPECT_EQ(summary.Commands[1].Status, std::nullopt);
}

// The pty is closed under the host, the link vanishes, and a new pty appears behind the same
// path; the boot loader kept its state and executes the write sent again.
TEST(SimFaults, TheLineGoesAwayAtTheNthWriteAndComesBackBehindTheSameLink) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.LineLossAtWrite = 2;
    options.LineLossMs = 200;
    auto simulator = StartSimulator(options, "line-loss");
    ASSERT_TRUE(simulator);
    std::string link = simulator->LinkPath();
    auto host = std::make_unique<HostLine>(link);
    ASSERT_TRUE(MakeContact(*host, *simulator, BootAge::New));
    EXPECT_EQ(Exchange(*host, NewSeed, WriteRequest(0x81, 0xFF000, {1, 2})), Bytes({0x81, 0}));
    host->Write(Frame(NewSeed, WriteRequest(0x82, 0xFF002, {3, 4})));
    EXPECT_TRUE(host->WaitForHangUp());
    host.reset();

    bool back = false;
    for (int tries = 0; tries < 300 && !back; ++tries) {
        std::this_thread::sleep_for(10ms);
        back = std::filesystem::exists(link);
    }
    ASSERT_TRUE(back);
    HostLine again(link);
    ASSERT_TRUE(again.IsOpen());
    EXPECT_EQ(Exchange(again, NewSeed, WriteRequest(0x82, 0xFF002, {3, 4})), Bytes({0x82, 0}));
    EXPECT_EQ(simulator->Flash()[0xFF003], 4);
    SessionSummary summary = simulator->Summary();
    ASSERT_EQ(summary.Commands.size(), 3u);
    EXPECT_EQ(summary.Commands[1].Status, std::nullopt);
    EXPECT_FALSE(summary.Commands[2].Repeat) << "the lost write never counted";
}

TEST(SimFaults, ALineUnpluggedForGoodNeverComesBack) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.LineLossAtWrite = 1;
    options.LineLossMs = ForGood;
    auto simulator = StartSimulator(options, "unplugged");
    ASSERT_TRUE(simulator);
    std::string link = simulator->LinkPath();
    HostLine host(link);
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));
    host.Write(Frame(NewSeed, WriteRequest(0x81, 0xFF000, {1, 2})));
    EXPECT_TRUE(host.WaitForHangUp());
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(std::filesystem::exists(link));
}

TEST(SimFaults, DamageIsSeededAndRepeatable) {
    LineFaults first(0.05, 0.05, 42), second(0.05, 0.05, 42), other(0.05, 0.05, 43);
    int dropped = 0, changed = 0, differences = 0;
    for (int i = 0; i < 20000; ++i) {
        uint8_t byte = static_cast<uint8_t>(i);
        auto a = first.Pass(byte), b = second.Pass(byte), c = other.Pass(byte);
        ASSERT_EQ(a, b);
        differences += a != c;
        dropped += !a;
        changed += a && *a != byte;
    }
    EXPECT_GT(differences, 0);
    EXPECT_NEAR(dropped, 1000, 200);
    EXPECT_NEAR(changed, 1000, 200);
    LineFaults none(0, 0, 1);
    EXPECT_EQ(none.Pass(0x5A), std::optional<uint8_t>(0x5A));
}

TEST(SimFaults, CorruptedRepliesFailTheirChecksum) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.CorruptRate = 1;
    auto simulator = StartSimulator(options, "corrupt");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));
    EXPECT_TRUE(Exchange(host, NewSeed, {0x0D, 1}, 300ms).empty());
}

TEST(SimFaults, AGarbageDeviceStreamsAndNeverAnswers) {
    SimOptions options;
    options.Garbage = GarbageMode::Only;
    auto simulator = StartSimulator(options, "garbage");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    host.Write(Frame(0x55, {0x00, 0x01}));
    Bytes noise = host.ReadFor(200ms);
    EXPECT_GT(noise.size(), 50u);
    Bytes reply = Frame(0x55, {0x00, 0x00, 0x1E, 0x01});
    EXPECT_EQ(std::search(noise.begin(), noise.end(), reply.begin(), reply.end()), noise.end());
}

TEST(SimFaults, AnApplicationSprayingNoiseStillAnswersTheProbe) {
    SimOptions options;
    options.Garbage = GarbageMode::WithApplication;
    auto simulator = StartSimulator(options, "noisy-app");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    host.ReadFor(50ms);
    Bytes reply = Frame(0x55, {0x18, 0x00, 0x1E, 0x01});
    host.Write(Frame(0x55, {0x18, 0x01}));
    Bytes heard = host.ReadFor(300ms);
    EXPECT_NE(std::search(heard.begin(), heard.end(), reply.begin(), reply.end()), heard.end());
}

} // namespace
} // namespace ob::sim::testing
