#include "sim/line_faults.h"

namespace ob::sim {

uint32_t LineFaults::NextRandom() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

std::optional<uint8_t> LineFaults::Pass(uint8_t byte) {
    if (!Active())
        return byte;
    double roll = NextUnit();
    if (roll < dropRate_)
        return std::nullopt;
    if (roll < dropRate_ + corruptRate_)
        return static_cast<uint8_t>(byte ^ (1u << (NextRandom() % 8)));
    return byte;
}

} // namespace ob::sim
