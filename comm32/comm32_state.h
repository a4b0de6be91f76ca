#pragma once
// The state of the process's one serial port.

#include "comm32/serial_types.h"

#include <cstdint>
#include <string>

namespace ob {

struct LineSettings {
    uint32_t baud = 9600;
    char parity = 'N';
    uint8_t dataBits = 8;
    uint8_t stopBits = 1;
    char flow = 'X';
};

struct Comm32State {
    Handle PortHandle = InvalidHandle;
    bool OverlappedMode = false;
    std::string SavedPort;      // last successful open: BIO form upper-cased, a path as given
    LineSettings SavedSettings; // arguments of the last SetupPort, stored whatever its outcome
    uint16_t TxQueueSize = 0;
    int32_t PortError = 0;   // 0, a system error code, or -5 for a short synchronous write
    COMSTAT PortStatus;      // as the last successful status query left it
    OVERLAPPED PendingWrite; // an event present: the last overlapped write is not yet confirmed
};

inline Comm32State Comm;

} // namespace ob
