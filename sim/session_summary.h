#pragma once
// What the simulator saw: the commands, the outcome, the bytes, and how long the update took
// beside the time a perfect host would have needed on this line.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ob::sim {

using Clock = std::chrono::steady_clock;

struct CommandRecord {
    uint8_t Code = 0;
    uint8_t Seq = 0;
    std::optional<uint8_t> Status; // none: no reply went out
    bool Repeat = false;           // the same request as the one before it (a retry)
};

enum class Outcome { NeverContacted, LeftInBootLoader, RanOldApplication, Updated };

std::string OutcomeName(Outcome outcome);

// From the first command after contact to the last byte of the reply to run-application.
struct SessionTimes {
    bool Started = false;
    bool Ended = false; // the run-application reply went out
    int Commands = 0;   // repeats included
    uint64_t BytesFromHost = 0;
    uint64_t BytesToHost = 0;
    std::chrono::nanoseconds Elapsed{0};
    // A perfect host: every byte of each needed request and reply on the wire, back to back,
    // plus the target's work; repeats and stray bytes are not needed.
    std::chrono::nanoseconds WireTime{0};
    std::chrono::nanoseconds TargetTime{0};
    std::chrono::nanoseconds PerfectHost() const { return WireTime + TargetTime; }
};

struct SessionSummary {
    std::vector<CommandRecord> Commands;
    Outcome Result = Outcome::NeverContacted;
    std::optional<bool> FlashMatchesRelease; // none: no release to compare with
    uint64_t BytesFromHost = 0;
    uint64_t BytesToHost = 0;
    SessionTimes Session;
    std::chrono::nanoseconds TotalTime{0};
    bool Paced = true;
    int Baud = 19200;
};

std::string SummaryText(const SessionSummary& summary);
std::string SummaryJson(const SessionSummary& summary);

// Keeps the session's figures as the requests and replies pass.
class SessionMeter {
public:
    explicit SessionMeter(std::chrono::nanoseconds byteTime) : byteTime_(byteTime) {}

    void Contact() { times_ = {}; }
    void Request(Clock::time_point firstByte, size_t wireBytes, bool repeat);
    void Reply(Clock::time_point lastByteDue, size_t wireBytes, std::chrono::nanoseconds targetTime,
               bool repeat, bool runsApplication);

    const SessionTimes& Times() const { return times_; }

private:
    std::chrono::nanoseconds byteTime_;
    SessionTimes times_;
    Clock::time_point start_{};
};

} // namespace ob::sim
