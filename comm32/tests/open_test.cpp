#include "comm32/posix_serial_driver.h"
#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

#include <filesystem>
#include <fstream>

namespace ob::testing {
namespace {

using OpenPortTest = PortTest;

TEST_F(OpenPortTest, BioDesignatorOpensThroughThePortTable) {
    PtyPair pty;
    UsePorts("COM3=/nonexistent/tty,COM12=" + pty.path());

    EXPECT_EQ(OpenPort("Bio12"), 0);

    EXPECT_NE(Comm.PortHandle, InvalidHandle);
    EXPECT_FALSE(Comm.OverlappedMode);
    EXPECT_EQ(Comm.SavedPort, "BIO12");
    EXPECT_EQ(Comm.TxQueueSize, PosixSerialDriver::TransmitQueue);
    SetupPort(19200, 'n', 8, 1, 'N');
    EXPECT_FALSE(WriteData("ping"));
    EXPECT_EQ(pty.Read(4), "ping");
}

TEST_F(OpenPortTest, PathDesignatorOpensOverlappedAndIsSavedAsWritten) {
    PtyPair pty;

    EXPECT_EQ(OpenPort(pty.path()), 0);

    EXPECT_TRUE(Comm.OverlappedMode);
    EXPECT_EQ(Comm.SavedPort, pty.path()); // upper-cased it would name no file on Linux
    SetupPort(19200, 'n', 8, 1, 'N');
    EXPECT_FALSE(WriteData("ping"));
    EXPECT_FALSE(WriteData("pong")); // the first one completed at once
    EXPECT_EQ(Comm.PortError, 0);
    EXPECT_EQ(pty.Read(8), "pingpong");
}

TEST_F(OpenPortTest, FailedOpenAfterAGoodOneKeepsTheSavedPort) {
    PtyPair pty;
    UsePorts("COM4=" + pty.path());
    ASSERT_EQ(OpenPort("bio4"), 0);

    EXPECT_EQ(OpenPort("bio5"), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(Comm.PortError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Comm.PortHandle, InvalidHandle); // the earlier port was closed first
    EXPECT_EQ(Comm.SavedPort, "BIO4");
}

TEST_F(OpenPortTest, PortInUseIsRefused) {
    PtyPair pty;
    PosixSerialDriver otherProgram;
    Handle held = otherProgram.CreateFile(pty.path(), false);
    ASSERT_NE(held, InvalidHandle);

    EXPECT_EQ(OpenPort(pty.path()), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Comm.PortHandle, InvalidHandle);

    otherProgram.CloseHandle(held);
    EXPECT_EQ(OpenPort(pty.path()), 0);
    EXPECT_EQ(otherProgram.CreateFile(pty.path(), false), InvalidHandle);
    EXPECT_EQ(otherProgram.LastError(), ERROR_ACCESS_DENIED);
}

TEST_F(OpenPortTest, OnlyTerminalDevicesOpen) {
    std::filesystem::path directory = std::filesystem::temp_directory_path();
    std::filesystem::path file = directory / ("comm32-not-a-tty-" + std::to_string(getpid()));
    std::ofstream(file) << "data";
    UsePorts("COM1=/nonexistent/tty");

    struct Case {
        std::string designator;
        int32_t error;
    };
    for (const Case& c : {Case{file.string(), ERROR_INVALID_FUNCTION},
                          Case{directory.string(), ERROR_ACCESS_DENIED},
                          Case{"/nonexistent/tty", ERROR_FILE_NOT_FOUND},
                          Case{"bio1", ERROR_FILE_NOT_FOUND}, Case{"bio2", ERROR_FILE_NOT_FOUND},
                          Case{"bi", ERROR_FILE_NOT_FOUND}, Case{"", ERROR_FILE_NOT_FOUND}}) {
        EXPECT_EQ(OpenPort(c.designator), c.error) << c.designator;
        EXPECT_EQ(Comm.PortHandle, InvalidHandle) << c.designator;
    }
    EXPECT_EQ(Comm.SavedPort, "");
    std::filesystem::remove(file);
}

} // namespace
} // namespace ob::testing
