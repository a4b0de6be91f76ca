// The burst reader against a peer that plays bytes with scripted gaps over the pty, the way a
// boot loader announces itself, and, when asked, goes on streaming without a gap.
//
// Input: flags (bit 0 endless), then pairs of a gap in milliseconds (mod 32) and a byte.
// The bursts are read one after another, as the boot loader entry does, until the script is
// over and the line has been quiet for a while; then KeepRunning is cleared.

#include "core/run_state.h"
#include "fuzz/fuzz_line.h"
#include "fuzz/invariant.h"
#include "fuzz/script_reader.h"
#include "protocol/boot_entry.h"
#include "tests/support/recording_view.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace ob;
using namespace std::chrono_literals;
using fuzzing::FuzzLine;
using fuzzing::ScriptReader;

constexpr auto QuietEnd = 50ms;    // after the script, the wait that ends the run
constexpr auto EndlessRun = 300ms; // how long an endless stream goes on before the abort
// Only the last two bytes of a burst are ever used; nothing more may pile up.
constexpr std::size_t BurstKept = 2;

struct Note {
    std::chrono::milliseconds at;
    char byte;
};

std::vector<Note> ReadNotes(ScriptReader& script) {
    std::vector<Note> notes;
    std::chrono::milliseconds at{0};
    while (!script.Done()) {
        at += std::chrono::milliseconds(script.Byte() % 32);
        notes.push_back({at, char(script.Byte())});
    }
    return notes;
}

class AnnouncingPeer {
public:
    AnnouncingPeer(std::vector<Note> script, const testing::RecordingView& view, bool endless)
        : notes(std::move(script)), view(view), endless(endless), streamedUntil(lastNoteAt()) {}

    // Runs inside every pass of the window's events.
    void Act() {
        for (; next < notes.size() && notes[next].at <= now(); ++next)
            unsent += notes[next].byte;
        if (next == notes.size() && endless)
            stream();
        std::size_t taken = FuzzLine::Get().Send(unsent);
        played += unsent.substr(0, taken);
        unsent.erase(0, taken); // the rest follows once the port's queue has room
        if (now() >= lastNoteAt() + (endless ? EndlessRun : QuietEnd))
            Run.KeepRunning = false;
    }

    // The bytes the program has taken off the line so far.
    std::string Taken() const {
        return played.substr(0, played.size() - std::size_t(FuzzLine::Get().WaitingAtPort()));
    }

private:
    std::chrono::milliseconds now() const { return view.monotonic(); }

    std::chrono::milliseconds lastNoteAt() const {
        return notes.empty() ? std::chrono::milliseconds(0) : notes.back().at;
    }

    // A byte every millisecond: never a gap long enough to end the burst.
    void stream() {
        for (; streamedUntil < now(); streamedUntil += 1ms)
            unsent += char(streamedUntil.count());
    }

    std::vector<Note> notes;
    const testing::RecordingView& view;
    bool endless;
    std::chrono::milliseconds streamedUntil;
    std::size_t next = 0;
    std::string unsent;
    std::string played;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    testing::RecordingView view;
    FuzzLine::Get().Reset();
    Run = {};
    Run.KeepRunning = true;
    ScriptReader script(data, size);
    bool endless = script.Byte() & 1;
    AnnouncingPeer peer(ReadNotes(script), view, endless);
    std::string burst;
    view.onEvents = [&] {
        FUZZ_CHECK(burst.size() <= BurstKept);
        peer.Act();
    };

    while (Run.KeepRunning) {
        ReadBurst(burst);
        if (!Run.KeepRunning)
            break;
        // A burst ends with the last two bytes taken off the line.
        std::string taken = peer.Taken();
        FUZZ_CHECK(burst.size() == 2);
        FUZZ_CHECK(taken.size() >= 2 && taken.ends_with(burst));
    }
    view.onEvents = nullptr;
    return 0;
}
