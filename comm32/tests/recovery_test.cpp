#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

#include <filesystem>
#include <memory>

namespace ob::testing {
namespace {

namespace fs = std::filesystem;

// A port path that the test can put another device behind, as a replugged adapter would.
class RecoveryTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        link = fs::temp_directory_path() / ("comm32-port-" + std::to_string(getpid()));
        PointLinkAt(*pty);
        UsePorts("COM4=" + link.string());
    }
    void TearDown() override {
        PortTest::TearDown();
        fs::remove(link);
    }

    void PointLinkAt(const PtyPair& device) {
        fs::remove(link);
        fs::create_symlink(device.path(), link);
    }
    void Replug() {
        pty->Hangup();
        pty = std::make_unique<PtyPair>();
        PointLinkAt(*pty);
    }

    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();
    fs::path link;
};

TEST_F(RecoveryTest, LostPortIsReopenedWithTheLastSettings) {
    ASSERT_EQ(OpenPort("bio4"), 0);
    SetupPort(38400, 'n', 8, 2, 'X');
    Replug();

    EXPECT_EQ(InQueue(), 0);

    EXPECT_NE(Comm.PortHandle, InvalidHandle);
    termios line = pty->Settings();
    EXPECT_EQ(cfgetospeed(&line), B38400);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_TRUE(line.c_iflag & IXON);
    pty->Write("abc");
    EXPECT_TRUE(WaitForQueued(3));
    EXPECT_FALSE(WriteData("ok"));
    EXPECT_EQ(pty->Read(2), "ok");
}

TEST_F(RecoveryTest, KeepsTryingWhileThePortIsMissing) {
    ASSERT_EQ(OpenPort("bio4"), 0);
    SetupPort(19200, 'n', 8, 1, 'N');
    pty->Hangup();

    uint8_t b = 0;
    EXPECT_FALSE(ReadByte(b));
    EXPECT_EQ(Comm.PortHandle, InvalidHandle);
    EXPECT_EQ(InQueue(), 0);
    EXPECT_EQ(Comm.SavedPort, "BIO4");

    pty = std::make_unique<PtyPair>();
    PointLinkAt(*pty);
    EXPECT_EQ(InQueue(), 0);
    EXPECT_NE(Comm.PortHandle, InvalidHandle);
    pty->Write("z");
    ASSERT_TRUE(WaitForQueued(1));
    EXPECT_TRUE(ReadByte(b));
    EXPECT_EQ(b, 'z');
}

TEST_F(RecoveryTest, ClosedPortComesBackAtTheNextReceivePoll) {
    ASSERT_EQ(OpenPort("bio4"), 0);
    SetupPort(19200, 'n', 8, 1, 'N');
    EXPECT_EQ(ClosePort(), 0);
    EXPECT_EQ(Comm.PortHandle, InvalidHandle);

    EXPECT_EQ(InQueue(), 0);
    EXPECT_NE(Comm.PortHandle, InvalidHandle);
    pty->Write("q");
    EXPECT_TRUE(WaitForQueued(1));
}

TEST_F(RecoveryTest, BeforeAnyOpenThereIsNothingToReopen) {
    EXPECT_EQ(InQueue(), 0);
    EXPECT_EQ(Comm.PortHandle, InvalidHandle);
    EXPECT_EQ(Comm.SavedSettings.baud, 9600u);
}

} // namespace
} // namespace ob::testing
