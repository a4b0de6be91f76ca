#pragma once
// The records and codes of the serial services that comm32 is written against, as this
// project's own types; the platform layer (SerialDriver) fills and reads them.

#include <cstdint>

namespace ob {

// A port or an event of the layer.
using Handle = std::intptr_t;
inline constexpr Handle InvalidHandle = -1;

// Line settings. Fields the platform cannot apply are kept by the layer and read back.
struct DCB {
    uint32_t BaudRate = 9600;
    uint8_t fBinary = 1;
    uint8_t fParity = 0;
    uint8_t fOutxCtsFlow = 0;
    uint8_t fOutxDsrFlow = 0;
    uint8_t fDtrControl = 0; // two bits: 0 off, 1 on, 2 handshake
    uint8_t fDsrSensitivity = 0;
    uint8_t fTXContinueOnXoff = 0;
    uint8_t fOutX = 0;
    uint8_t fInX = 0;
    uint8_t fErrorChar = 0;
    uint8_t fNull = 0;
    uint8_t fRtsControl = 0;
    uint8_t fAbortOnError = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 8;
    uint8_t Parity = 0;
    uint8_t StopBits = 0;
    char XonChar = 0x11;
    char XoffChar = 0x13;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

enum : uint8_t { NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4 };
enum : uint8_t { ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2 };

struct COMMTIMEOUTS {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};
inline constexpr uint32_t MAXDWORD = 0xFFFFFFFFu;

struct COMSTAT {
    uint32_t cbInQue = 0;
    uint32_t cbOutQue = 0;
};

struct COMMPROP {
    uint32_t dwCurrentTxQueue = 0;
    uint32_t dwCurrentRxQueue = 0;
};

// One overlapped operation. Internal holds its status once it has ended (0 or an error
// code), InternalHigh the bytes it moved; hEvent is the caller's event.
struct OVERLAPPED {
    uint32_t Internal = 0;
    uint32_t InternalHigh = 0;
    Handle hEvent = InvalidHandle;
};

enum : uint32_t {
    PURGE_TXABORT = 0x1,
    PURGE_RXABORT = 0x2,
    PURGE_TXCLEAR = 0x4,
    PURGE_RXCLEAR = 0x8,
};

// System error codes.
enum : int32_t {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_FUNCTION = 1,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_TOO_MANY_OPEN_FILES = 4,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_GEN_FAILURE = 31,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_BUSY = 170,
    ERROR_FILENAME_EXCED_RANGE = 206,
    ERROR_OPERATION_ABORTED = 995,
    ERROR_IO_INCOMPLETE = 996,
    ERROR_IO_PENDING = 997,
    ERROR_IO_DEVICE = 1117,
};

} // namespace ob
