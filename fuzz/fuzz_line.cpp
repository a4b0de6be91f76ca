#include "fuzz/fuzz_line.h"

#include "comm32/comm32.h"
#include "comm32/port_table.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ob::fuzzing {

namespace {

// Well below the pty's input buffer, so a write never blocks or gets split by the kernel.
constexpr int PortRoom = 2048;
// Bytes cross in microseconds; the limit only matters on a machine loaded far beyond that.
constexpr auto ArrivalLimit = std::chrono::seconds(5);

} // namespace

FuzzLine& FuzzLine::Get() {
    static FuzzLine line;
    return line;
}

FuzzLine::FuzzLine() {
    char slaveName[128];
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    setenv("OBFLASH_PORTS", (std::string("COM7=") + slaveName).c_str(), 1);
    ReloadPortTable();
    OpenPort("bio7");
    SetupPort(19200, 'N', 8, 1, 'N');
}

void FuzzLine::Reset() {
    tcflush(slave, TCIFLUSH);
    Heard();
}

std::size_t FuzzLine::Send(std::string_view bytes) {
    if (bytes.empty())
        return 0;
    int waiting = WaitingAtPort();
    std::size_t room = std::size_t(std::max(0, PortRoom - waiting));
    bytes = bytes.substr(0, std::min(room, bytes.size()));
    ssize_t written = write(master, bytes.data(), bytes.size());
    if (written <= 0)
        return 0;
    // The pty hands bytes to the other side asynchronously; a bounded spin, no sleep.
    int expected = waiting + int(written);
    auto deadline = std::chrono::steady_clock::now() + ArrivalLimit;
    while (WaitingAtPort() < expected && std::chrono::steady_clock::now() < deadline)
        sched_yield();
    return std::size_t(written);
}

std::string FuzzLine::Heard() {
    std::string heard;
    char buffer[512];
    for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;)
        heard.append(buffer, std::size_t(got));
    return heard;
}

std::string FuzzLine::HeardUntil(const std::function<bool(const std::string&)>& complete) {
    std::string heard = Heard();
    auto deadline = std::chrono::steady_clock::now() + ArrivalLimit;
    while (!complete(heard) && std::chrono::steady_clock::now() < deadline) {
        pollfd arrival{master, POLLIN, 0};
        poll(&arrival, 1, 1);
        heard += Heard();
    }
    return heard;
}

int FuzzLine::WaitingAtPort() const {
    int waiting = 0;
    ioctl(slave, FIONREAD, &waiting);
    return waiting;
}

} // namespace ob::fuzzing
