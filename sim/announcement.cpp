#include "sim/announcement.h"

#include "protocol/frame_format.h"

namespace ob::sim {

uint8_t DefaultContactByte(BootAge age) {
    return age == BootAge::Old ? 44 : 9;
}

uint16_t DefaultBootVersion(BootAge age) {
    return age == BootAge::Old ? 0x0101 : 0x0105;
}

uint8_t BootSeed(BootAge age) {
    return age == BootAge::Old ? SeedOldBoot : SeedNewBoot;
}

Bytes AnnouncementBurst(BootAge age, uint8_t contact, int index) {
    Bytes burst;
    for (int lead = 0; lead < index % 3; ++lead)
        burst.push_back(static_cast<uint8_t>(0x30 + (index + lead) % 16));
    if (age == BootAge::Old) {
        burst.push_back(contact);
        burst.push_back(OldBootMark);
    } else {
        burst.push_back(NewBootMark);
        burst.push_back(contact);
    }
    return burst;
}

std::chrono::milliseconds GapAfterBurst(int index) {
    return std::chrono::milliseconds(25 + 5 * (index % 3));
}

} // namespace ob::sim
