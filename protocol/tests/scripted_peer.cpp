#include "scripted_peer.h"

#include "hex_bytes.h"

#include <chrono>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

// Far above the four 1 ms polls that end a burst, so a loaded machine still sees the gap.
constexpr auto GapAfterBurst = 25ms;
constexpr auto HostStartLimit = 5s;

} // namespace

PeerStep BurstOf(std::string_view hex) {
    return {PeerStep::Burst, Bytes(hex)};
}

PeerStep Hear(std::size_t count) {
    return {PeerStep::Hear, {}, count};
}

PeerStep AnswerWith(std::string bytes) {
    return {PeerStep::Answer, std::move(bytes)};
}

ScriptedPeer::ScriptedPeer(PtyLine& line, std::vector<PeerStep> script,
                           const std::atomic<bool>& hostListening)
    : line(line), script(std::move(script)),
      player([this, &hostListening] { Play(hostListening); }) {}

ScriptedPeer::~ScriptedPeer() {
    player.join();
}

void ScriptedPeer::Play(const std::atomic<bool>& hostListening) {
    for (auto deadline = std::chrono::steady_clock::now() + HostStartLimit;
         !hostListening && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(1ms);
    for (const PeerStep& step : script) {
        switch (step.kind) {
        case PeerStep::Burst:
            line.Write(step.bytes);
            std::this_thread::sleep_for(GapAfterBurst);
            break;
        case PeerStep::Hear:
            heard += line.Take(step.count);
            break;
        case PeerStep::Answer:
            line.Write(step.bytes);
            break;
        }
    }
    finished = true;
}

} // namespace ob::testing
