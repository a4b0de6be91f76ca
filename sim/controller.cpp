#include "sim/controller.h"

#include "sim/announcement.h"

#include "protocol/frame_format.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace ob::sim {

using namespace std::chrono_literals;

namespace {

constexpr uint8_t ApplicationSeed = SeedOldBoot;
constexpr auto BootStartUp = 50ms;       // from power-up to the first burst
constexpr auto QuietBeforeStart = 100ms; // no burst this close to the application's start

} // namespace

Controller::Controller(const SimOptions& options, const ReleaseImage* release,
                       Clock::time_point now)
    : options_(options), byteTime_(ByteTime(options.Baud)), link_(options.LinkPath),
      pacer_(options.Paced, byteTime_), boot_(options, release),
      faultsIn_(options.DropRate, options.CorruptRate, options.FaultSeed),
      faultsOut_(options.DropRate, options.CorruptRate, options.FaultSeed * 2654435761u + 1),
      noise_(options.FaultSeed), meter_(byteTime_), bootFrames_(BootSeed(options.Boot)),
      contactByte_(static_cast<uint8_t>(
          options.ContactByte >= 0 ? options.ContactByte : DefaultContactByte(options.Boot))),
      startedAt_(now) {
    switch (options.Start) {
    case StartState::Application:
        if (boot_.Resident().Present)
            StartApplication(now);
        else
            PowerOn(now);
        break;
    case StartState::BootLoader:
        PowerOn(now);
        break;
    case StartState::Off:
        break;
    }
}

void Controller::PowerOn(Clock::time_point now) {
    powerOnAt_ = Never;
    if (phase_ != Phase::Off)
        return;
    phase_ = Phase::Announcing;
    boot_.Restart();
    bootFrames_.Reset();
    appFrames_.Reset();
    burstIndex_ = 0;
    bool announces = !options_.NoAnnouncement && options_.Garbage != GarbageMode::Only;
    nextBurstAt_ = announces ? now + BootStartUp : Never;
    // Without an application the boot loader waits for contact for ever.
    announceEndsAt_ =
        boot_.Resident().Present ? now + std::chrono::milliseconds(options_.AnnounceMs) : Never;
    nextGarbageAt_ = options_.Garbage == GarbageMode::Only ? now : Never;
}

void Controller::PowerOff(Clock::time_point) {
    phase_ = Phase::Off;
    pendingReply_.reset();
    pacer_.Clear();
    powerOnAt_ = nextBurstAt_ = announceEndsAt_ = nextGarbageAt_ = Never;
    autoCycleArmed_ = false;
}

void Controller::PowerCycle(Clock::time_point now) {
    PowerOff(now);
    powerOnAt_ = now + std::chrono::milliseconds(options_.CycleOffMs);
}

Clock::time_point Controller::Step(Clock::time_point now) {
    if (now >= powerOnAt_)
        PowerOn(now);
    if (now >= lineBackAt_)
        LineComesBack(now);
    if (link_.IsOpen())
        ReadHost(now);
    TakeArrivals(now);
    Announce(now);
    SprayGarbage(now);
    if (phase_ == Phase::Announcing && now >= announceEndsAt_)
        StartApplication(now);
    auto quiet = std::chrono::milliseconds(options_.AutoCycleQuietMs);
    if (autoCycleArmed_ && phase_ == Phase::Application && now - lastHostByteAt_ >= quiet)
        PowerCycle(now);
    WriteDue(now);
    return NextDeadline();
}

void Controller::ReadHost(Clock::time_point now) {
    uint8_t buffer[4096];
    for (;;) {
        ssize_t count = read(link_.Master(), buffer, sizeof buffer);
        if (count <= 0)
            return;
        bytesFromHost_ += count;
        lastHostByteAt_ = now;
        pacer_.Received(buffer, count, now);
    }
}

