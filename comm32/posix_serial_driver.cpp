#include "comm32/posix_serial_driver.h"

#include "comm32/error_codes.h"
#include "comm32/held_terminals.h"
#include "comm32/port_table.h"
#include "comm32/termios_settings.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace ob {
namespace {

// Opens `path` as a raw, exclusively held terminal; -1 with errno set on failure.
int OpenTerminal(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios settings{};
    bool ok = isatty(fd) && flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCEXCL) == 0 &&
              tcgetattr(fd, &settings) == 0;
    if (ok) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        ok = tcsetattr(fd, TCSANOW, &settings) == 0;
    }
    if (!ok) {
        int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    NoteHeldTerminal(fd);
    return fd;
}

// Waits until the device takes bytes again; false when it takes none for StallLimitMs.
bool WaitForRoom(int fd) {
    pollfd room{fd, POLLOUT, 0};
    return ::poll(&room, 1, PosixSerialDriver::StallLimitMs) > 0 &&
           !(room.revents & (POLLHUP | POLLERR | POLLNVAL));
}

// DTR through the modem lines; devices without them (a pty) simply have no DTR.
void SetDtr(int fd, bool on) {
    int line = TIOCM_DTR;
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

} // namespace

PosixSerialDriver::~PosixSerialDriver() {
    while (!ports.empty())
        CloseHandle(ports.begin()->first);
}

bool PosixSerialDriver::Fail(int32_t code) {
    lastError = code;
    return false;
}

bool PosixSerialDriver::FailErrno() {
    return Fail(ErrorCodeFromErrno(errno));
}

