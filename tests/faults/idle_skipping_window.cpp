#include "tests/faults/idle_skipping_window.h"

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

// Quiet for this long, the reply is lost: far beyond what the simulator takes to answer.
constexpr auto QuietBeforeSkipping = 100ms;
constexpr int QuietSpeed = 10;

} // namespace

std::chrono::milliseconds IdleSkippingWindow::monotonic() const {
    return RealTime() + skipped;
}

void IdleSkippingWindow::waitForInput(std::chrono::milliseconds limit) {
    const auto before = RealTime();
    TfmMain::waitForInput(limit);
    const auto after = RealTime();
    if (after - before < limit) {
        quietSince = after; // a byte came
        return;
    }
    if (after - quietSince >= QuietBeforeSkipping)
        skipped += (after - before) * (QuietSpeed - 1);
}

} // namespace ob::testing
