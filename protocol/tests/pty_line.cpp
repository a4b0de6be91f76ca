#include "pty_line.h"

#include "comm32/comm32.h"
#include "comm32/port_table.h"

#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace ob::testing {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

bool Readable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, int(limit.count())) == 1 && (entry.revents & POLLIN);
}

} // namespace

PtyLine::PtyLine() {
    char slaveName[128];
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    setenv("OBFLASH_PORTS", (std::string("COM7=") + slaveName).c_str(), 1);
    ReloadPortTable();
    OpenPort("bio7");
    SetupPort(19200, 'n', 8, 1, 'N');
}

PtyLine::~PtyLine() {
    ClosePort();
    close(slave);
    close(master);
}

void PtyLine::Send(std::string_view bytes) {
    int expected = waitingAtPort() + int(bytes.size());
    Write(bytes);
    // The pty hands bytes to the other side asynchronously.
    for (auto deadline = Clock::now() + 2s; waitingAtPort() < expected && Clock::now() < deadline;)
        std::this_thread::sleep_for(1ms);
}

void PtyLine::Write(std::string_view bytes) {
    if (write(master, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
        throw std::runtime_error("writing to the pty failed");
}

std::string PtyLine::Take(std::size_t count, std::chrono::milliseconds limit) {
    std::string taken;
    auto deadline = Clock::now() + limit;
    while (taken.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= 0ms || !Readable(master, left))
            break;
        char buffer[256];
        ssize_t got = read(master, buffer, std::min(sizeof buffer, count - taken.size()));
        if (got <= 0)
            break;
        taken.append(buffer, std::size_t(got));
    }
    return taken;
}

std::string PtyLine::TakeRest() {
    std::string taken;
    for (std::string more; !(more = Take(256, 50ms)).empty();)
        taken += more;
    return taken;
}

int PtyLine::waitingAtPort() const {
    int waiting = 0;
    ioctl(slave, FIONREAD, &waiting);
    return waiting;
}

} // namespace ob::testing
