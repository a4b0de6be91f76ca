#include "protocol/frame_codec.h"

#include "comm32/comm32.h"
#include "core/run_state.h"
#include "core/wizard_view.h"
#include "protocol/frame_format.h"

namespace ob {

namespace {

constexpr uint8_t AppSeed = SeedOldBoot;

uint8_t BootSeed() {
    return Run.OldBoot ? SeedOldBoot : SeedNewBoot;
}

uint8_t FoldByte(uint8_t c, uint8_t b) {
    return uint8_t((c ^ b) + 1);
}

bool HasLineMeaning(uint8_t b) {
    return b == FrameStart || b == FrameEscape || b == FrameEnd;
}

void WriteByte(uint8_t b) {
    WriteData(std::string(1, char(b)));
}

void WriteEncoded(uint8_t b) {
    if (HasLineMeaning(b)) {
        WriteByte(FrameEscape);
        WriteByte(b & 0x7F);
    } else {
        WriteByte(b);
    }
}

void WriteFrame(uint8_t seed, std::string_view payload) {
    WriteByte(FrameStart);
    uint8_t c = seed;
    for (char ch : payload) {
        uint8_t b = uint8_t(ch);
        c = FoldByte(c, b);
        WriteEncoded(b);
    }
    WriteEncoded(c);
    WriteByte(FrameEnd);
}

bool IsValidFrame(uint8_t seed) {
    return Codec.Reply.size() >= 2 && FoldBytes(seed, Codec.Reply) == 1;
}

void AppendDecoded(uint8_t b) {
    if (Codec.Escaped) {
        b |= 0x80;
        Codec.Escaped = false;
    }
    Codec.Reply.push_back(char(b));
    if (Codec.Reply.size() > MaxFrameBytes) {
        // A line that streams without end bytes must not grow the buffer for ever.
        Codec.Reply.clear();
        Codec.InFrame = false;
        Codec.Escaped = false;
    }
}

enum class Outcome { Pending, Valid, Rejected };

// One received byte through the decoder; the seed is asked for only when a frame closes.
template <typename SeedOf> Outcome Decode(uint8_t b, SeedOf seed) {
    switch (b) {
    case FrameStart:
        Codec.Reply.clear();
        Codec.Escaped = false;
        Codec.InFrame = true;
        return Outcome::Pending;
    case FrameEscape:
        Codec.Escaped = true;
        return Outcome::Pending;
    case FrameEnd:
        if (!Codec.InFrame)
            return Outcome::Pending;
        Codec.InFrame = false;
        return IsValidFrame(seed()) ? Outcome::Valid : Outcome::Rejected;
    default:
        if (Codec.InFrame)
            AppendDecoded(b);
        return Outcome::Pending;
    }
}

void ShowReceiving() {
    Window().setLamp(Lamp::RX, true);
    Window().setLamp(Lamp::TX, false);
    Window().processEvents();
}

} // namespace

uint8_t FoldBytes(uint8_t seed, std::string_view bytes) {
    uint8_t c = seed;
    for (char b : bytes)
        c = FoldByte(c, uint8_t(b));
    return c;
}

void SendFrame(std::string_view payload) {
    uint8_t seed = BootSeed();
    Window().setLamp(Lamp::TX, true);
    Window().setLamp(Lamp::RX, false);
    WriteFrame(seed, payload);
    // Events (the lamps' repaint among them) are handled while the frame is on the wire, not
    // before it leaves: before, they delayed every request.
    Window().processEvents();
}

void SendAppFrame(std::string_view payload) {
    Window().setLamp(Lamp::TX, true);
    WriteFrame(AppSeed, payload);
    Window().processEvents();
}

bool ReceiveFrame() {
    for (uint8_t b; ReadByte(b);) {
        if (Run.TraceRx)
            Trace("RX=" + std::to_string(b) + ".");
        ShowReceiving();
        Outcome outcome = Decode(b, BootSeed);
        if (outcome != Outcome::Pending)
            return outcome == Outcome::Valid;
    }
    return false;
}

bool ReceiveAppFrame() {
    for (uint8_t b; ReadByte(b);) {
        Outcome outcome = Decode(b, [] { return AppSeed; });
        if (outcome != Outcome::Pending)
            return outcome == Outcome::Valid;
    }
    return false;
}

} // namespace ob
