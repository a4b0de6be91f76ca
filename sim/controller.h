#pragma once
// The simulated controller as it behaves on its line: power, the boot loader's announcement
// and command mode, the running application, and the faults it was asked for. It is driven
// by Step, which acts on everything that is due and says when it next needs to run.

#include "sim/boot_loader.h"
#include "sim/line_faults.h"
#include "sim/pty_link.h"
#include "sim/session_summary.h"
#include "sim/sim_frame.h"
#include "sim/wire_pacer.h"

#include <random>

namespace ob::sim {

enum class Phase { Off, Announcing, BootLoader, Application };

class Controller {
public:
    Controller(const SimOptions& options, const ReleaseImage* release, Clock::time_point now);

    bool OpenLine(std::string* error) { return link_.Open(error); }
    void CloseLine() { link_.Close(); }
    // -1 while the line is away.
    int LineFd() const { return link_.IsOpen() ? link_.Master() : -1; }
    const std::string& HostPath() const { return link_.HostPath(); }
    const std::string& DevicePath() const { return link_.DevicePath(); }

    void PowerOn(Clock::time_point now);
    void PowerOff(Clock::time_point now);
    void PowerCycle(Clock::time_point now);

    // Returns the time it next needs to run (Clock::time_point::max(): only when bytes come).
    Clock::time_point Step(Clock::time_point now);

    Phase CurrentPhase() const { return phase_; }
    const BootLoader& Boot() const { return boot_; }
    SessionSummary Summary(Clock::time_point now) const;

private:
    struct PendingReply {
        Bytes Wire;
        Clock::time_point ReadyAt;
        std::chrono::nanoseconds TargetTime;
        bool Repeat;
        bool StartsApplication;
        bool FreshImage;
    };

    void ReadHost(Clock::time_point now);
    void TakeArrivals(Clock::time_point now);
    void ActOnByte(const TimedByte& arrived);
    void ActOnRequest(const Bytes& request, Clock::time_point arrival);
    void AnswerProbe(const Bytes& request, Clock::time_point arrival);
    void SendReply();
    void Announce(Clock::time_point now);
    void SprayGarbage(Clock::time_point now);
    void WriteDue(Clock::time_point now);
    void LineGoesAway(Clock::time_point now);
    void LineComesBack(Clock::time_point now);
    void EnterBootLoader();
    void StartApplication(Clock::time_point now);
    Clock::time_point NextDeadline() const;

    const SimOptions& options_;
    std::chrono::nanoseconds byteTime_;
    PtyLink link_;
    WirePacer pacer_;
    BootLoader boot_;
    LineFaults faultsIn_;
    LineFaults faultsOut_;
    std::mt19937 noise_;
    SessionMeter meter_;
    FrameDecoder bootFrames_;
    FrameDecoder appFrames_{0x55};
    uint8_t contactByte_;

    Phase phase_ = Phase::Off;
    Clock::time_point startedAt_;
    static constexpr Clock::time_point Never = Clock::time_point::max();
    Clock::time_point powerOnAt_ = Never;
    Clock::time_point nextBurstAt_ = Never;
    Clock::time_point announceEndsAt_ = Never;
    Clock::time_point nextGarbageAt_ = Never;
    Clock::time_point lineBackAt_ = Never;
    Clock::time_point frameStartedAt_{};
    Clock::time_point lastHostByteAt_{};
    int burstIndex_ = 0;
    bool autoCycleArmed_ = false;
    int writesArrived_ = 0;
    std::optional<PendingReply> pendingReply_;
    Bytes lastRequest_;

    std::vector<CommandRecord> commands_;
    Outcome outcome_ = Outcome::NeverContacted;
    uint64_t bytesFromHost_ = 0;
    uint64_t bytesToHost_ = 0;
};

} // namespace ob::sim
