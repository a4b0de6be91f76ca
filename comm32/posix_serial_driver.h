#pragma once
// The serial services over POSIX terminals. Ports open raw and non-blocking, exclusively
// (TIOCEXCL and a lock: we run as root, which TIOCEXCL alone does not stop). Overlapped
// writes are emulated: what the device does not take at once goes out as later calls ask
// for the write's completion.

#include "comm32/serial_driver.h"

#include <map>
#include <optional>
#include <set>

namespace ob {

class PosixSerialDriver : public SerialDriver {
public:
    ~PosixSerialDriver() override;

    Handle CreateFile(const std::string& name, bool overlapped) override;
    int32_t LastError() const override { return lastError; }
    bool CloseHandle(Handle handle) override;
    bool SetupComm(Handle port, uint32_t rxQueue, uint32_t txQueue) override;
    bool GetCommProperties(Handle port, COMMPROP& properties) override;
    bool GetCommState(Handle port, DCB& dcb) override;
    bool SetCommState(Handle port, const DCB& dcb) override;
    bool SetCommTimeouts(Handle port, const COMMTIMEOUTS& timeouts) override;
    bool PurgeComm(Handle port, uint32_t flags) override;
    bool ClearCommError(Handle port, uint32_t& errors, COMSTAT& status) override;
    bool ReadFile(Handle port, void* buffer, uint32_t size, uint32_t& read,
                  OVERLAPPED* overlapped) override;
    bool WriteFile(Handle port, const void* data, uint32_t size, uint32_t& written,
                   OVERLAPPED* overlapped) override;
    Handle CreateEvent() override;
    bool GetOverlappedResult(Handle port, OVERLAPPED& overlapped, uint32_t& transferred) override;
    void WaitForInput(Handle port, int milliseconds) override;
    int InputDescriptor(Handle port) override;

    // A terminal's transmit buffer; Linux does not let a program size it.
    static constexpr uint32_t TransmitQueue = 4096;
    // A synchronous write gives up, short, when the device takes nothing for this long.
    static constexpr int StallLimitMs = 1000;

private:
    struct PendingWrite {
        OVERLAPPED* overlapped;
        std::string rest;
        uint32_t sent;
    };
    struct Port {
        int fd;
        DCB dcb; // what termios cannot hold, as last set
        COMMTIMEOUTS timeouts;
        std::optional<PendingWrite> pending;
    };

    Port* FindPort(Handle handle);
    bool Fail(int32_t code);
    bool FailErrno();
    Handle Track(Port port);
    bool Hungup(const Port& port) const;
    void PushPending(Port& port);
    void EndPending(Port& port, int32_t status);
    // Writes without waiting; the count taken, or -1 with errno set.
    long WriteNow(int fd, const char* data, std::size_t size);
    bool WriteWaiting(Port& port, const char* data, uint32_t size, uint32_t& written);
    bool WriteOverlapped(Port& port, const char* data, uint32_t size, uint32_t& written,
                         OVERLAPPED& overlapped);

    std::map<Handle, Port> ports;
    std::set<Handle> events;
    Handle nextHandle = 1;
    int32_t lastError = ERROR_SUCCESS;
};

} // namespace ob