// The target does one thing at a time: bytes wait while it works on a command.
void Controller::TakeArrivals(Clock::time_point now) {
    for (;;) {
        if (pendingReply_) {
            if (pendingReply_->ReadyAt > now)
                return;
            SendReply();
            continue;
        }
        auto arrived = pacer_.TakeArrived(now);
        if (!arrived)
            return;
        ActOnByte(*arrived);
    }
}

void Controller::ActOnByte(const TimedByte& arrived) {
    if (options_.Garbage == GarbageMode::Only)
        return;
    switch (phase_) {
    case Phase::Off:
        return;
    case Phase::Announcing:
        if (arrived.Byte == contactByte_ && options_.SilentAfter != 0 && !options_.NoAnnouncement)
            EnterBootLoader();
        return;
    case Phase::BootLoader:
        if (auto byte = faultsIn_.Pass(arrived.Byte)) {
            if (*byte == FrameStart)
                frameStartedAt_ = pacer_.SendStart(arrived.At);
            if (auto request = bootFrames_.Feed(*byte))
                ActOnRequest(*request, arrived.At);
        }
        return;
    case Phase::Application:
        if (auto request = appFrames_.Feed(arrived.Byte))
            AnswerProbe(*request, arrived.At);
        return;
    }
}

void Controller::EnterBootLoader() {
    phase_ = Phase::BootLoader;
    bootFrames_.Reset();
    nextBurstAt_ = announceEndsAt_ = Never;
    meter_.Contact();
    outcome_ = Outcome::LeftInBootLoader;
    lastRequest_.clear();
}

void Controller::ActOnRequest(const Bytes& request, Clock::time_point arrival) {
    if (request.size() < 2)
        return;
    bool repeat = request == lastRequest_;
    lastRequest_ = request;
    CommandRecord record{request[1], request[0], std::nullopt, repeat};
    if (request[1] == WriteCommand && ++writesArrived_ == options_.LineLossAtWrite) {
        commands_.push_back(record);
        LineGoesAway(arrival);
        return;
    }
    meter_.Request(frameStartedAt_, bootFrames_.WireBytesInFrame(), repeat);
    CommandResult result = boot_.Execute(request);
    if (result.Reply)
        record.Status = (*result.Reply)[1];
    commands_.push_back(record);
    if (!result.Reply)
        return;
    auto work = options_.Paced ? result.TargetTime : 0ns;
    pendingReply_ = PendingReply{EncodeFrame(*result.Reply, BootSeed(options_.Boot)),
                                 arrival + work,
                                 result.TargetTime,
                                 repeat,
                                 result.StartsApplication,
                                 result.FreshImage};
}

void Controller::SendReply() {
    PendingReply reply = std::move(*pendingReply_);
    pendingReply_.reset();
    Bytes onWire;
    for (uint8_t byte : reply.Wire)
        if (auto passed = faultsOut_.Pass(byte))
            onWire.push_back(*passed);
    Clock::time_point lastDue = pacer_.Send(onWire, reply.ReadyAt);
    meter_.Reply(lastDue, reply.Wire.size(), reply.TargetTime, reply.Repeat,
                 reply.StartsApplication);
    if (reply.StartsApplication) {
        outcome_ = reply.FreshImage ? Outcome::Updated : Outcome::RanOldApplication;
        StartApplication(reply.ReadyAt);
    }
}

// The application knows one request, the identify probe, and answers it with its version.
void Controller::AnswerProbe(const Bytes& request, Clock::time_point arrival) {
    if (request.size() < 2)
        return;
    Bytes reply{request[0], StatusUnknownCommand};
    if (request[1] == BootVersionCommand) {
        uint16_t version = boot_.Resident().Version;
        reply = {request[0], StatusOk, static_cast<uint8_t>(version & 0xFF),
                 static_cast<uint8_t>(version >> 8)};
        autoCycleArmed_ = options_.AutoCycle;
    }
    pacer_.Send(EncodeFrame(reply, ApplicationSeed), arrival);
}

