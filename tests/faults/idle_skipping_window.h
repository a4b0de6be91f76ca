#pragma once
// The real wizard window whose clock runs ten times faster while the line is quiet, so that the
// long waits for a reply that was lost pass in a tenth of their time. The simulated controller
// answers at once, so a quiet line means nothing is coming.

#include "app/main_window.h"

#include <chrono>

namespace ob::testing {

class IdleSkippingWindow : public TfmMain {
public:
    std::chrono::milliseconds monotonic() const override;
    void waitForInput(std::chrono::milliseconds limit) override;

private:
    std::chrono::milliseconds RealTime() const { return TfmMain::monotonic(); }

    std::chrono::milliseconds quietSince = RealTime();
    std::chrono::milliseconds skipped{0};
};

} // namespace ob::testing
