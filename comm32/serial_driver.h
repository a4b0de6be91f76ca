#pragma once
// The platform's serial services as comm32 uses them. The process has one installed driver;
// a test may install its own to show what a real port cannot.

#include "comm32/serial_types.h"

#include <cstdint>
#include <string>

namespace ob {

class SerialDriver {
public:
    virtual ~SerialDriver() = default;

    // Exclusive open of a device by name ("COM<n>" through the port table, or a path);
    // InvalidHandle on failure, with the reason in LastError().
    virtual Handle CreateFile(const std::string& name, bool overlapped) = 0;
    virtual int32_t LastError() const = 0;
    // Closes a port or an event.
    virtual bool CloseHandle(Handle handle) = 0;

    virtual bool SetupComm(Handle port, uint32_t rxQueue, uint32_t txQueue) = 0;
    virtual bool GetCommProperties(Handle port, COMMPROP& properties) = 0;
    virtual bool GetCommState(Handle port, DCB& dcb) = 0;
    virtual bool SetCommState(Handle port, const DCB& dcb) = 0;
    virtual bool SetCommTimeouts(Handle port, const COMMTIMEOUTS& timeouts) = 0;
    virtual bool PurgeComm(Handle port, uint32_t flags) = 0;
    // Fails when no working port is behind the handle.
    virtual bool ClearCommError(Handle port, uint32_t& errors, COMSTAT& status) = 0;

    // With `overlapped` null the call is synchronous. An overlapped read never stays
    // outstanding: it takes what has arrived, even nothing. An overlapped write that cannot be
    // handed over at once fails with ERROR_IO_PENDING; `overlapped` must then stay valid
    // until GetOverlappedResult reports it ended.
    virtual bool ReadFile(Handle port, void* buffer, uint32_t size, uint32_t& read,
                          OVERLAPPED* overlapped) = 0;
    virtual bool WriteFile(Handle port, const void* data, uint32_t size, uint32_t& written,
                           OVERLAPPED* overlapped) = 0;
    // A manual-reset, non-signalled, unnamed event.
    virtual Handle CreateEvent() = 0;
    // Never waits: ERROR_IO_INCOMPLETE while the operation is still under way.
    virtual bool GetOverlappedResult(Handle port, OVERLAPPED& overlapped,
                                     uint32_t& transferred) = 0;

    // Returns once a byte waits on the port or `milliseconds` have passed.
    virtual void WaitForInput(Handle port, int milliseconds) = 0;
    // What an event loop can watch for input on the port; -1 when there is nothing to watch.
    virtual int InputDescriptor(Handle /*port*/) { return -1; }
};

// The installed driver; the POSIX one unless a test installed another.
SerialDriver& Driver();
// nullptr puts the POSIX driver back.
void InstallDriver(SerialDriver* driver);

} // namespace ob
