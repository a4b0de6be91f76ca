#include "sim/wire_pacer.h"

#include <algorithm>

namespace ob::sim {

std::chrono::nanoseconds ByteTime(int baud) {
    return std::chrono::nanoseconds(10'000'000'000LL / baud);
}

Clock::time_point WirePacer::Send(const Bytes& bytes, Clock::time_point from) {
    Clock::time_point due = from;
    for (uint8_t byte : bytes) {
        if (paced_) {
            due = std::max(due, sendLineFree_) + byteTime_;
            sendLineFree_ = due;
        }
        outgoing_.push_back({byte, due});
    }
    return due;
}

Bytes WirePacer::TakeDue(Clock::time_point now) {
    Bytes due;
    while (!outgoing_.empty() && outgoing_.front().At <= now) {
        due.push_back(outgoing_.front().Byte);
        outgoing_.pop_front();
    }
    return due;
}

std::optional<Clock::time_point> WirePacer::NextDue() const {
    if (outgoing_.empty())
        return std::nullopt;
    return outgoing_.front().At;
}

void WirePacer::Received(const uint8_t* bytes, size_t count, Clock::time_point readAt) {
    for (size_t i = 0; i < count; ++i) {
        Clock::time_point arrival = readAt;
        if (paced_) {
            arrival = std::max(readAt, receiveLineFree_) + byteTime_;
            receiveLineFree_ = arrival;
        }
        incoming_.push_back({bytes[i], arrival});
    }
}

std::optional<TimedByte> WirePacer::TakeArrived(Clock::time_point now) {
    if (incoming_.empty() || incoming_.front().At > now)
        return std::nullopt;
    TimedByte arrived = incoming_.front();
    incoming_.pop_front();
    return arrived;
}

std::optional<Clock::time_point> WirePacer::NextArrival() const {
    if (incoming_.empty())
        return std::nullopt;
    return incoming_.front().At;
}

void WirePacer::Clear() {
    outgoing_.clear();
    incoming_.clear();
}

} // namespace ob::sim
