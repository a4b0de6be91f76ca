#include "comm32/termios_settings.h"

#include <array>
#include <optional>
#include <utility>

namespace ob {
namespace {

constexpr std::array<std::pair<uint32_t, speed_t>, 30> Speeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

std::optional<speed_t> SpeedOf(uint32_t baud) {
    for (auto [rate, speed] : Speeds)
        if (rate == baud)
            return speed;
    return std::nullopt;
}

std::optional<uint32_t> BaudOf(speed_t speed) {
    for (auto [rate, known] : Speeds)
        if (known == speed)
            return rate;
    return std::nullopt;
}

tcflag_t SizeFlag(uint8_t byteSize) {
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

uint8_t ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

tcflag_t ParityFlags(uint8_t parity) {
    switch (parity) {
    case ODDPARITY:
        return PARENB | PARODD;
    case EVENPARITY:
        return PARENB;
    case MARKPARITY: // the sticky parity bit is always 1
        return PARENB | CMSPAR | PARODD;
    case SPACEPARITY:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

uint8_t ParityOf(tcflag_t cflag) {
    if (!(cflag & PARENB))
        return NOPARITY;
    bool odd = cflag & PARODD;
    if (cflag & CMSPAR)
        return odd ? MARKPARITY : SPACEPARITY;
    return odd ? ODDPARITY : EVENPARITY;
}

void SetFlag(tcflag_t& flags, tcflag_t flag, bool on) {
    if (on)
        flags |= flag;
    else
        flags &= ~flag;
}

} // namespace

bool CanApply(const DCB& dcb) {
    return SpeedOf(dcb.BaudRate) && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 &&
           dcb.Parity <= SPACEPARITY && (dcb.StopBits == ONESTOPBIT || dcb.StopBits == TWOSTOPBITS);
}

void ApplyDcb(const DCB& dcb, termios& settings) {
    cfsetispeed(&settings, *SpeedOf(dcb.BaudRate));
    cfsetospeed(&settings, *SpeedOf(dcb.BaudRate));
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    settings.c_cflag |= SizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity);
    SetFlag(settings.c_cflag, CSTOPB, dcb.StopBits == TWOSTOPBITS);
    SetFlag(settings.c_cflag, CRTSCTS, dcb.fOutxCtsFlow);
    SetFlag(settings.c_iflag, INPCK, dcb.fParity);
    SetFlag(settings.c_iflag, IXON, dcb.fOutX);
    SetFlag(settings.c_iflag, IXOFF, dcb.fInX);
    settings.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    settings.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
}

void ReadDcb(const termios& settings, DCB& dcb) {
    if (std::optional<uint32_t> baud = BaudOf(cfgetospeed(&settings)))
        dcb.BaudRate = *baud;
    dcb.ByteSize = ByteSizeOf(settings.c_cflag);
    dcb.Parity = ParityOf(settings.c_cflag);
    dcb.StopBits = settings.c_cflag & CSTOPB ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fOutxCtsFlow = (settings.c_cflag & CRTSCTS) != 0;
    dcb.fParity = (settings.c_iflag & INPCK) != 0;
    dcb.fOutX = (settings.c_iflag & IXON) != 0;
    dcb.fInX = (settings.c_iflag & IXOFF) != 0;
    dcb.XonChar = static_cast<char>(settings.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(settings.c_cc[VSTOP]);
}

} // namespace ob