void Controller::StartApplication(Clock::time_point now) {
    phase_ = Phase::Application;
    appFrames_.Reset();
    nextBurstAt_ = announceEndsAt_ = Never;
    nextGarbageAt_ = options_.Garbage != GarbageMode::None ? now : Never;
}

void Controller::Announce(Clock::time_point now) {
    if (phase_ != Phase::Announcing || now < nextBurstAt_)
        return;
    if (now + QuietBeforeStart >= announceEndsAt_) {
        nextBurstAt_ = Never;
        return;
    }
    // From now rather than from the planned time: a late start must not shorten the gap.
    Bytes burst = AnnouncementBurst(options_.Boot, contactByte_, burstIndex_);
    Clock::time_point lastDue = pacer_.Send(burst, now);
    nextBurstAt_ = lastDue + GapAfterBurst(burstIndex_++);
}

// Noise goes out at line speed whether paced or not: unpaced, it would flood the host.
void Controller::SprayGarbage(Clock::time_point now) {
    if (now < nextGarbageAt_)
        return;
    bool only = options_.Garbage == GarbageMode::Only;
    if (phase_ == Phase::Off || (!only && phase_ != Phase::Application)) {
        nextGarbageAt_ = Never;
        return;
    }
    size_t length = only ? 16 : 1 + noise_() % 48;
    Bytes noise(length);
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>(noise_());
    pacer_.Send(noise, now);
    auto gap = only ? 0ms : std::chrono::milliseconds(noise_() % 41);
    nextGarbageAt_ = now + length * byteTime_ + gap;
}

void Controller::WriteDue(Clock::time_point now) {
    Bytes due = pacer_.TakeDue(now);
    if (due.empty() || !link_.IsOpen())
        return;
    // A full pty buffer means no one reads: those bytes are lost, as on a real line.
    ssize_t written = write(link_.Master(), due.data(), due.size());
    if (written > 0)
        bytesToHost_ += written;
}

void Controller::LineGoesAway(Clock::time_point at) {
    link_.Close();
    pacer_.Clear();
    bootFrames_.Reset();
    appFrames_.Reset();
    pendingReply_.reset();
    lastRequest_.clear(); // the lost request never counted, so its retry is no repeat
    lineBackAt_ = options_.LineLossMs == ForGood
                      ? Never
                      : at + std::chrono::milliseconds(options_.LineLossMs);
}

void Controller::LineComesBack(Clock::time_point now) {
    std::string error;
    if (link_.Open(&error)) {
        lineBackAt_ = Never;
        return;
    }
    std::fprintf(stderr, "obsim: the line cannot come back yet: %s\n", error.c_str());
    lineBackAt_ = now + 100ms;
}

Clock::time_point Controller::NextDeadline() const {
    Clock::time_point next = std::min({powerOnAt_, lineBackAt_, nextGarbageAt_});
    if (phase_ == Phase::Announcing)
        next = std::min({next, nextBurstAt_, announceEndsAt_});
    if (pendingReply_)
        next = std::min(next, pendingReply_->ReadyAt);
    else if (auto arrival = pacer_.NextArrival())
        next = std::min(next, *arrival);
    if (auto due = pacer_.NextDue())
        next = std::min(next, *due);
    if (autoCycleArmed_ && phase_ == Phase::Application)
        next =
            std::min(next, lastHostByteAt_ + std::chrono::milliseconds(options_.AutoCycleQuietMs));
    return next;
}

SessionSummary Controller::Summary(Clock::time_point now) const {
    SessionSummary summary;
    summary.Commands = commands_;
    summary.Result = outcome_;
    summary.FlashMatchesRelease = boot_.FlashMatchesRelease();
    summary.BytesFromHost = bytesFromHost_;
    summary.BytesToHost = bytesToHost_;
    summary.Session = meter_.Times();
    summary.TotalTime = now - startedAt_;
    summary.Paced = options_.Paced;
    summary.Baud = options_.Baud;
    return summary;
}

} // namespace ob::sim
