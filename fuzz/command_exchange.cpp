// One command through the exchange, answered over the pty by an adversarial peer that the
// input scripts: raw bytes, answers with right or wrong echoes and seeds, short answers,
// pauses, an abort by the user, and, when asked, bytes without end once the script is over.
//
// Input: flags (bits 0-1 attempts - 1, bit 2 high-bit flag, bit 3 OldBoot, bit 4 endless),
// wait limit (mod 41), SeqNo before the command, command code, request data length (mod 253)
// and the data; then the peer's steps, each an operation byte (mod 5) and its operands:
//   0 raw:    length - 1 (mod 64), bytes
//   1 answer: echo XOR mask, status, form (bit 0 wrong seed, bit 1 cut after bits 2-7 bytes),
//             data length (mod 33), data
//   2 pause:  tens of milliseconds
//   3 wait until the program sends its next request
//   4 abort:  KeepRunning cleared, as the Abort operation button does

#include "protocol/command_exchange.h"
#include "core/run_state.h"
#include "fuzz/fuzz_line.h"
#include "fuzz/invariant.h"
#include "fuzz/script_reader.h"
#include "protocol/frame_codec.h"
#include "protocol/frame_format.h"
#include "sim/sim_frame.h"
#include "tests/support/recording_view.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace ob;
using namespace std::chrono_literals;
using fuzzing::FuzzLine;
using fuzzing::ScriptReader;

constexpr int BytesPerMillisecond = 2; // 19200 baud, about 1.9 bytes a millisecond

struct Command {
    int attempts = 1;
    int waitLimit = 0;
    bool highBit = false;
    bool endless = false;
    uint8_t code = 0;
    std::string data;
};

Command ReadCommand(ScriptReader& script) {
    uint8_t flags = script.Byte();
    Command command;
    command.attempts = 1 + (flags & 3);
    command.highBit = flags & 4;
    Run.OldBoot = flags & 8;
    command.endless = flags & 16;
    command.waitLimit = script.Byte() % 41;
    Exchange.SeqNo = script.Byte();
    command.code = script.Byte();
    command.data = script.Bytes(script.Byte() % 253);
    return command;
}

uint8_t BootSeed() {
    return Run.OldBoot ? SeedOldBoot : SeedNewBoot;
}

