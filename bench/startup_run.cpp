#include "bench/bench_window.h"
#include "bench/cpu_clock.h"
#include "bench/figure_runs.h"

#include <QJsonDocument>
#include <QProcess>

namespace ob::bench {

namespace {

constexpr int ChildLimitMs = 30'000;

long long MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

} // namespace

// The child is this program: it loads the same libraries and builds the same window as the
// wizard, so the time covers loading, linking and the window up to the end of FormShow.
QJsonObject RunStartup(const std::string& program) {
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = MonotonicNs();
    child.start(QString::fromStdString(program), {"startup-child", QString::number(started)});
    if (!child.waitForFinished(ChildLimitMs) || child.exitCode() != 0)
        return {{"error", "the start-up child did not end well"}};
    return QJsonDocument::fromJson(child.readAllStandardOutput()).object();
}

QJsonObject StartupChild(long long startedNs) {
    BenchWindow window;
    window.show();
    const auto formShown = window.moments.formShown->time_since_epoch();
    const auto started = std::chrono::nanoseconds(startedNs);
    return {{"startup_ms", Milliseconds(formShown - started)},
            {"load_in_formshow_ms", Milliseconds(window.moments.loadTime)}};
}

} // namespace ob::bench