PosixSerialDriver::Port* PosixSerialDriver::FindPort(Handle handle) {
    auto found = ports.find(handle);
    if (found == ports.end()) {
        lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    return &found->second;
}

Handle PosixSerialDriver::Track(Port port) {
    Handle handle = nextHandle++;
    ports.emplace(handle, std::move(port));
    return handle;
}

Handle PosixSerialDriver::CreateFile(const std::string& name, bool /*overlapped*/) {
    std::optional<std::string> path = ResolvePortName(name);
    if (!path) {
        Fail(ERROR_FILE_NOT_FOUND);
        return InvalidHandle;
    }
    int fd = OpenTerminal(*path);
    if (fd < 0) {
        FailErrno();
        return InvalidHandle;
    }
    Port port{fd, {}, {}, std::nullopt};
    termios settings{};
    tcgetattr(fd, &settings);
    ReadDcb(settings, port.dcb);
    return Track(std::move(port));
}

bool PosixSerialDriver::CloseHandle(Handle handle) {
    if (events.erase(handle))
        return true;
    Port* port = FindPort(handle);
    if (!port)
        return false;
    EndPending(*port, ERROR_OPERATION_ABORTED);
    ioctl(port->fd, TIOCNXCL);
    NoteReleasedTerminal(port->fd);
    int result = ::close(port->fd);
    int error = errno;
    ports.erase(handle);
    errno = error;
    return result == 0 || FailErrno();
}

bool PosixSerialDriver::SetupComm(Handle port, uint32_t, uint32_t) {
    return FindPort(port) != nullptr;
}

bool PosixSerialDriver::GetCommProperties(Handle port, COMMPROP& properties) {
    if (!FindPort(port))
        return false;
    properties.dwCurrentTxQueue = TransmitQueue;
    properties.dwCurrentRxQueue = TransmitQueue;
    return true;
}

bool PosixSerialDriver::GetCommState(Handle handle, DCB& dcb) {
    Port* port = FindPort(handle);
    if (!port)
        return false;
    termios settings{};
    if (tcgetattr(port->fd, &settings) != 0)
        return FailErrno();
    dcb = port->dcb;
    ReadDcb(settings, dcb);
    return true;
}

bool PosixSerialDriver::SetCommState(Handle handle, const DCB& dcb) {
    Port* port = FindPort(handle);
    if (!port)
        return false;
    if (!CanApply(dcb))
        return Fail(ERROR_INVALID_PARAMETER);
    termios settings{};
    if (tcgetattr(port->fd, &settings) != 0)
        return FailErrno();
    ApplyDcb(dcb, settings);
    if (tcsetattr(port->fd, TCSANOW, &settings) != 0)
        return FailErrno();
    SetDtr(port->fd, dcb.fDtrControl & 1);
    port->dcb = dcb;
    return true;
}

// Reads never wait whatever the time-outs say (VMIN 0, VTIME 0, non-blocking); they are kept
// only so the port reports what it was given.
bool PosixSerialDriver::SetCommTimeouts(Handle handle, const COMMTIMEOUTS& timeouts) {
    Port* port = FindPort(handle);
    if (!port)
        return false;
    port->timeouts = timeouts;
    return true;
}

bool PosixSerialDriver::PurgeComm(Handle handle, uint32_t flags) {
    Port* port = FindPort(handle);
    if (!port)
        return false;
    if (flags & (PURGE_TXABORT | PURGE_TXCLEAR))
        EndPending(*port, ERROR_OPERATION_ABORTED);
    bool input = flags & PURGE_RXCLEAR;
    bool output = flags & PURGE_TXCLEAR;
    if (!input && !output)
        return true;
    int queues = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return tcflush(port->fd, queues) == 0 || FailErrno();
}

bool PosixSerialDriver::Hungup(const Port& port) const {
    pollfd probe{port.fd, 0, 0};
    int ready;
    do // a signal that interrupts the probe says nothing about the device
        ready = ::poll(&probe, 1, 0);
    while (ready < 0 && errno == EINTR);
    return ready < 0 || (probe.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool PosixSerialDriver::ClearCommError(Handle handle, uint32_t& errors, COMSTAT& status) {
    Port* port = FindPort(handle);
    if (!port)
        return false;
    if (Hungup(*port))
        return Fail(ERROR_IO_DEVICE);
    PushPending(*port);
    int waiting = 0;
    int unsent = 0;
    if (ioctl(port->fd, FIONREAD, &waiting) != 0 || ioctl(port->fd, TIOCOUTQ, &unsent) != 0)
        return FailErrno();
    errors = 0;
    status.cbInQue = static_cast<uint32_t>(waiting);
    status.cbOutQue = static_cast<uint32_t>(unsent);
    if (port->pending)
        status.cbOutQue += static_cast<uint32_t>(port->pending->rest.size());
    return true;
}

bool PosixSerialDriver::ReadFile(Handle handle, void* buffer, uint32_t size, uint32_t& read,
                                 OVERLAPPED* overlapped) {
    read = 0;
    Port* port = FindPort(handle);
    if (!port)
        return false;
    ssize_t count = ::read(port->fd, buffer, size);
    if (count < 0 && errno != EAGAIN)
        return FailErrno();
    read = count > 0 ? static_cast<uint32_t>(count) : 0;
    if (overlapped) { // never left outstanding: it has taken what had arrived
        overlapped->Internal = ERROR_SUCCESS;
        overlapped->InternalHigh = read;
    }
    return true;
}

long PosixSerialDriver::WriteNow(int fd, const char* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        ssize_t count = ::write(fd, data + sent, size - sent);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            break;
        if (count < 0)
            return -1;
        sent += static_cast<std::size_t>(count);
    }
    return static_cast<long>(sent);
}

bool PosixSerialDriver::WriteWaiting(Port& port, const char* data, uint32_t size,
                                     uint32_t& written) {
    for (;;) {
        long count = WriteNow(port.fd, data + written, size - written);
        if (count < 0)
            return FailErrno();
        written += static_cast<uint32_t>(count);
        if (written == size || !WaitForRoom(port.fd))
            return true; // all of it, or short: the device stopped taking bytes
    }
}

bool PosixSerialDriver::WriteOverlapped(Port& port, const char* data, uint32_t size,
                                        uint32_t& written, OVERLAPPED& overlapped) {
    if (port.pending)
        return Fail(ERROR_BUSY);
    long count = WriteNow(port.fd, data, size);
    if (count < 0)
        return FailErrno();
    written = static_cast<uint32_t>(count);
    if (written == size) {
        overlapped.Internal = ERROR_SUCCESS;
        overlapped.InternalHigh = size;
        return true;
    }
    overlapped.Internal = ERROR_IO_PENDING;
    port.pending = PendingWrite{&overlapped, std::string(data + written, size - written), written};
    return Fail(ERROR_IO_PENDING);
}

bool PosixSerialDriver::WriteFile(Handle handle, const void* data, uint32_t size, uint32_t& written,
                                  OVERLAPPED* overlapped) {
    written = 0;
    Port* port = FindPort(handle);
    if (!port)
        return false;
    const char* bytes = static_cast<const char*>(data);
    return overlapped ? WriteOverlapped(*port, bytes, size, written, *overlapped)
                      : WriteWaiting(*port, bytes, size, written);
}

void PosixSerialDriver::PushPending(Port& port) {
    if (!port.pending)
        return;
    PendingWrite& pending = *port.pending;
    long count = WriteNow(port.fd, pending.rest.data(), pending.rest.size());
    if (count < 0) {
        EndPending(port, ErrorCodeFromErrno(errno));
        return;
    }
    pending.rest.erase(0, static_cast<std::size_t>(count));
    pending.sent += static_cast<uint32_t>(count);
    if (pending.rest.empty())
        EndPending(port, ERROR_SUCCESS);
}

void PosixSerialDriver::EndPending(Port& port, int32_t status) {
    if (!port.pending)
        return;
    port.pending->overlapped->Internal = static_cast<uint32_t>(status);
    port.pending->overlapped->InternalHigh = port.pending->sent;
    port.pending.reset();
}

Handle PosixSerialDriver::CreateEvent() {
    Handle handle = nextHandle++;
    events.insert(handle);
    return handle;
}

bool PosixSerialDriver::GetOverlappedResult(Handle handle, OVERLAPPED& overlapped,
                                            uint32_t& transferred) {
    auto found = ports.find(handle);
    if (found != ports.end() && found->second.pending &&
        found->second.pending->overlapped == &overlapped) {
        PushPending(found->second);
        if (found->second.pending)
            return Fail(ERROR_IO_INCOMPLETE);
    }
    transferred = overlapped.InternalHigh;
    if (overlapped.Internal == ERROR_IO_PENDING) // not issued through this driver's port
        return Fail(ERROR_INVALID_HANDLE);
    return overlapped.Internal == ERROR_SUCCESS || Fail(static_cast<int32_t>(overlapped.Internal));
}

int PosixSerialDriver::InputDescriptor(Handle handle) {
    auto found = ports.find(handle);
    return found == ports.end() ? -1 : found->second.fd;
}

void PosixSerialDriver::WaitForInput(Handle handle, int milliseconds) {
    auto found = ports.find(handle);
    if (found == ports.end()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    pollfd input{found->second.fd, POLLIN, 0};
    ::poll(&input, 1, milliseconds);
}

} // namespace ob
