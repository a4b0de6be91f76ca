#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

namespace ob::testing {
namespace {

// A port opened by path, whose other end reads nothing until the test says so.
class OverlappedTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        ASSERT_EQ(OpenPort(pty.path()), 0);
        ASSERT_EQ(SetupPort(19200, 'n', 8, 1, 'N'), 0);
        ASSERT_TRUE(Comm.OverlappedMode);
    }

    // Writes blocks until the device leaves one under way; the bytes handed over.
    std::size_t FillUntilAWriteIsUnderWay() {
        const std::string block(1024, 'p');
        std::size_t issued = 0;
        for (int write = 0; write < 10'000; ++write) {
            if (WriteData(block))
                return issued;
            EXPECT_EQ(Comm.PortError, 0);
            issued += block.size();
        }
        ADD_FAILURE() << "the device took everything";
        return issued;
    }

    PtyPair pty;
};

TEST_F(OverlappedTest, WriteUnderWayMakesLaterWritesBusyUntilItCompletes) {
    std::size_t issued = FillUntilAWriteIsUnderWay();
    EXPECT_EQ(Comm.PortError, 0);
    EXPECT_NE(Comm.PendingWrite.hEvent, InvalidHandle);
    EXPECT_TRUE(WriteData("!"));

    std::string received;
    bool busy = true;
    for (int poll = 0; poll < 1000 && busy; ++poll) {
        received += pty.Read(1);
        busy = WriteData("!");
    }
    ASSERT_FALSE(busy);
    for (int poll = 0; poll < 100 && received.size() < issued + 1; ++poll) {
        OutQueue(); // lets a write under way go on
        received += pty.Read(1);
    }
    EXPECT_EQ(received, std::string(issued, 'p') + "!");
}

TEST_F(OverlappedTest, SetupPortEndsTheWriteUnderWay) {
    FillUntilAWriteIsUnderWay();

    EXPECT_EQ(SetupPort(19200, 'n', 8, 1, 'N'), 0);

    EXPECT_EQ(Comm.PendingWrite.hEvent, InvalidHandle);
    EXPECT_FALSE(WriteData("x"));
}

} // namespace
} // namespace ob::testing
