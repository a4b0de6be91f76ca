#pragma once
// Everything that shapes the simulated controller: its make-up, its timing and its faults.

#include <cstdint>
#include <string>

namespace ob::sim {

enum class BootAge { Old, New }; // before 1.2 / 1.2 or newer

enum class StartState { Application, Off, BootLoader };

enum class GarbageMode {
    None,
    WithApplication, // the running application sprays noise between its replies
    Only,            // the device streams noise and nothing else
};

constexpr int NoFault = 0;
constexpr int ForGood = -1;

struct SimOptions {
    // The line.
    std::string LinkPath = "/tmp/obsim0"; // empty: no symlink, only the pty's own path
    bool Paced = true;
    int Baud = 19200;

    // The controller.
    StartState Start = StartState::Application;
    BootAge Boot = BootAge::New;
    uint16_t BootVersion = 0;     // 0: by age, 1.1 for an old one, 1.5 for a new one
    uint16_t AppVersion = 0x011E; // 1.30
    uint16_t NewAppVersion = 0;   // 0: the release's version, else 1.37
    std::string Identifier = "CTRLORBEL";
    bool HasApplication = true;
    int ContactByte = -1;    // -1: by age, 44 for an old one, 9 for a new one
    int AnnounceMs = 3000;   // the boot loader waits this long for contact
    int CycleOffMs = 500;    // a power cycle keeps the power off this long
    std::string ReleasePath; // the release expected in flash; empty: not compared

    // Faults.
    bool NoAnnouncement = false; // the boot loader never announces
    int SilentAfter = -1;        // answers this many commands, then none; -1: always answers
    int FailEraseAt = NoFault;   // the n-th erase (from 1) fails
    int FailEraseStatus = 3;
    int FailWriteAt = NoFault; // the n-th write (from 1) fails
    int FailWriteStatus = 3;
    double DropRate = 0;    // share of command-mode bytes lost, each way
    double CorruptRate = 0; // share of command-mode bytes with a flipped bit, each way
    uint32_t FaultSeed = 1;
    int LineLossAtWrite = NoFault; // the line goes away when the n-th write arrives
    int LineLossMs = 2000;         // for this long; ForGood: never back
    GarbageMode Garbage = GarbageMode::None;

    // The user.
    bool AutoCycle = false; // power-cycle once the host has found us and gone quiet
    int AutoCycleQuietMs = 3000;
};

} // namespace ob::sim
