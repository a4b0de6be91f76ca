#include "bench/update_run.h"

#include "bench/bench_window.h"
#include "bench/cpu_clock.h"
#include "bench/lateness_probe.h"
#include "bench/sim_process.h"
#include "comm32/port_table.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

namespace ob::bench {

namespace {

using namespace std::chrono_literals;

// Search, power-off time, announcement and update together take well under this.
constexpr auto RunLimitBeyondWait = 90s;
constexpr auto UserReadsIntroduction = 1s;
constexpr auto ProbeBeforeIdle = 3s;

class ScratchDirectory {
public:
    ScratchDirectory() {
        char pattern[] = "/tmp/obflash-bench-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

QJsonObject Failure(const QString& why) {
    return {{"error", why}};
}

void QuitSoon() {
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

struct Samples {
    CpuSample waitFrom, waitTo, updateFrom, updateTo;
    bool timedOut = false;
};

// Wires the moments of the window to the probe, the CPU samples and the power cycle.
void Script(BenchWindow& window, LatenessProbe& probe, SimProcess& sim, Samples& samples,
            std::chrono::seconds wait) {
    // The probe's own wake-ups would count as the wizard's: it rests while the idle cost is
    // measured, and watches the start of the wait and the power cycle.
    window.onWaitBegun = [&, wait] {
        probe.Enter("wait");
        QTimer::singleShot(ProbeBeforeIdle, &window, [&, wait] {
            probe.Stop();
            samples.waitFrom = SampleCpu();
            QTimer::singleShot(wait, &window, [&] {
                samples.waitTo = SampleCpu();
                probe.Enter("wait");
                sim.PowerCycle();
            });
        });
    };
    window.onFirstCommand = [&] {
        probe.Enter("update");
        samples.updateFrom = SampleCpu();
    };
    window.onFinished = [&] {
        samples.updateTo = SampleCpu();
        probe.Stop();
        QuitSoon();
    };
    // A run that does not end is ended as the user would end it.
    QTimer::singleShot(wait + RunLimitBeyondWait, &window, [&] {
        samples.timedOut = true;
        window.btExit3Click();
        QuitSoon();
    });
}

QJsonObject Figures(const Moments& moments, const Samples& samples, const LatenessProbe& probe,
                    const QJsonObject& sim) {
    const QJsonObject session = sim["session"].toObject();
    const double update = Milliseconds(*moments.runAppReply - *moments.firstCommand);
    const double perfect = session["perfect_host_ms"].toDouble();
    const int commands = session["commands"].toInt();
    return {
        {"update_ms", update},
        {"perfect_host_ms", perfect},
        {"sim_session_ms", session["session_ms"].toDouble()},
        {"commands", commands},
        {"ratio", update / perfect},
        {"overhead_per_command_ms", (update - perfect) / commands},
        {"cpu_wait", ShareOfCore(samples.waitFrom, samples.waitTo)},
        {"cpu_wait_s", Milliseconds(samples.waitTo.wall - samples.waitFrom.wall) / 1000},
        {"cpu_update", ShareOfCore(samples.updateFrom, samples.updateTo)},
        {"late_search_ms", probe.LongestMs("search")},
        {"late_wait_ms", probe.LongestMs("wait")},
        {"late_update_ms", probe.LongestMs("update")},
        {"peak_rss_kib", double(PeakResidentKiB())},
    };
}

QString Verdict(const Moments& moments, const Samples& samples, const QJsonObject& sim) {
    if (samples.timedOut)
        return "the run did not end in time";
    if (sim["outcome"].toString() != "updated")
        return "the simulator was left " + sim["outcome"].toString();
    if (!sim["flash_matches_release"].toBool())
        return "the simulator's flash does not hold the release";
    if (!moments.firstCommand || !moments.runAppReply)
        return "the window never reached the run-application reply";
    return {};
}

} // namespace

QJsonObject RunUpdate(const UpdateRunSetup& setup) {
    ScratchDirectory scratch;
    SimProcess sim(setup.simulator, scratch.path);
    if (scratch.path.empty() || !sim.Start({"--boot", setup.boot, "--release", setup.release}))
        return Failure("the simulator did not start");
    setenv("OBFLASH_PORTS", ("COM1=" + sim.Link()).c_str(), 1);
    ReloadPortTable();

    BenchWindow window;
    LatenessProbe probe;
    Samples samples;
    Script(window, probe, sim, samples, std::chrono::seconds(setup.waitSeconds));
    window.show();
    // The user presses Next once the first page is up, as a person reading it would.
    QTimer::singleShot(UserReadsIntroduction, &window, [&] {
        probe.Enter("search");
        window.btNext1Click();
    });
    QCoreApplication::exec();

    const QJsonObject simSummary =
        QJsonDocument::fromJson(QByteArray::fromStdString(sim.Quit())).object();
    if (QString why = Verdict(window.moments, samples, simSummary); !why.isEmpty())
        return Failure(why);
    QJsonObject figures = Figures(window.moments, samples, probe, simSummary);
    figures["boot"] = QString::fromStdString(setup.boot);
    return figures;
}

} // namespace ob::bench
