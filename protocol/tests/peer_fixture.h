#pragma once
// EnterBoot run against a scripted raw peer on a real pty, on the real clock.

#include "core/run_state.h"
#include "hex_bytes.h"
#include "protocol/boot_entry.h"
#include "protocol/command_exchange.h"
#include "protocol/frame_codec.h"
#include "scripted_peer.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace ob::testing {

constexpr auto PeerWatchdog = std::chrono::seconds(20);

class PeerSession : public ::testing::Test {
protected:
    PeerSession() {
        ob::Run = {};
        Codec = {};
        Exchange = {};
        view.onEvents = [this] {
            hostListening = true;
            if ((peer && peer->Finished()) || view.monotonic() - startedAt > PeerWatchdog)
                ob::Run.KeepRunning = false;
        };
    }

    // EnterBoot against the script; the user interrupts once the peer is through with it.
    std::string Play(std::vector<PeerStep> script) {
        startedAt = view.monotonic();
        peer = std::make_unique<ScriptedPeer>(line, std::move(script), hostListening);
        EnterBoot();
        EXPECT_TRUE(peer->Finished()) << "the watchdog ended the wait";
        return Hex(peer->Heard());
    }

    bool LogHasLine(const std::string& text) const {
        auto lines = view.logLines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }

    RecordingView view{RecordingView::Clock::Real};
    PtyLine line;
    std::atomic<bool> hostListening = false;
    std::unique_ptr<ScriptedPeer> peer;
    std::chrono::milliseconds startedAt{};
};

} // namespace ob::testing
