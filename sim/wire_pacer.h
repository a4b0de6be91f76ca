#pragma once
// Line timing: bytes take their wire time in each direction. Outgoing bytes are handed to the
// pty when their last bit would have arrived, by absolute deadlines; incoming bytes are taken
// no faster than the line could have carried them.

#include "sim/session_summary.h"
#include "sim/sim_frame.h"

#include <deque>
#include <optional>

namespace ob::sim {

std::chrono::nanoseconds ByteTime(int baud); // 8N1: ten bits a byte

struct TimedByte {
    uint8_t Byte;
    Clock::time_point At;
};

class WirePacer {
public:
    WirePacer(bool paced, std::chrono::nanoseconds byteTime) : paced_(paced), byteTime_(byteTime) {}

    // Queues bytes that start going out at the earliest at `from`; gives the last one's due time.
    Clock::time_point Send(const Bytes& bytes, Clock::time_point from);
    Bytes TakeDue(Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const;
    bool SendIdle() const { return outgoing_.empty(); }

    void Received(const uint8_t* bytes, size_t count, Clock::time_point readAt);
    // The next byte whose arrival has come, if any.
    std::optional<TimedByte> TakeArrived(Clock::time_point now);
    std::optional<Clock::time_point> NextArrival() const;

    // When the host began sending a byte that arrived at `arrival`.
    Clock::time_point SendStart(Clock::time_point arrival) const {
        return paced_ ? arrival - byteTime_ : arrival;
    }

    void Clear();

private:
    bool paced_;
    std::chrono::nanoseconds byteTime_;
    std::deque<TimedByte> outgoing_;
    std::deque<TimedByte> incoming_;
    Clock::time_point sendLineFree_{};
    Clock::time_point receiveLineFree_{};
};

} // namespace ob::sim
