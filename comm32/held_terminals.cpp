#include "comm32/held_terminals.h"

#include <atomic>
#include <csignal>
#include <sys/ioctl.h>

namespace ob {

namespace {

constexpr int NoTerminal = -1;

// Lock-free slots, so that a signal handler can read them at any moment.
std::atomic<int> Held[] = {NoTerminal, NoTerminal, NoTerminal, NoTerminal,
                           NoTerminal, NoTerminal, NoTerminal, NoTerminal};

void ReleaseAndEnd(int signal) {
    ReleaseHeldTerminals();
    std::signal(signal, SIG_DFL);
    std::raise(signal); // delivered, with its default action, once this handler returns
}

void ReleaseOnTermination() {
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction release {};
        release.sa_handler = ReleaseAndEnd;
        sigemptyset(&release.sa_mask);
        sigaction(signal, &release, nullptr);
    }
}

} // namespace

void NoteHeldTerminal(int fd) {
    static const bool releaseSetUp = (ReleaseOnTermination(), true);
    (void)releaseSetUp;
    for (std::atomic<int>& slot : Held) {
        int free = NoTerminal;
        if (slot.compare_exchange_strong(free, fd))
            return;
    }
}

void NoteReleasedTerminal(int fd) {
    for (std::atomic<int>& slot : Held) {
        int held = fd;
        if (slot.compare_exchange_strong(held, NoTerminal))
            return;
    }
}

void ReleaseHeldTerminals() {
    for (std::atomic<int>& slot : Held)
        if (const int fd = slot.load(); fd != NoTerminal)
            ioctl(fd, TIOCNXCL);
}

} // namespace ob
