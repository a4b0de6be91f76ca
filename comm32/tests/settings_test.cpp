#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

namespace ob::testing {
namespace {

class SetupPortTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        UsePorts("COM1=" + pty.path());
        ASSERT_EQ(OpenPort("bio1"), 0);
    }
    PtyPair pty;
};

TEST_F(SetupPortTest, EightNOneWithoutFlowControlAsTheOtherEndSeesIt) {
    ASSERT_EQ(SetupPort(2400, 'n', 8, 2, 'B'), 0);
    pty.Write("stale");
    ASSERT_TRUE(WaitForQueued(5));

    EXPECT_EQ(SetupPort(19200, 'n', 8, 1, 'N'), 0);

    termios line = pty.Settings();
    EXPECT_EQ(cfgetospeed(&line), B19200);
    EXPECT_EQ(cfgetispeed(&line), B19200);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(line.c_iflag & (IXON | IXOFF));
    EXPECT_TRUE(line.c_iflag & INPCK);
    EXPECT_TRUE(line.c_cflag & CLOCAL);
    EXPECT_FALSE(line.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(InQueue(), 0);
    EXPECT_EQ(OutQueue(), 0);
    EXPECT_EQ(Comm.SavedSettings.baud, 19200u);
    EXPECT_EQ(Comm.SavedSettings.parity, 'n');
}

TEST_F(SetupPortTest, FlowLetters) {
    struct Case {
        char first;
        char letter;
        bool software;
        bool hardware;
    };
    for (auto [first, letter, software, hardware] :
         {Case{'N', 'X', true, false}, Case{'N', 'h', false, true}, Case{'N', 'B', true, true},
          Case{'B', 'N', false, false}, Case{'X', 'S', false, false}, Case{'B', 'S', false, false},
          Case{'X', 'R', true, false}, Case{'B', 'r', true, false}, Case{'N', 'R', false, false},
          Case{'X', 'H', true, true}, Case{'X', 'Q', true, false}}) {
        SetupPort(9600, 'N', 8, 1, first);
        EXPECT_EQ(SetupPort(9600, 'N', 8, 1, letter), 0);
        termios line = pty.Settings();
        EXPECT_EQ((line.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), software)
            << first << " then " << letter;
        EXPECT_EQ((line.c_iflag & (IXON | IXOFF)) == 0, !software) << first << " then " << letter;
        EXPECT_EQ((line.c_cflag & CRTSCTS) != 0, hardware) << first << " then " << letter;
    }
}

TEST_F(SetupPortTest, StopBits) {
    for (auto [stopBits, two] :
         {std::pair<uint8_t, bool>{1, false}, {2, true}, {0, false}, {3, false}}) {
        EXPECT_EQ(SetupPort(9600, 'N', 8, stopBits, 'N'), 0);
        termios line = pty.Settings();
        EXPECT_EQ((line.c_cflag & CSTOPB) != 0, two) << int(stopBits);
    }
}

TEST_F(SetupPortTest, FailingSettingsCallSkipsPurgeButKeepsTheArguments) {
    SetupPort(19200, 'N', 8, 1, 'N');
    pty.Write("kept");
    ASSERT_TRUE(WaitForQueued(4));

    for (auto [baud, dataBits] : {std::pair<uint32_t, uint8_t>{12345, 8}, {19200, 9}}) {
        EXPECT_EQ(SetupPort(baud, 'E', dataBits, 1, 'N'), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(Comm.PortError, ERROR_INVALID_PARAMETER);
        EXPECT_EQ(Comm.SavedSettings.baud, baud);
        EXPECT_EQ(Comm.SavedSettings.dataBits, dataBits);
        EXPECT_EQ(InQueue(), 4); // not purged
        termios line = pty.Settings();
        EXPECT_EQ(cfgetospeed(&line), B19200);
    }
}

} // namespace
} // namespace ob::testing
