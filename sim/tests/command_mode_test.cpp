// The boot loader's commands over the line, flash semantics included.

#include "sim/boot_loader.h"
#include "sim/tests/host_line.h"

#include <gtest/gtest.h>

namespace ob::sim::testing {
namespace {

constexpr uint8_t NewSeed = 0xAA;

struct Step {
    const char* What;
    Bytes Request;
    Bytes Reply;
};

Bytes WithZero(std::string text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(SimCommandMode, AnswersEachCommandOfTheTableWithSequenceEchoAndStatus) {
    const Step steps[] = {
        {"boot loader version 1.5", {0x0D, 1}, {0x0D, 0, 0x05, 0x01}},
        {"identifier", {0x0E, 2}, Concat({0x0E, 0}, WithZero("CTRLORBEL"))},
        {"application version 1.30", {0x0F, 3}, {0x0F, 0, 0x1E, 0x01}},
        {"unknown command", {0x10, 5}, {0x10, StatusUnknownCommand}},
        {"erase of a block that does not exist", {0x91, 6, 14}, {0x91, StatusBadRequest}},
        {"write over the old application",
         WriteRequest(0x92, 0xF8000, {0xFF, 0xFF}),
         {0x92, StatusNeedsErase}},
        {"erase block 4", {0x93, 6, 4}, {0x93, 0}},
        {"write into the erased block", WriteRequest(0x94, 0xF8000, {0xA5, 0x5A}), {0x94, 0}},
        {"the same write again clears no further bit",
         WriteRequest(0x95, 0xF8000, {0xA5, 0x5A}),
         {0x95, 0}},
        {"a write that clears bits only", WriteRequest(0x96, 0xF8000, {0x21, 0x00}), {0x96, 0}},
        {"a write that would set a bit",
         WriteRequest(0x97, 0xF8000, {0x23, 0x00}),
         {0x97, StatusNeedsErase}},
        {"block 0 reads erased from the start",
         WriteRequest(0x98, 0xFFFFE, {0x12, 0x34}),
         {0x98, 0}},
        {"a write past the end of flash",
         WriteRequest(0x99, 0xFFFFF, {0x00, 0x00}),
         {0x99, StatusOutOfRange}},
        {"a write without data", {0x9A, 7, 0x00, 0x80, 0x0F, 0x00}, {0x9A, StatusBadRequest}},
        {"block 13 spans 0 to 0xFFFF", {0x9B, 6, 13}, {0x9B, 0}},
    };
    auto simulator = StartSimulator(BootLoaderOptions(), "commands");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::New));
    for (const Step& step : steps)
        EXPECT_EQ(Exchange(host, NewSeed, step.Request), step.Reply) << step.What;

    std::vector<uint8_t> flash = simulator->Flash();
    EXPECT_EQ(flash[0xF8000], 0x21);
    EXPECT_EQ(flash[0xF8001], 0x00);
    EXPECT_EQ(flash[0xFFFFE], 0x12);
    EXPECT_EQ(flash[0xF7FFF], 0xFF) << "block 5 was never touched and reads erased";
    EXPECT_NE(flash[0xC0000], 0xFF) << "block 8 still holds the old application";
    EXPECT_EQ(flash[0x0000], 0xFF);
    EXPECT_EQ(flash[0xFFFF], 0xFF);
}

TEST(SimCommandMode, WithoutAnApplicationTheIdentifierAndVersionFail) {
    SimOptions options;
    options.HasApplication = false;
    options.Boot = BootAge::Old;
    auto simulator = StartSimulator(options, "no-app");
    ASSERT_TRUE(simulator);
    HostLine host(simulator->LinkPath());
    ASSERT_TRUE(MakeContact(host, *simulator, BootAge::Old));
    EXPECT_EQ(Exchange(host, 0x55, {0x0D, 1}), Bytes({0x0D, 0, 0x01, 0x01}));
    EXPECT_EQ(Exchange(host, 0x55, {0x0E, 2}), Bytes({0x0E, StatusNoApplication}));
    EXPECT_EQ(Exchange(host, 0x55, {0x0F, 3}), Bytes({0x0F, StatusNoApplication}));
    EXPECT_EQ(Exchange(host, 0x55, {0x10, 4}), Bytes({0x10, StatusNoApplication}))
        << "nothing to run";
    EXPECT_EQ(simulator->CurrentPhase(), Phase::BootLoader);
}

} // namespace
} // namespace ob::sim::testing
