#include "bench/lateness_probe.h"

#include <algorithm>

namespace ob::bench {

namespace {

using namespace std::chrono_literals;

constexpr auto Period = 5ms;

} // namespace

LatenessProbe::LatenessProbe() {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, this, [this] { Fired(); });
}

void LatenessProbe::Enter(const std::string& stretch) {
    current = stretch;
    if (!timer.isActive())
        Arm();
}

void LatenessProbe::Stop() {
    timer.stop();
}

double LatenessProbe::LongestMs(const std::string& stretch) const {
    auto found = longest.find(stretch);
    return found == longest.end() ? -1 : found->second;
}

// Re-armed from each firing, so the lateness is that of this one event, not an accumulation.
void LatenessProbe::Fired() {
    const double late = std::max(0.0, Milliseconds(Clock::now() - due));
    double& worst = longest.try_emplace(current, 0.0).first->second;
    worst = std::max(worst, late);
    Arm();
}

void LatenessProbe::Arm() {
    due = Clock::now() + Period;
    timer.start(Period);
}

} // namespace ob::bench
