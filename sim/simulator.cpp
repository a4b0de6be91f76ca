#include "sim/simulator.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace ob::sim {

Simulator::Simulator(SimOptions options) : options_(std::move(options)) {}

Simulator::~Simulator() {
    Stop();
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

bool Simulator::Start(std::string* error) {
    if (!options_.ReleasePath.empty()) {
        release_ = ReadReleaseFile(options_.ReleasePath, error);
        if (!release_)
            return false;
    }
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        if (error)
            *error = std::string("eventfd: ") + std::strerror(errno);
        return false;
    }
    controller_ =
        std::make_unique<Controller>(options_, release_ ? &*release_ : nullptr, Clock::now());
    if (!controller_->OpenLine(error)) {
        controller_.reset();
        return false;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void Simulator::Stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        stoppedAt_ = Clock::now();
    }
    Wake();
    thread_.join();
    // Closing the line removes the link and hangs up the host's port.
    controller_->CloseLine();
}

void Simulator::Run() {
    // The default timer slack (50 us) is a tenth of a byte time; keep the wake-ups sharp.
    prctl(PR_SET_TIMERSLACK, 1000UL);
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        Phase before = controller_->CurrentPhase();
        Clock::time_point deadline = controller_->Step(Clock::now());
        if (controller_->CurrentPhase() != before)
            phaseChanged_.notify_all();
        int lineFd = controller_->LineFd();
        lock.unlock();
        WaitForWork(deadline, lineFd);
        lock.lock();
    }
}

// Sleeps until the deadline, a byte from the host or a wake-up from another thread.
void Simulator::WaitForWork(Clock::time_point deadline, int lineFd) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {lineFd, POLLIN, 0}};
    timespec timeout{};
    timespec* limit = nullptr;
    if (deadline != Clock::time_point::max()) {
        auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
        auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = nanoseconds / 1'000'000'000;
        timeout.tv_nsec = nanoseconds % 1'000'000'000;
        limit = &timeout;
    }
    ppoll(fds, lineFd >= 0 ? 2 : 1, limit, nullptr);
    uint64_t count;
    if (fds[0].revents & POLLIN)
        (void)!read(wakeFd_, &count, sizeof count);
}

void Simulator::Wake() {
    uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
}

std::string Simulator::LinkPath() const {
    std::lock_guard lock(mutex_);
    return controller_ ? controller_->HostPath() : options_.LinkPath;
}

std::string Simulator::DevicePath() const {
    std::lock_guard lock(mutex_);
    return controller_ ? controller_->DevicePath() : std::string();
}

void Simulator::PowerOn() {
    std::lock_guard lock(mutex_);
    if (!controller_)
        return;
    controller_->PowerOn(Clock::now());
    phaseChanged_.notify_all();
    Wake();
}

void Simulator::PowerOff() {
    std::lock_guard lock(mutex_);
    if (!controller_)
        return;
    controller_->PowerOff(Clock::now());
    phaseChanged_.notify_all();
    Wake();
}

void Simulator::PowerCycle() {
    std::lock_guard lock(mutex_);
    if (!controller_)
        return;
    controller_->PowerCycle(Clock::now());
    phaseChanged_.notify_all();
    Wake();
}

Phase Simulator::CurrentPhase() const {
    std::lock_guard lock(mutex_);
    return controller_->CurrentPhase();
}

bool Simulator::WaitForPhase(Phase phase, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return phaseChanged_.wait_for(lock, timeout,
                                  [&] { return controller_->CurrentPhase() == phase; });
}

SessionSummary Simulator::Summary() const {
    std::lock_guard lock(mutex_);
    return controller_->Summary(stopping_ ? stoppedAt_ : Clock::now());
}

std::vector<uint8_t> Simulator::Flash() const {
    std::lock_guard lock(mutex_);
    auto bytes = controller_->Boot().Flash().Bytes();
    return {bytes.begin(), bytes.end()};
}

} // namespace ob::sim
