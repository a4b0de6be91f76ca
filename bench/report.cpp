#include "bench/report.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace ob::bench {

namespace {

struct Results {
    std::vector<QJsonObject> updateNew, updateOld, startup, load, log;
    std::vector<QString> failures;
};

std::vector<double> ValuesOf(const std::vector<QJsonObject>& runs, const char* key,
                             double scale = 1) {
    std::vector<double> values;
    for (const QJsonObject& run : runs)
        if (run.contains(key))
            values.push_back(run[key].toDouble() * scale);
    std::ranges::sort(values);
    return values;
}

double Median(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

// How a figure meets its target: by its median, or by its worst run ("never over").
enum class Judged { ByMedian, ByWorst, NoTarget };

struct Row {
    QString label;
    std::vector<double> values;
    int decimals;
    QString target;
    Judged judged = Judged::NoTarget;
    std::function<bool(double)> meets;
};

QJsonObject RowJson(const Row& row, std::optional<bool> met) {
    QJsonObject json{{"figure", row.label}};
    if (row.values.empty())
        return json;
    json["median"] = Median(row.values);
    json["min"] = row.values.front();
    json["max"] = row.values.back();
    json["runs"] = int(row.values.size());
    if (!row.target.isEmpty())
        json["target"] = row.target;
    if (met)
        json["met"] = *met;
    return json;
}

std::optional<bool> Verdict(const Row& row) {
    if (row.values.empty() || row.judged == Judged::NoTarget)
        return std::nullopt;
    return row.meets(row.judged == Judged::ByMedian ? Median(row.values) : row.values.back());
}

void PrintRow(const Row& row, std::optional<bool> met) {
    if (row.values.empty()) {
        std::printf("%-52s %10s\n", qPrintable(row.label), "n/a");
        return;
    }
    const int d = row.decimals;
    const QString spread = row.values.size() > 1 ? QString("%1 .. %2")
                                                       .arg(row.values.front(), 0, 'f', d)
                                                       .arg(row.values.back(), 0, 'f', d)
                                                 : QString();
    const char* verdict = !met ? "" : *met ? "met" : "MISSED";
    std::printf("%-52s %10.*f  %-20s %-10s %s\n", qPrintable(row.label), d, Median(row.values),
                qPrintable(spread), qPrintable(row.target), verdict);
}

std::vector<QJsonObject> Concat(const std::vector<QJsonObject>& a,
                                const std::vector<QJsonObject>& b) {
    std::vector<QJsonObject> all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

std::vector<Row> UpdateRows(const char* boot, const std::vector<QJsonObject>& runs) {
    const QString name = QString("Update, %1 boot loader: ").arg(boot);
    return {
        {name + "time (ms)", ValuesOf(runs, "update_ms"), 1, "", Judged::NoTarget, {}},
        {"  perfect-host time (ms)",
         ValuesOf(runs, "perfect_host_ms"),
         1,
         "",
         Judged::NoTarget,
         {}},
        {"  ratio", ValuesOf(runs, "ratio"), 4, "<= 1.01", Judged::ByMedian,
         [](double v) { return v <= 1.01; }},
        {"  host overhead per command (ms)", ValuesOf(runs, "overhead_per_command_ms"), 3, "< 1",
         Judged::ByMedian, [](double v) { return v < 1; }},
    };
}

std::vector<Row> Rows(const Results& r) {
    const auto updates = Concat(r.updateNew, r.updateOld);
    auto below = [](double limit) { return [limit](double v) { return v < limit; }; };
    auto notOver = [](double limit) { return [limit](double v) { return v <= limit; }; };
    std::vector<Row> rows = UpdateRows("new", r.updateNew);
    for (Row& row : UpdateRows("old", r.updateOld))
        rows.push_back(row);
    const std::vector<Row> others{
        {"CPU, 20 s waiting for the power cycle (% of a core)", ValuesOf(updates, "cpu_wait", 100),
         2, "< 1 %", Judged::ByMedian, below(1)},
        {"CPU, during the update (% of a core)", ValuesOf(updates, "cpu_update", 100), 2, "< 10 %",
         Judged::ByMedian, below(10)},
        {"Longest event wait, search (ms)", ValuesOf(updates, "late_search_ms"), 1, "<= 20",
         Judged::ByWorst, notOver(20)},
        {"Longest event wait, power-cycle wait (ms)", ValuesOf(updates, "late_wait_ms"), 1, "<= 20",
         Judged::ByWorst, notOver(20)},
        {"Longest event wait, update (ms)", ValuesOf(updates, "late_update_ms"), 1, "<= 20",
         Judged::ByWorst, notOver(20)},
        {"Start-up, process start to end of FormShow (ms)",
         ValuesOf(r.startup, "startup_ms"),
         1,
         "",
         Judged::NoTarget,
         {}},
        {"Load, embedded release (ms)",
         ValuesOf(r.load, "load_embedded_ms"),
         3,
         "",
         Judged::NoTarget,
         {}},
        {"Load, file filling all 2048 chunks (ms)",
         ValuesOf(r.load, "load_full_image_ms"),
         1,
         "",
         Judged::NoTarget,
         {}},
        {"Peak resident memory over an update (MiB)",
         ValuesOf(updates, "peak_rss_kib", 1 / 1024.),
         1,
         "",
         Judged::NoTarget,
         {}},
        {"Log, appending 100,000 lines (ms)",
         ValuesOf(r.log, "log_100k_ms"),
         1,
         "",
         Judged::NoTarget,
         {}},
    };
    rows.insert(rows.end(), others.begin(), others.end());
    return rows;
}

std::vector<QJsonObject>* Bucket(Results& results, const QString& file) {
    if (file.startsWith("update-new"))
        return &results.updateNew;
    if (file.startsWith("update-old"))
        return &results.updateOld;
    if (file.startsWith("startup"))
        return &results.startup;
    if (file.startsWith("load"))
        return &results.load;
    if (file.startsWith("log"))
        return &results.log;
    return nullptr;
}

Results ReadResults(const QDir& directory) {
    Results results;
    for (const QString& file : directory.entryList({"*.json"}, QDir::Files, QDir::Name)) {
        std::vector<QJsonObject>* bucket = Bucket(results, file);
        if (!bucket)
            continue;
        QFile input(directory.filePath(file));
        const QJsonObject run = input.open(QIODevice::ReadOnly)
                                    ? QJsonDocument::fromJson(input.readAll()).object()
                                    : QJsonObject{{"error", "unreadable"}};
        if (run.isEmpty() || run.contains("error"))
            results.failures.push_back(file + ": " + run["error"].toString("no figures"));
        else
            bucket->push_back(run);
    }
    return results;
}

QString CpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.starts_with("model name"))
            return QString::fromStdString(line.substr(line.find(':') + 2));
    return "unknown CPU";
}

QJsonObject Machine(const Results& results) {
    std::vector<QJsonObject> all = Concat(results.updateNew, results.updateOld);
    for (const auto* runs : {&results.startup, &results.load, &results.log})
        all.insert(all.end(), runs->begin(), runs->end());
    const std::vector<double> load = ValuesOf(all, "load_average");
    return {{"cpu", CpuModel()},
            {"cores", int(std::thread::hardware_concurrency())},
            {"load_average_median", load.empty() ? 0 : Median(load)},
            {"load_average_max", load.empty() ? 0 : load.back()}};
}

void PrintHeader(const QJsonObject& machine) {
    std::printf("obflash benchmarks: %s, %d cores; load average during the runs %.2f (max %.2f)\n",
                qPrintable(machine["cpu"].toString()), machine["cores"].toInt(),
                machine["load_average_median"].toDouble(), machine["load_average_max"].toDouble());
    std::printf("simulated controller paced at 19,200 baud; medians over the runs\n\n");
    std::printf("%-52s %10s  %-20s %-10s %s\n", "figure", "median", "spread (min .. max)", "target",
                "");
}

} // namespace

int Report(const std::string& path) {
    const QDir directory(QString::fromStdString(path));
    const Results results = ReadResults(directory);
    const QJsonObject machine = Machine(results);
    PrintHeader(machine);
    QJsonArray figures;
    for (const Row& row : Rows(results)) {
        const std::optional<bool> met = Verdict(row);
        PrintRow(row, met);
        figures.append(RowJson(row, met));
    }
    QJsonArray failures;
    for (const QString& failure : results.failures) {
        std::printf("FAILED RUN %s\n", qPrintable(failure));
        failures.append(failure);
    }
    QFile output(directory.filePath("results.json"));
    if (output.open(QIODevice::WriteOnly))
        output.write(
            QJsonDocument(
                QJsonObject{{"machine", machine}, {"figures", figures}, {"failed_runs", failures}})
                .toJson());
    std::printf("\nwritten to %s\n", qPrintable(directory.filePath("results.json")));
    return results.failures.empty() ? 0 : 1;
}

} // namespace ob::bench
