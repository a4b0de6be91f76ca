#pragma once
// The simulated controller on its own thread: what a test or the obsim program runs.

#include "sim/controller.h"
#include "sim/release_file.h"
#include "sim/session_summary.h"
#include "sim/sim_options.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace ob::sim {

class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Reads the release, makes the line and starts; the reason in *error when it cannot.
    bool Start(std::string* error);
    void Stop();

    // The path the host opens (the symlink), and the pty behind it now.
    std::string LinkPath() const;
    std::string DevicePath() const;

    void PowerOn();
    void PowerOff();
    void PowerCycle();

    Phase CurrentPhase() const;
    // False when the phase has not come within the timeout.
    bool WaitForPhase(Phase phase, std::chrono::milliseconds timeout) const;

    SessionSummary Summary() const;
    std::vector<uint8_t> Flash() const;

private:
    void Run();
    void Wake();
    void WaitForWork(Clock::time_point deadline, int lineFd);

    SimOptions options_;
    std::optional<ReleaseImage> release_;
    std::unique_ptr<Controller> controller_;
    mutable std::mutex mutex_;
    mutable std::condition_variable phaseChanged_;
    std::thread thread_;
    int wakeFd_ = -1;
    bool stopping_ = false;
    Clock::time_point stoppedAt_{};
};

} // namespace ob::sim
