// Whole and partial updates against a release file, and what the summary makes of them.

#include "sim/boot_loader.h"
#include "sim/release_file.h"
#include "sim/tests/host_line.h"

#include "firmware/flash_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ob::sim::testing {
namespace {

constexpr uint8_t NewSeed = 0xAA;

struct Chunk {
    uint32_t Address;
    Bytes Data;
};

// The release's bytes in chunks of at most 248, from the first to the last non-erased byte
// of each run, erased gap bytes written as they are.
std::vector<Chunk> ChunksOf(const std::vector<uint8_t>& flash) {
    std::vector<Chunk> chunks;
    for (uint32_t a = 0; a < flash.size();) {
        if (flash[a] == 0xFF) {
            ++a;
            continue;
        }
        Chunk chunk{a, {}};
        while (a < flash.size() && chunk.Data.size() < 248 &&
               !std::all_of(flash.begin() + a,
                            flash.begin() + std::min<size_t>(a + 8, flash.size()),
                            [](uint8_t b) { return b == 0xFF; }))
            chunk.Data.push_back(flash[a++]);
        chunks.push_back(chunk);
    }
    return chunks;
}

class SimUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto release = ReadReleaseFile(OBSIM_TEST_RELEASE, &error);
        ASSERT_TRUE(release) << error;
        release_ = *release;
        SimOptions options;
        options.Start = StartState::BootLoader;
        options.ReleasePath = OBSIM_TEST_RELEASE;
        simulator_ = StartSimulator(options, "update");
        ASSERT_TRUE(simulator_);
        host_ = std::make_unique<HostLine>(simulator_->LinkPath());
        ASSERT_TRUE(MakeContact(*host_, *simulator_, BootAge::New));
    }

    uint8_t NextSeq() { return static_cast<uint8_t>(0x80 | (++seq_ & 0x7F)); }

    void EraseAndWrite(size_t chunkCount) {
        for (int block : {8, 4})
            ASSERT_EQ(Exchange(*host_, NewSeed, {NextSeq(), 6, static_cast<uint8_t>(block)})[1], 0);
        std::vector<Chunk> chunks = ChunksOf(release_.Flash);
        for (size_t i = 0; i < std::min(chunkCount, chunks.size()); ++i) {
            Bytes data = chunks[i].Data;
            if (data.size() % 2)
                data.push_back(0xFF); // as the wizard pads an odd chunk
            Bytes reply =
                Exchange(*host_, NewSeed, WriteRequest(NextSeq(), chunks[i].Address, data));
            ASSERT_EQ(reply.size(), 2u);
            ASSERT_EQ(reply[1], 0) << "chunk at " << std::hex << chunks[i].Address;
        }
    }

    Bytes RunApplication() { return Exchange(*host_, NewSeed, {NextSeq(), 4}); }

    Bytes Probe() {
        host_->ReadFor(20ms);
        return Exchange(*host_, 0x55, {0x08, 1});
    }

    ReleaseImage release_;
    std::unique_ptr<Simulator> simulator_;
    std::unique_ptr<HostLine> host_;
    int seq_ = 12;
};

TEST_F(SimUpdate, AWholeImageMatchesTheReleaseAndStartsItsVersion) {
    EraseAndWrite(SIZE_MAX);
    EXPECT_EQ(RunApplication()[1], 0);
    ASSERT_TRUE(simulator_->WaitForPhase(Phase::Application, 2000ms));
    EXPECT_EQ(Probe(), Bytes({0x08, 0, 0x25, 0x01})) << "version 1.37";
    SessionSummary summary = simulator_->Summary();
    EXPECT_EQ(summary.Result, Outcome::Updated);
    EXPECT_EQ(summary.FlashMatchesRelease, std::optional<bool>(true));
    EXPECT_TRUE(summary.Session.Ended);
}

