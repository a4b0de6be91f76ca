#include "comm32/tests/pty_pair.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace ob::testing {

PtyPair::PtyPair() {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        ADD_FAILURE() << "openpty failed";
    ::close(slave); // the code under test opens its own
    devicePath = name;
}

PtyPair::~PtyPair() {
    Hangup();
}

void PtyPair::Write(const std::string& bytes) {
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string PtyPair::Read(std::size_t expected) {
    std::string received;
    for (int attempt = 0; attempt < 50 && received.size() < expected; ++attempt) {
        pollfd input{master, POLLIN, 0};
        if (::poll(&input, 1, 100) > 0 && (input.revents & POLLIN))
            received += ReadAvailable();
    }
    return received;
}

std::string PtyPair::ReadAvailable() {
    std::string received;
    char buffer[4096];
    for (;;) {
        pollfd input{master, POLLIN, 0};
        if (::poll(&input, 1, 0) <= 0 || !(input.revents & POLLIN))
            return received;
        ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count <= 0)
            return received;
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

termios PtyPair::Settings() const {
    termios settings{};
    EXPECT_EQ(tcgetattr(master, &settings), 0);
    return settings;
}

void PtyPair::Hangup() {
    if (master >= 0)
        ::close(master);
    master = -1;
}

} // namespace ob::testing
