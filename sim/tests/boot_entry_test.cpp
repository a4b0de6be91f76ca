// After power-up: the announcement's bursts, the contact byte, and the application's start
// when no one answers.

#include "sim/tests/host_line.h"

#include <gtest/gtest.h>

namespace ob::sim::testing {
namespace {

struct AgeCase {
    BootAge Age;
    const char* Name;
};

const AgeCase Ages[] = {{BootAge::Old, "old"}, {BootAge::New, "new"}};

// Pattern 1: byte 1 (the last) is 5. Pattern 2: byte 0 (the last but one) is 0x16.
bool FitsOldPattern(const Bytes& burst) {
    return burst.back() == 5;
}
bool FitsNewPattern(const Bytes& burst) {
    return burst[burst.size() - 2] == 0x16;
}

TEST(SimAnnouncement, BurstsFitThePatternOfTheBootLoadersAge) {
    for (const AgeCase& age : Ages) {
        SCOPED_TRACE(age.Name);
        SimOptions options;
        options.Start = StartState::BootLoader;
        options.Boot = age.Age;
        auto simulator = StartSimulator(options, "announce");
        ASSERT_TRUE(simulator);
        HostLine host(simulator->LinkPath());
        std::vector<Bytes> bursts = host.ReadBursts(8);
        ASSERT_EQ(bursts.size(), 8u);
        bool someLonger = false;
        for (const Bytes& burst : bursts) {
            ASSERT_GE(burst.size(), 2u);
            someLonger |= burst.size() > 2;
            if (age.Age == BootAge::Old) {
                EXPECT_TRUE(FitsOldPattern(burst));
                EXPECT_EQ(burst[burst.size() - 2], 44); // the contact byte
            } else {
                EXPECT_TRUE(FitsNewPattern(burst));
                EXPECT_FALSE(FitsOldPattern(burst)); // would be taken for an old one
                EXPECT_EQ(burst.back(), 9);
            }
        }
        EXPECT_TRUE(someLonger);
    }
}

TEST(SimAnnouncement, TheApplicationStartsWhenNoOneMakesContact) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.AnnounceMs = 300;
    auto simulator = StartSimulator(options, "no-contact");
    ASSERT_TRUE(simulator);
    ASSERT_TRUE(simulator->WaitForPhase(Phase::Application, 5000ms));
    HostLine host(simulator->LinkPath());
    host.ReadFor(50ms);
    host.Write(Frame(0x55, {0x00, 0x01}));
    EXPECT_EQ(host.ReadFrame(), Frame(0x55, {0x00, 0x00, 0x1E, 0x01}));
}

TEST(SimAnnouncement, NeverAnnouncesWhenToldSo) {
    SimOptions options;
    options.Start = StartState::BootLoader;
    options.NoAnnouncement = true;
    options.AnnounceMs = 300;
    auto simulator = StartSimulator(options, "mute");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(simulator->WaitForPhase(Phase::Application, 5000ms));
    EXPECT_TRUE(host.ReadFor(20ms).empty());
}

struct ContactCase {
    BootAge Age;
    uint8_t Seed;
    int Copies; // an old boot loader's contact byte is written three times
    Bytes IdentifyReply;
};

// A wrong byte leaves the boot loader announcing: the identify sent after it goes unanswered,
// and the first reply is the one to the identify after the right byte.
TEST(SimContact, TheContactByteOfTheBurstEntersCommandModeWithTheAgesSeed) {
    const ContactCase cases[] = {
        {BootAge::Old, 0x55, 3, Frame(0x55, {0x0D, 0x00, 0x01, 0x01})},
        {BootAge::New, 0xAA, 1, {0xF5, 0x0D, 0x00, 0x05, 0x01, 0xAD, 0xFA}},
    };
    for (const ContactCase& contact : cases) {
        SimOptions options;
        options.Start = StartState::BootLoader;
        options.Boot = contact.Age;
        auto simulator = StartSimulator(options, "contact");
        ASSERT_TRUE(simulator);
        HostLine host(simulator->LinkPath());
        std::vector<Bytes> bursts = host.ReadBursts(2);
        ASSERT_EQ(bursts.size(), 2u);
        const Bytes& last = bursts.back();
        uint8_t contactByte = contact.Age == BootAge::Old ? last[last.size() - 2] : last.back();

        host.Write({static_cast<uint8_t>(contactByte + 1)});
        host.Write(Frame(contact.Seed, {0x0C, 0x01}));
        host.Write(Bytes(contact.Copies, contactByte));
        ASSERT_TRUE(simulator->WaitForPhase(Phase::BootLoader, 2000ms));
        host.Write(Frame(contact.Seed, {0x0D, 0x01}));
        EXPECT_EQ(host.ReadFrame(), contact.IdentifyReply);
    }
}

} // namespace
} // namespace ob::sim::testing
