#include "comm32/posix_serial_driver.h"
#include "comm32/tests/port_fixture.h"
#include "comm32/tests/pty_pair.h"

namespace ob::testing {
namespace {

class TxQueueDriver : public PosixSerialDriver {
public:
    bool GetCommProperties(Handle port, COMMPROP& properties) override {
        PosixSerialDriver::GetCommProperties(port, properties);
        properties.dwCurrentTxQueue = reported;
        return true;
    }
    uint32_t reported = 0;
};

// Its status read fails after scribbling on the record; the settings it is given are kept.
class NoStateDriver : public PosixSerialDriver {
public:
    bool GetCommState(Handle, DCB& dcb) override {
        dcb.fOutX = dcb.fInX = 1;
        dcb.Parity = ODDPARITY;
        dcb.fDtrControl = 2;
        return false;
    }
    bool SetCommState(Handle port, const DCB& dcb) override {
        applied = dcb;
        return PosixSerialDriver::SetCommState(port, dcb);
    }
    DCB applied;
};

// A port that holds any line settings: what was applied is read back. (A pty holds no
// parity and only 8 data bits.)
class SettingsMemoryDriver : public PosixSerialDriver {
public:
    bool GetCommState(Handle, DCB& dcb) override {
        dcb = held;
        return true;
    }
    bool SetCommState(Handle, const DCB& dcb) override {
        held = dcb;
        return true;
    }
    DCB held;
};

using InjectedDriverTest = PortTest;

TEST_F(InjectedDriverTest, TransmitQueueSizeIsTheLow16BitsAndNever0) {
    PtyPair pty;
    TxQueueDriver& driver = Install<TxQueueDriver>();
    struct Case {
        uint32_t reported;
        uint16_t size;
    };
    for (auto [reported, size] :
         {Case{0, 2048}, Case{0x10000, 2048}, Case{0x12345, 0x2345}, Case{100, 100}}) {
        driver.reported = reported;
        ASSERT_EQ(OpenPort(pty.path()), 0);
        EXPECT_EQ(Comm.TxQueueSize, size) << reported;
    }
    SetupPort(19200, 'n', 8, 1, 'N');
    EXPECT_TRUE(WriteData(std::string(101, 'x')));
    EXPECT_FALSE(WriteData(std::string(100, 'y')));
}

TEST_F(InjectedDriverTest, UnreadableSettingsStartFromTheDefaults) {
    PtyPair pty;
    NoStateDriver& driver = Install<NoStateDriver>();
    ASSERT_EQ(OpenPort(pty.path()), 0);

    EXPECT_EQ(SetupPort(19200, 'P', 8, 1, 'R'), 0);

    EXPECT_EQ(driver.applied.Parity, NOPARITY);
    EXPECT_EQ(driver.applied.fOutX, 0);
    EXPECT_EQ(driver.applied.fInX, 0);
    EXPECT_EQ(driver.applied.fDtrControl, 1);
    EXPECT_EQ(driver.applied.fParity, 1);
    EXPECT_EQ(driver.applied.ErrorChar, '?');
    EXPECT_EQ(driver.applied.XonLim, 256);
    EXPECT_EQ(driver.applied.XoffLim, 1024);
}

TEST_F(InjectedDriverTest, ParityLettersAndDataBits) {
    PtyPair pty;
    SettingsMemoryDriver& driver = Install<SettingsMemoryDriver>();
    ASSERT_EQ(OpenPort(pty.path()), 0);
    struct Case {
        char first;
        char letter;
        uint8_t parity;
    };
    for (auto [first, letter, parity] :
         {Case{'N', 'E', EVENPARITY}, Case{'N', 'o', ODDPARITY}, Case{'N', 'M', MARKPARITY},
          Case{'N', 's', SPACEPARITY}, Case{'E', 'n', NOPARITY}, Case{'E', 'P', EVENPARITY},
          Case{'M', 'P', MARKPARITY}, Case{'O', '?', ODDPARITY}}) {
        SetupPort(9600, first, 8, 1, 'N');
        EXPECT_EQ(SetupPort(9600, letter, 7, 1, 'N'), 0);
        EXPECT_EQ(driver.held.Parity, parity) << first << " then " << letter;
        EXPECT_EQ(driver.held.fParity, 1); // checking on, also without parity
        EXPECT_EQ(driver.held.ByteSize, 7);
    }
    SetupPort(9600, 'N', 9, 1, 'N');
    EXPECT_EQ(driver.held.ByteSize, 9); // passed on unchecked; a real port refuses it
}

} // namespace
} // namespace ob::testing