std::string AsText(const sim::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class AdversarialPeer {
public:
    AdversarialPeer(ScriptReader& script, const testing::RecordingView& view, bool endless)
        : script(script), view(view), endless(endless), requestDecoder(BootSeed()) {}

    // Runs inside every pass of the window's events. The peer acts once per step of the
    // clock: the decoder passes events for every byte, and the line needs time anyway.
    void Act() {
        FUZZ_CHECK(Codec.Reply.size() <= MaxFrameBytes);
        if (actedAt == now())
            return;
        actedAt = now();
        Listen();
        flush();
        while (!script.Done() && due())
            step();
        if (script.Done() && endless)
            stream();
    }

    // Decodes what the program sent since the last look.
    void Listen() { hear(FuzzLine::Get().Heard()); }

    // At the end: the frames still on their way, and, when the program should have sent
    // `expectedFrames` frames, those not yet heard of.
    void ListenToTheEnd(int expectedFrames) {
        hear(FuzzLine::Get().HeardUntil([&](const std::string& heard) {
            int ends = endBytes + int(std::count(heard.begin(), heard.end(), char(FrameEnd)));
            int starts = startBytes + int(std::count(heard.begin(), heard.end(), char(FrameStart)));
            return ends == starts && starts >= expectedFrames;
        }));
    }

    std::vector<std::string> requests; // every valid request heard, checksum removed
    int startBytes = 0;                // every frame the program began
    int endBytes = 0;
    std::optional<std::chrono::milliseconds> abortedAt;

private:
    std::chrono::milliseconds now() const { return view.monotonic(); }

    void hear(const std::string& bytes) {
        for (char c : bytes) {
            startBytes += uint8_t(c) == FrameStart;
            endBytes += uint8_t(c) == FrameEnd;
            if (auto payload = requestDecoder.Feed(uint8_t(c)))
                requests.push_back(AsText(*payload));
        }
    }

    bool due() const {
        return now() >= readyAt && (!awaitedBeyond || requests.size() > *awaitedBeyond);
    }

    void step() {
        switch (script.Byte() % 5) {
        case 0:
            pattern = script.Bytes(1 + script.Byte() % 64);
            send(pattern);
            break;
        case 1:
            answer();
            break;
        case 2:
            readyAt = now() + script.Byte() * 10ms;
            break;
        case 3:
            awaitedBeyond = requests.size();
            break;
        case 4:
            Run.KeepRunning = false;
            abortedAt = now();
            break;
        }
    }

    void answer() {
        uint8_t lastEcho = requests.empty() ? 0 : uint8_t(requests.back()[0]);
        uint8_t echo = lastEcho ^ script.Byte();
        uint8_t status = script.Byte();
        uint8_t form = script.Byte();
        std::string data = script.Bytes(script.Byte() % 33);
        sim::Bytes payload{echo, status};
        payload.insert(payload.end(), data.begin(), data.end());
        uint8_t seed = (form & 1) ? uint8_t(BootSeed() ^ SeedOldBoot ^ SeedNewBoot) : BootSeed();
        std::string wire = AsText(sim::EncodeFrame(payload, seed));
        if (form & 2)
            wire.resize(std::min(wire.size(), std::size_t(form >> 2)));
        send(wire);
    }

    // Line rate, never faster: the wait of each polling pass lets the next bytes arrive.
    void stream() {
        if (pattern.empty())
            pattern = std::string(1, '\0');
        auto elapsed = now() - streamedUntil;
        streamedUntil = now();
        for (auto n = elapsed.count() * BytesPerMillisecond; n > 0; --n)
            unsent.push_back(pattern[patternAt++ % pattern.size()]);
        flush();
    }

    void send(const std::string& bytes) {
        unsent += bytes;
        flush();
    }

    // The port takes what its queue has room for; the rest follows on later passes.
    void flush() { unsent.erase(0, FuzzLine::Get().Send(unsent)); }

    ScriptReader& script;
    const testing::RecordingView& view;
    bool endless;
    sim::FrameDecoder requestDecoder;
    std::optional<std::chrono::milliseconds> actedAt;
    std::chrono::milliseconds readyAt{0};
    std::optional<std::size_t> awaitedBeyond; // steps wait until more requests than this came
    std::string pattern; // the last raw bytes, which the endless stream repeats
    std::size_t patternAt = 0;
    std::chrono::milliseconds streamedUntil{0};
    std::string unsent;
};

uint8_t ExpectedSeqNo(uint8_t before, bool highBit) {
    return uint8_t(((before + 1) & 0x7F) | (highBit ? 0x80 : 0));
}

// Every attempt sent the same, well-formed request, and no more attempts than allowed.
void CheckRequests(const AdversarialPeer& peer, const Command& command, bool timedOut) {
    uint8_t seq = uint8_t(Exchange.SeqNo);
    std::string expected = std::string{char(seq), char(command.code)} + command.data;
    FUZZ_CHECK(peer.startBytes == int(peer.requests.size()));
    for (const std::string& request : peer.requests)
        FUZZ_CHECK(request == expected);
    FUZZ_CHECK(peer.startBytes <= command.attempts);
    if (timedOut)
        FUZZ_CHECK(peer.startBytes == command.attempts);
}

// After the abort the exchange ends with the polling pass under way: no further attempt
// starts, so no further wait of 10 ms.
void CheckAbort(const AdversarialPeer& peer, const testing::RecordingView& view) {
    if (peer.abortedAt)
        FUZZ_CHECK(view.fakeNow - *peer.abortedAt <= 10ms);
}

// A matching reply was a valid frame that echoed the sequence number: its echo, the status
// and what is left in Reply fold to 1.
void CheckMatch(uint8_t status) {
    FUZZ_CHECK(Codec.Reply.size() + 2 <= MaxFrameBytes);
    uint8_t echo = Exchange.SeqNo & 0x7F;
    auto folds = [&](uint8_t e) {
        return FoldBytes(BootSeed(), std::string{char(e), char(status)} + Codec.Reply) == 1;
    };
    FUZZ_CHECK(folds(echo) || folds(echo | 0x80));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    testing::RecordingView view;
    FuzzLine::Get().Reset();
    Run = {};
    Codec = {};
    Exchange = {};
    Run.KeepRunning = true;
    ScriptReader script(data, size);
    Command command = ReadCommand(script);
    uint8_t seqBefore = uint8_t(Exchange.SeqNo);
    AdversarialPeer peer(script, view, command.endless);
    view.onEvents = [&peer] { peer.Act(); };

    uint8_t status = SendCommand(command.code, command.data, command.highBit, command.attempts,
                                 command.waitLimit);

    view.onEvents = nullptr;
    // Every attempt waited out its limit: the whole time, with nothing matched. A target's
    // status 255 reads as NoReply too, but it ends the wait early.
    auto fullTime = command.attempts * (command.waitLimit + 1) * 10ms;
    bool timedOut = status == NoReply && !peer.abortedAt && view.fakeNow == fullTime;
    bool matched = status != NoReply || (!peer.abortedAt && !timedOut);
    peer.ListenToTheEnd(timedOut ? command.attempts : 0);
    FUZZ_CHECK(Exchange.SeqNo == ExpectedSeqNo(seqBefore, command.highBit));
    FUZZ_CHECK(view.fakeNow <= fullTime);
    CheckRequests(peer, command, timedOut);
    CheckAbort(peer, view);
    if (matched)
        CheckMatch(status);
    return 0;
}
