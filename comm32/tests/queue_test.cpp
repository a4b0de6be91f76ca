#include "comm32/posix_serial_driver.h"
#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

#include <csignal>
#include <sys/time.h>

namespace ob::testing {
namespace {

class QueueTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        UsePorts("COM2=" + pty.path());
        ASSERT_EQ(OpenPort("bio2"), 0);
        ASSERT_EQ(SetupPort(19200, 'n', 8, 1, 'N'), 0);
    }
    PtyPair pty;
};

TEST_F(QueueTest, InQueueCountsAndReadByteTakesOneAtATime) {
    uint8_t b = 0;
    EXPECT_FALSE(ReadByte(b)); // nothing there: returns at once

    pty.Write(std::string("a\0\xff", 3));
    ASSERT_TRUE(WaitForQueued(3));

    std::string read;
    while (ReadByte(b))
        read += static_cast<char>(b);
    EXPECT_EQ(read, std::string("a\0\xff", 3));
    EXPECT_EQ(InQueue(), 0);
    EXPECT_FALSE(ReadByte(b));
}

TEST_F(QueueTest, WaitForInputReturnsWhenAByteWaits) {
    pty.Write("x");
    for (int wait = 0; wait < 100 && InQueue() == 0; ++wait)
        WaitForInput(60'000); // would fail the test's time limit if it ignored the byte
    EXPECT_EQ(InQueue(), 1);
}

// A signal that interrupts the poll for a hang-up is no lost device: reopening the port would
// purge what it has received.
TEST_F(QueueTest, SignalsDuringReadsLoseNoBytes) {
    std::string sent;
    for (int n = 0; n < 2000; ++n)
        sent += static_cast<char>(n % 251);
    pty.Write(sent);
    ASSERT_TRUE(WaitForQueued(static_cast<uint16_t>(sent.size())));

    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = [](int) {};
    sigaction(SIGALRM, &ignore, &previous);
    itimerval storm{{0, 20}, {0, 20}}, off{};
    setitimer(ITIMER_REAL, &storm, nullptr);
    std::string read;
    for (uint8_t b; ReadByte(b);)
        read += static_cast<char>(b);
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);

    EXPECT_EQ(read.size(), sent.size());
    EXPECT_EQ(read, sent);
}

TEST_F(QueueTest, WriteLongerThanTheFreeRoomIsRefusedWhole) {
    uint16_t room = Comm.TxQueueSize - OutQueue();
    Comm.PortError = 1234;

    EXPECT_TRUE(WriteData(std::string(room + 1u, 'x')));
    EXPECT_EQ(Comm.PortError, 1234); // a busy return leaves it

    EXPECT_FALSE(WriteData(std::string(room, 'y')));
    EXPECT_EQ(Comm.PortError, 0);
    EXPECT_EQ(pty.Read(room), std::string(room, 'y')); // none of the refused x's came first
}

TEST_F(QueueTest, SynchronousWriteToADeviceThatStopsTakingBytesEndsShort) {
    std::string block(Comm.TxQueueSize, 'z');
    for (int write = 0; write < 10'000 && Comm.PortError == 0; ++write)
        ASSERT_FALSE(WriteData(block));
    EXPECT_EQ(Comm.PortError, -5);
}

TEST_F(QueueTest, WritesWithoutAPortFailWithASystemCode) {
    ClosePort();
    EXPECT_FALSE(WriteData("x"));
    EXPECT_EQ(Comm.PortError, ERROR_INVALID_HANDLE);
}

} // namespace
} // namespace ob::testing
