#pragma once
// One whole update against the simulated controller at line speed: search, the wait for the
// power cycle, the update; timed, with the wizard's CPU and the lateness of its events.

#include <QJsonObject>
#include <string>

namespace ob::bench {

struct UpdateRunSetup {
    std::string simulator; // the obsim program
    std::string release;   // the release file the simulator compares its flash with
    std::string boot;      // "new" or "old"
    int waitSeconds = 20;  // how long the wizard waits before the power comes back
};

// Runs inside a QApplication; the figures, or "error" when the run did not end well.
QJsonObject RunUpdate(const UpdateRunSetup& setup);

} // namespace ob::bench
