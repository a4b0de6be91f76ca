#include "comm32/termios_settings.h"

#include <gtest/gtest.h>

namespace ob {
namespace {

termios RawLine() {
    termios line{};
    cfmakeraw(&line);
    return line;
}

TEST(TermiosSettings, FramingReachesTheLine) {
    struct Case {
        uint8_t parity;
        uint8_t byteSize;
        uint8_t stopBits;
        tcflag_t flags;
    };
    const tcflag_t framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    for (auto [parity, byteSize, stopBits, flags] :
         {Case{NOPARITY, 8, ONESTOPBIT, CS8}, Case{EVENPARITY, 7, ONESTOPBIT, CS7 | PARENB},
          Case{ODDPARITY, 6, TWOSTOPBITS, CS6 | PARENB | PARODD | CSTOPB},
          Case{MARKPARITY, 5, ONESTOPBIT, CS5 | PARENB | PARODD | CMSPAR},
          Case{SPACEPARITY, 8, TWOSTOPBITS, CS8 | PARENB | CMSPAR | CSTOPB}}) {
        DCB dcb;
        dcb.Parity = parity;
        dcb.ByteSize = byteSize;
        dcb.StopBits = stopBits;
        termios line = RawLine();
        line.c_cflag |= framing; // whatever the line had before
        ApplyDcb(dcb, line);
        EXPECT_EQ(line.c_cflag & framing, flags) << int(parity) << " " << int(byteSize);

        DCB back;
        back.Parity = 99;
        ReadDcb(line, back);
        EXPECT_EQ(back.Parity, parity);
        EXPECT_EQ(back.ByteSize, byteSize);
        EXPECT_EQ(back.StopBits, stopBits);
    }
}

TEST(TermiosSettings, FlowAndSpeedReachTheLine) {
    DCB dcb;
    dcb.BaudRate = 115200;
    dcb.fOutxCtsFlow = 1;
    dcb.fInX = 1;
    dcb.fParity = 1;
    dcb.XonChar = 'Q';
    termios line = RawLine();
    ApplyDcb(dcb, line);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(cfgetispeed(&line), B115200);
    EXPECT_TRUE(line.c_cflag & CRTSCTS);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | INPCK), static_cast<tcflag_t>(IXOFF | INPCK));
    EXPECT_EQ(line.c_cc[VSTART], 'Q');

    DCB back;
    ReadDcb(line, back);
    EXPECT_EQ(back.BaudRate, 115200u);
    EXPECT_EQ(back.fOutxCtsFlow, 1);
    EXPECT_EQ(back.fOutX, 0);
    EXPECT_EQ(back.fInX, 1);
}

TEST(TermiosSettings, WhatLinuxCannotApplyIsRefused) {
    struct Case {
        uint32_t baud;
        uint8_t byteSize;
        uint8_t parity;
        uint8_t stopBits;
        bool applies;
    };
    for (auto [baud, byteSize, parity, stopBits, applies] :
         {Case{19200, 8, NOPARITY, ONESTOPBIT, true},
          Case{4000000, 5, SPACEPARITY, TWOSTOPBITS, true},
          Case{12345, 8, NOPARITY, ONESTOPBIT, false}, Case{0, 8, NOPARITY, ONESTOPBIT, false},
          Case{9600, 9, NOPARITY, ONESTOPBIT, false}, Case{9600, 4, NOPARITY, ONESTOPBIT, false},
          Case{9600, 8, 5, ONESTOPBIT, false}, Case{9600, 8, NOPARITY, ONE5STOPBITS, false}}) {
        DCB dcb;
        dcb.BaudRate = baud;
        dcb.ByteSize = byteSize;
        dcb.Parity = parity;
        dcb.StopBits = stopBits;
        EXPECT_EQ(CanApply(dcb), applies) << baud << " " << int(byteSize);
    }
}

} // namespace
} // namespace ob
