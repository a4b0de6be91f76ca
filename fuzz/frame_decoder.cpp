// The frame decoder fed arbitrary byte streams over the pty, both receive variants taking
// turns; then an encode-decode round trip of a payload taken from the same input.
//
// Input: one byte choosing the variant of each call (bit n for call n, cycling), one byte
// with the OldBoot and TraceRx flags, then the stream.

#include "comm32/comm32.h"
#include "core/run_state.h"
#include "fuzz/fuzz_line.h"
#include "fuzz/invariant.h"
#include "protocol/frame_codec.h"
#include "protocol/frame_format.h"
#include "tests/support/recording_view.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace ob;
using fuzzing::FuzzLine;

constexpr std::size_t FeedPiece = 256;
constexpr std::size_t MaxPayload = 255;

uint8_t BootSeed() {
    return Run.OldBoot ? SeedOldBoot : SeedNewBoot;
}

// One call of the chosen variant, with what must hold after it.
bool DecodeOnce(bool bootVariant) {
    uint8_t seed = bootVariant ? BootSeed() : SeedOldBoot;
    bool valid = bootVariant ? ReceiveFrame() : ReceiveAppFrame();
    FUZZ_CHECK(Codec.Reply.size() <= MaxFrameBytes);
    if (valid) {
        FUZZ_CHECK(Codec.Reply.size() >= 2);
        FUZZ_CHECK(FoldBytes(seed, Codec.Reply) == 1);
    }
    return valid;
}

// Calls the decoder until the port is empty; every call but the last takes at least a byte.
void DecodeAll(uint8_t variants, unsigned& call) {
    std::size_t bound = std::size_t(FuzzLine::Get().WaitingAtPort()) + 1;
    for (std::size_t n = 0; n < bound; ++n, ++call) {
        DecodeOnce((variants >> (call % 8)) & 1);
        if (InQueue() == 0)
            return;
    }
    FUZZ_CHECK(!"the decoder stopped taking bytes");
}

void DecodeStream(std::string_view stream, uint8_t variants) {
    unsigned call = 0;
    for (std::size_t at = 0; at < stream.size(); at += FeedPiece) {
        std::string_view piece = stream.substr(at, FeedPiece);
        FUZZ_CHECK(FuzzLine::Get().Send(piece) == piece.size());
        DecodeAll(variants, call);
    }
}

// What goes out comes back as the same payload, the checksum byte behind it, whatever state
// the stream left the decoder in.
void RoundTrip(std::string_view payload) {
    SendFrame(payload);
    std::string wire = FuzzLine::Get().HeardUntil([](const std::string& heard) {
        return !heard.empty() && uint8_t(heard.back()) == FrameEnd;
    });
    FUZZ_CHECK(!wire.empty() && uint8_t(wire.back()) == FrameEnd);
    FUZZ_CHECK(FuzzLine::Get().Send(wire) == wire.size());
    FUZZ_CHECK(FuzzLine::Get().WaitingAtPort() == int(wire.size()));
    bool valid = false;
    for (std::size_t n = 0; n <= wire.size() && !valid && InQueue() > 0; ++n)
        valid = DecodeOnce(true);
    FUZZ_CHECK(valid);
    FUZZ_CHECK(Codec.Reply.size() == payload.size() + 1);
    FUZZ_CHECK(std::string_view(Codec.Reply).substr(0, payload.size()) == payload);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    testing::RecordingView view;
    FuzzLine::Get().Reset();
    Codec = {};
    Run = {};
    uint8_t variants = data[0];
    Run.OldBoot = data[1] & 1;
    Run.TraceRx = data[1] & 2;
    std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    DecodeStream(stream, variants);
    if (!stream.empty())
        RoundTrip(stream.substr(0, MaxPayload));
    return 0;
}
