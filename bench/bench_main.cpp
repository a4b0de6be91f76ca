// obflash_bench: one benchmark run of the wizard per call, its figures as JSON in --out.
//   update --boot new|old [--wait S]   one whole update against the simulated controller
//   startup                            process start to the end of FormShow
//   load                               building the flash image
//   log                                appending to the operations log
//   report DIR                         the table of every result in DIR, and DIR/results.json

#include "bench/figure_runs.h"
#include "bench/report.h"
#include "bench/update_run.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace ob::bench;

std::string OptionOf(const std::vector<std::string>& args, const std::string& name,
                     const std::string& fallback = "") {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name)
            return args[i + 1];
    return fallback;
}

// Other work on the machine shows in every figure; the table says how busy it was.
double LoadAverage() {
    double load = 0;
    return getloadavg(&load, 1) == 1 ? load : -1;
}

int Write(QJsonObject figures, const std::string& path) {
    figures["load_average"] = LoadAverage();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "obflash_bench: cannot write %s\n", path.c_str());
        return 1;
    }
    file.write(QJsonDocument(figures).toJson());
    if (figures.contains("error")) {
        std::fprintf(stderr, "obflash_bench: %s\n", qPrintable(figures["error"].toString()));
        return 1;
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: obflash_bench update|startup|load|log --out FILE [options]\n"
                         "       obflash_bench report DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    const std::string& mode = args[0];
    const std::string out = OptionOf(args, "--out");
    if (mode == "report" && args.size() == 2)
        return Report(args[1]);
    QApplication application(argc, argv);
    if (mode == "startup-child" && args.size() == 2) {
        std::printf("%s", QJsonDocument(StartupChild(std::stoll(args[1]))).toJson().constData());
        return 0;
    }
    if (out.empty())
        return Usage();
    if (mode == "update") {
        const UpdateRunSetup setup{OBSIM_PROGRAM, RELEASE_FILE, OptionOf(args, "--boot", "new"),
                                   std::stoi(OptionOf(args, "--wait", "20"))};
        return Write(RunUpdate(setup), out);
    }
    if (mode == "startup")
        return Write(RunStartup(argv[0]), out);
    if (mode == "load")
        return Write(RunLoad(), out);
    if (mode == "log")
        return Write(RunLog(), out);
    return Usage();
}
