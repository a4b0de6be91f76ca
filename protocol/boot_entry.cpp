#include "protocol/boot_entry.h"

#include "comm32/comm32.h"
#include "core/run_state.h"
#include "core/wizard_view.h"
#include "protocol/command_exchange.h"
#include "protocol/commands.h"
#include "protocol/update_procedure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace ob {

namespace {

using namespace std::chrono_literals;

constexpr int EmptyPollsEndingBurst = 4;
constexpr auto PollSleep = 1ms;
// Before a burst has begun the gap rule does not apply, so the poll may wait for the byte; the
// window handles its events while it waits, so a long wait costs no responsiveness and saves
// the wake-ups of an idle line.
constexpr auto FirstByteWait = 50ms;

constexpr uint8_t OldBootMark = 5;
constexpr uint8_t NewBootMark = 0x16;
constexpr int OldBootContactWrites = 3;
constexpr auto OldBootContactPause = 11ms;
constexpr auto NewBootContactPause = 20ms;
// The window's events wait no longer than this during a contact pause.
constexpr auto PauseSlice = 5ms;

// "41:07:093": minutes, seconds, milliseconds.
std::string BurstStamp() {
    LocalTime now = Window().localTime();
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%03d", now.minute, now.second, now.millisecond);
    return text;
}

void WaitOnePoll(bool burstBegun) {
    if (burstBegun)
        Window().sleep(PollSleep);
    else
        Window().waitForInput(FirstByteWait);
    Window().processEvents();
}

// The boot loader needs its pause after a contact byte; the window must not freeze for it.
void PauseKeepingWindowAlive(std::chrono::milliseconds pause) {
    const auto until = Window().monotonic() + pause;
    for (auto left = pause; left > 0ms; left = until - Window().monotonic()) {
        Window().sleep(std::min(left, PauseSlice));
        Window().processEvents();
    }
}

void DrainInput() {
    for (uint8_t b; ReadByte(b);) {
    }
}

void WriteContactByte(uint8_t b) {
    WriteData(std::string(1, char(b)));
}

uint8_t SendIdentify(CommandLimits limits) {
    return SendCommand(CmdIdentify, "", false, limits.attempts, limits.waitLimit);
}

uint8_t ContactOldBoot(uint8_t contact) {
    for (int n = 0; n < OldBootContactWrites; ++n) {
        WriteContactByte(contact);
        PauseKeepingWindowAlive(OldBootContactPause);
    }
    Trace("-- boot version <1.2 - contacting w/" + std::to_string(contact) + ".");
    Trace(". ");
    Run.OldBoot = true;
    return SendIdentify(OldBootContactLimits);
}

uint8_t ContactNewBoot(uint8_t contact) {
    Trace("-- boot version >1.1 - contacting.");
    WriteContactByte(contact);
    PauseKeepingWindowAlive(NewBootContactPause);
    Run.OldBoot = false;
    return SendIdentify(NewBootContactLimits);
}

// The identify status after a pattern's contact, nothing when the bursts match no pattern.
// Both bursts hold exactly two bytes; the old pattern is tested first.
std::optional<uint8_t> TryContact(const std::string& a, const std::string& b) {
    if (uint8_t(a[1]) == OldBootMark && uint8_t(b[1]) == OldBootMark)
        return ContactOldBoot(uint8_t(b[0]));
    if (uint8_t(a[0]) == NewBootMark && uint8_t(b[0]) == NewBootMark)
        return ContactNewBoot(uint8_t(b[1]));
    return std::nullopt;
}

} // namespace

void ReadBurst(std::string& burst) {
    burst.clear();
    int emptyPolls = 0;
    while (Run.KeepRunning) {
        WaitOnePoll(!burst.empty());
        if (uint8_t b; ReadByte(b)) {
            Trace(BurstStamp() + " recv: " + std::to_string(b) + " / ");
            Window().setLamp(Lamp::RX, true);
            emptyPolls = 0;
            burst.push_back(char(b));
            // Only the last two bytes count: a line that never pauses must not grow the burst.
            if (burst.size() > 2)
                burst.erase(0, 1);
            continue;
        }
        if (++emptyPolls < EmptyPollsEndingBurst)
            continue;
        if (!burst.empty())
            Trace(BurstStamp() + " endrec.");
        if (burst.size() >= 2) {
            Trace(BurstStamp() + " ok.");
            return;
        }
        burst.clear();
        emptyPolls = 0;
    }
}

void EnterBoot() {
    Run.KeepRunning = true;
    SetupPort(19200, 'N', 8, 1, 'N');
    DrainInput();
    Trace("$Switch on your apparatus - waiting...");
    std::string first, second;
    while (Run.KeepRunning) {
        ReadBurst(first);
        if (!Run.KeepRunning)
            break;
        ReadBurst(second);
        if (!Run.KeepRunning)
            break;
        if (TryContact(first, second) == 0) {
            Run.TraceRx = false;
            btStartClick();
            return;
        }
    }
    Trace("$-- user interrupt.");
    // Abort operation closed the port, but a receive poll since may have reopened it.
    ClosePort();
}

} // namespace ob