TEST_F(SimUpdate, APartialImageLeavesTheOldApplicationRunning) {
    EraseAndWrite(10);
    EXPECT_EQ(RunApplication()[1], 0);
    ASSERT_TRUE(simulator_->WaitForPhase(Phase::Application, 2000ms));
    EXPECT_EQ(Probe(), Bytes({0x08, 0, 0x1E, 0x01})) << "still 1.30";
    SessionSummary summary = simulator_->Summary();
    EXPECT_EQ(summary.Result, Outcome::RanOldApplication);
    EXPECT_EQ(summary.FlashMatchesRelease, std::optional<bool>(false));
}

TEST_F(SimUpdate, LeftInTheBootLoaderWithoutRunApplication) {
    EraseAndWrite(SIZE_MAX);
    SessionSummary summary = simulator_->Summary();
    EXPECT_EQ(summary.Result, Outcome::LeftInBootLoader);
    EXPECT_EQ(summary.FlashMatchesRelease, std::optional<bool>(true));
    EXPECT_FALSE(summary.Session.Ended);
}

// The perfect host needs each request and reply once on the wire, back to back, plus the
// target's work; the test counts the bytes itself.
TEST(SimSummary, ThePerfectHostTimeAddsUp) {
    auto simulator = StartSimulator(BootLoaderOptions(), "perfect");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));

    const Bytes requests[] = {
        {0x0D, 1},
        {0x8E, 6, 8},
        WriteRequest(0x8F, 0xC0000, Bytes(248, 0xF5)), // every data byte escaped
        WriteRequest(0x8F, 0xC0000, Bytes(248, 0xF5)), // a retry: not needed by a perfect host
        WriteRequest(0x90, 0xC00F8, {0x01, 0x02}),
        {0x11, 4},
    };
    size_t neededWireBytes = 0, allWireBytes = 0;
    std::chrono::nanoseconds targetTime = EraseTime(8) + WriteTime(248) + WriteTime(2);
    for (size_t i = 0; i < std::size(requests); ++i) {
        Bytes request = Frame(NewSeed, requests[i]);
        host.Write(request);
        Bytes reply = host.ReadFrame();
        ASSERT_FALSE(reply.empty());
        allWireBytes += request.size() + reply.size();
        if (i != 3)
            neededWireBytes += request.size() + reply.size();
    }
    ASSERT_TRUE(simulator->WaitForPhase(Phase::Application, 2000ms));

    SessionSummary summary = simulator->Summary();
    const SessionTimes& session = summary.Session;
    auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / 19200);
    EXPECT_EQ(session.WireTime, static_cast<long>(neededWireBytes) * byteTime);
    EXPECT_EQ(session.TargetTime, targetTime);
    EXPECT_EQ(session.PerfectHost(), session.WireTime + session.TargetTime);
    EXPECT_EQ(session.BytesFromHost + session.BytesToHost, allWireBytes);
    EXPECT_EQ(session.Commands, 6);
    EXPECT_TRUE(session.Ended);
    ASSERT_EQ(summary.Commands.size(), 6u);
    EXPECT_TRUE(summary.Commands[3].Repeat);
    EXPECT_FALSE(summary.Commands[4].Repeat);
    EXPECT_EQ(summary.Commands[2].Code, 7);
    EXPECT_EQ(summary.Commands[2].Seq, 0x8F);
    EXPECT_EQ(summary.Commands[2].Status, std::optional<uint8_t>(0));
}

TEST(SimSummary, JsonCarriesTheCommandsAndTheFigures) {
    SessionSummary summary;
    summary.Commands = {{1, 0x0D, 0, false}, {7, 0x8E, std::nullopt, false}};
    summary.Result = Outcome::Updated;
    summary.Session.Started = summary.Session.Ended = true;
    summary.Session.WireTime = std::chrono::microseconds(1500);
    summary.Session.TargetTime = std::chrono::microseconds(250);
    std::string json = SummaryJson(summary);
    for (const char* part : {"{\"code\": 1, \"seq\": 13, \"status\": 0, \"repeat\": false}",
                             "{\"code\": 7, \"seq\": 142, \"status\": null, \"repeat\": false}",
                             "\"outcome\": \"updated\"", "\"flash_matches_release\": null",
                             "\"perfect_host_ms\": 1.750", "\"wire_ms\": 1.500"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
}

} // namespace
} // namespace ob::sim::testing
