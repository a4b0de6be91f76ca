#include "sim/sim_frame.h"

#include "protocol/frame_format.h"

namespace ob::sim {

uint8_t FoldChecksum(uint8_t seed, const Bytes& bytes) {
    uint8_t sum = seed;
    for (uint8_t byte : bytes)
        sum = static_cast<uint8_t>((sum ^ byte) + 1);
    return sum;
}

static void AppendEscaped(Bytes& wire, uint8_t byte) {
    if (byte == FrameStart || byte == FrameEscape || byte == FrameEnd) {
        wire.push_back(FrameEscape);
        wire.push_back(byte & 0x7F);
    } else {
        wire.push_back(byte);
    }
}

Bytes EncodeFrame(const Bytes& payload, uint8_t seed) {
    Bytes wire{FrameStart};
    for (uint8_t byte : payload)
        AppendEscaped(wire, byte);
    AppendEscaped(wire, FoldChecksum(seed, payload));
    wire.push_back(FrameEnd);
    return wire;
}

void FrameDecoder::Reset() {
    inFrame_ = false;
    escaped_ = false;
    wireBytes_ = 0;
    decoded_.clear();
}

std::optional<Bytes> FrameDecoder::Feed(uint8_t byte) {
    if (byte == FrameStart) {
        Reset();
        inFrame_ = true;
        wireBytes_ = 1;
        return std::nullopt;
    }
    if (!inFrame_)
        return std::nullopt;
    ++wireBytes_;
    if (byte == FrameEscape) {
        escaped_ = true;
        return std::nullopt;
    }
    if (byte == FrameEnd) {
        inFrame_ = false;
        bool valid = decoded_.size() >= 2 && FoldChecksum(seed_, decoded_) == 1;
        if (!valid)
            return std::nullopt;
        decoded_.pop_back();
        return decoded_;
    }
    decoded_.push_back(escaped_ ? (byte | 0x80) : byte);
    escaped_ = false;
    if (decoded_.size() > MaxDecoded)
        Reset();
    return std::nullopt;
}

} // namespace ob::sim
