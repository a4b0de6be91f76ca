#include "bench/cpu_clock.h"
#include "bench/figure_runs.h"

#include "app/main_window.h"

#include <QCoreApplication>

#include <string>

namespace ob::bench {

namespace {

constexpr int Lines = 100'000;

} // namespace

// As during a run: the window is up, the log's memo on a page not shown yet.
QJsonObject RunLog() {
    TfmMain window;
    window.show();
    QCoreApplication::processEvents();
    const auto start = Clock::now();
    for (int n = 1; n <= Lines; ++n)
        window.log("$Line " + std::to_string(n) + " of the operations log.");
    const double append = Milliseconds(Clock::now() - start);
    if (window.logText().size() < std::size_t(Lines) * 30)
        return {{"error", "the log did not take every line"}};
    return {{"log_100k_ms", append}};
}

} // namespace ob::bench
