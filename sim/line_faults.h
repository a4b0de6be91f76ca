#pragma once
// Seeded, repeatable damage to the bytes of the line: some lost, some with a bit flipped.

#include <cstdint>
#include <optional>

namespace ob::sim {

class LineFaults {
public:
    LineFaults(double dropRate, double corruptRate, uint32_t seed)
        : dropRate_(dropRate), corruptRate_(corruptRate), state_(seed ? seed : 1) {}

    bool Active() const { return dropRate_ > 0 || corruptRate_ > 0; }

    // The byte as it reaches the other end, or nothing when it is lost.
    std::optional<uint8_t> Pass(uint8_t byte);

private:
    uint32_t NextRandom(); // xorshift32: the same sequence on every machine
    double NextUnit() { return (NextRandom() >> 8) / double(1 << 24); }

    double dropRate_;
    double corruptRate_;
    uint32_t state_;
};

} // namespace ob::sim
