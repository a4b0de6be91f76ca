// A line that never pauses: what the wizard keeps of it must not grow with its bytes.

#include "comm32/comm32.h"
#include "comm32/port_table.h"
#include "core/run_state.h"
#include "protocol/boot_entry.h"
#include "protocol/frame_codec.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pty.h>
#include <unistd.h>

namespace ob::testing {

namespace {

// The far end of a pty that the port module has open as COM1.
class EndlessLine : public ::testing::Test {
protected:
    void SetUp() override {
        char name[256];
        ASSERT_EQ(openpty(&peer, &slave, name, nullptr, nullptr), 0);
        setenv("OBFLASH_PORTS", (std::string("COM1=") + name).c_str(), 1);
        ReloadPortTable();
        ASSERT_EQ(OpenPort("bio1"), 0);
        SetupPort(19200, 'n', 8, 1, 'N');
    }
    void TearDown() override {
        ClosePort();
        close(peer);
        close(slave);
        unsetenv("OBFLASH_PORTS");
        ReloadPortTable();
        ob::Run = {};
        Codec = {};
    }

    // Keeps bytes waiting at every poll, so no burst ever ends, until `polls` have passed.
    void StreamFor(int polls, char byte) {
        view.onEvents = [this, polls, byte] {
            ASSERT_EQ(write(peer, &byte, 1), 1);
            if (view.eventPasses >= polls)
                ob::Run.KeepRunning = false;
        };
    }

    RecordingView view;
    int peer = -1;
    int slave = -1;
};

TEST_F(EndlessLine, TheBurstOfAnUnpausingLineKeepsOnlyItsLastTwoBytes) {
    ob::Run.KeepRunning = true;
    ob::Run.TraceRx = false;
    StreamFor(3000, '\x16');
    std::string burst;
    ReadBurst(burst);
    EXPECT_FALSE(ob::Run.KeepRunning);
    EXPECT_GE(view.eventPasses, 3000);
    EXPECT_LE(burst.size(), 2u);
}

// Bytes inside a frame that never closes are dropped once no valid frame could be that long.
TEST_F(EndlessLine, AnUnendingFrameKeepsTheReplyBounded) {
    ob::Run.TraceRx = false;
    const std::string start(1, '\xF5');
    ASSERT_EQ(write(peer, start.data(), 1), 1);
    std::size_t longest = 0;
    for (int chunk = 0; chunk < 40; ++chunk) {
        const std::string noise(100, 'a');
        ASSERT_EQ(write(peer, noise.data(), noise.size()), ssize_t(noise.size()));
        while (InQueue() > 0)
            ReceiveFrame();
        longest = std::max(longest, Codec.Reply.size());
    }
    EXPECT_LE(longest, MaxFrameBytes);
    EXPECT_LE(Codec.Reply.capacity(), 2 * MaxFrameBytes);
}

} // namespace

} // namespace ob::testing
