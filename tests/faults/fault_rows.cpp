#include "tests/faults/fault_rows.h"

namespace ob::testing {

namespace {

constexpr int ImageWrites = 99;

// Whatever a noisy line can make of an update, short of a user who interrupts it.
const std::set<Ending> AnyLineEnding{
    Ending::Success,     Ending::BootLoaderSilent, Ending::WrongHardware, Ending::AlreadyUpdated,
    Ending::EraseFailed, Ending::WriteFailed,      Ending::NotContacted,
};

sim::SimOptions Seeded(uint32_t seed) {
    sim::SimOptions options;
    options.FaultSeed = seed;
    return options;
}

template <int PerMille> sim::SimOptions Corrupted(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.CorruptRate = PerMille / 1000.0;
    return options;
}

template <int PerMille> sim::SimOptions Dropped(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.DropRate = PerMille / 1000.0;
    return options;
}

// Somewhere in the middle of programming, another write for each seed.
int MiddleWrite(uint32_t seed) {
    return int(ImageWrites / 3 + seed * 7 % (ImageWrites / 3));
}

sim::SimOptions LineGoneForTwoSeconds(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.LineLossAtWrite = MiddleWrite(seed);
    options.LineLossMs = 2000;
    return options;
}

sim::SimOptions Unplugged(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.LineLossAtWrite = MiddleWrite(seed);
    options.LineLossMs = sim::ForGood;
    return options;
}

// The image touches two blocks: the first or the second erase fails.
sim::SimOptions EraseFails(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.FailEraseAt = int(1 + seed % 2);
    return options;
}

sim::SimOptions WriteFails(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.FailWriteAt = int(1 + seed * 37 % ImageWrites);
    return options;
}

sim::SimOptions NeverAnswers(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.SilentAfter = 0;
    return options;
}

sim::SimOptions SilentAfterContact(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.SilentAfter = 1;
    return options;
}

sim::SimOptions NoisyApplication(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.Garbage = sim::GarbageMode::WithApplication;
    return options;
}

sim::SimOptions OnlyNoise(uint32_t seed) {
    sim::SimOptions options = Seeded(seed);
    options.Garbage = sim::GarbageMode::Only;
    return options;
}

} // namespace

const std::vector<FaultRow>& FaultRows() {
    static const std::vector<FaultRow> rows{
        {"no fault", Approach::CommandLine, {Ending::Success}, Seeded},
        {"corrupt 0.1%", Approach::CommandLine, AnyLineEnding, Corrupted<1>},
        {"corrupt 1%", Approach::CommandLine, AnyLineEnding, Corrupted<10>},
        {"corrupt 5%", Approach::CommandLine, AnyLineEnding, Corrupted<50>},
        {"drop 0.1%", Approach::CommandLine, AnyLineEnding, Dropped<1>},
        {"drop 1%", Approach::CommandLine, AnyLineEnding, Dropped<10>},
        {"drop 5%", Approach::CommandLine, AnyLineEnding, Dropped<50>},
        {"line gone 2 s while programming",
         Approach::CommandLine,
         {Ending::Success},
         LineGoneForTwoSeconds},
        {"erase fails", Approach::CommandLine, {Ending::EraseFailed}, EraseFails},
        {"write fails", Approach::CommandLine, {Ending::WriteFailed}, WriteFails},
        {"boot loader never answers", Approach::CommandLine, {Ending::NotContacted}, NeverAnswers},
        {"boot loader silent after contact",
         Approach::CommandLine,
         {Ending::BootLoaderSilent},
         SilentAfterContact},
        {"garbage during the search", Approach::Search, {Ending::Success}, NoisyApplication},
        {"garbage during the power-cycle wait",
         Approach::CommandLine,
         {Ending::NotContacted},
         OnlyNoise},
        {"unplugged while programming", Approach::CommandLine, {Ending::WriteFailed}, Unplugged},
    };
    return rows;
}

} // namespace ob::testing
