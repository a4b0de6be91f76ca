#include "tests/faults/cell_worker.h"
#include "tests/faults/child_process.h"

#include "tests/faults/fault_cell.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

using Clock = std::chrono::steady_clock;

constexpr const char* CellVariable = "OBFLASH_FAULT_CELL";
constexpr const char* ResultVariable = "OBFLASH_FAULT_RESULT";
constexpr const char* LogVariable = "OBFLASH_FAULT_LOG";

struct Worker {
    CellRun run;
    std::string resultPath;
    pid_t pid = -1;
    Clock::time_point started;
};

std::string CellName(const Cell& cell) {
    return "row" + std::to_string(cell.row) + "-seed" + std::to_string(cell.seed);
}

std::vector<std::string> WorkerEnvironment(const Cell& cell, const Worker& worker) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    variables.push_back(std::string(CellVariable) + "=" + std::to_string(cell.row) + ":" +
                        std::to_string(cell.seed));
    variables.push_back(std::string(ResultVariable) + "=" + worker.resultPath);
    variables.push_back(std::string(LogVariable) + "=" + worker.run.logPath);
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    return variables;
}

// The worker's own output goes to a file beside its log, for a look when it fails.
pid_t Spawn(const Cell& cell, const Worker& worker, const std::string& outputPath) {
    std::vector<std::string> arguments{std::filesystem::read_symlink("/proc/self/exe").string(),
                                       "--gtest_filter=FaultCell.*"};
    std::vector<std::string> variables = WorkerEnvironment(cell, worker);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, arguments[0].c_str(), &actions, nullptr, Pointers(arguments).data(),
                    Pointers(variables).data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

Worker Start(const Cell& cell, const std::string& directory) {
    Worker worker;
    const std::string base = directory + "/" + CellName(cell);
    worker.run.cell = cell;
    worker.run.logPath = base + ".log";
    worker.resultPath = base + ".result";
    std::filesystem::remove(worker.resultPath);
    worker.started = Clock::now();
    worker.pid = Spawn(cell, worker, base + ".out");
    return worker;
}

CellResult Broken(const std::string& why) {
    CellResult result;
    result.violations.push_back(why);
    return result;
}

CellResult Collect(const Worker& worker, int status) {
    std::optional<CellResult> result = ReadCellResult(worker.resultPath);
    if (WIFSIGNALED(status))
        return Broken("the run crashed with signal " + std::to_string(WTERMSIG(status)));
    if (!result)
        return Broken("the run left no result");
    if (WEXITSTATUS(status) != 0 && result->violations.empty())
        result->violations.push_back("the run's own checks failed");
    return *result;
}

// True once the worker has ended (or was killed for running too long).
bool Ended(Worker& worker, std::chrono::seconds bound) {
    if (worker.pid < 0) {
        worker.run.result = Broken("the run could not be started");
        return true;
    }
    int status = 0;
    if (waitpid(worker.pid, &status, WNOHANG) == worker.pid) {
        worker.run.result = Collect(worker, status);
        return true;
    }
    if (Clock::now() - worker.started < bound)
        return false;
    kill(worker.pid, SIGKILL);
    waitpid(worker.pid, &status, 0);
    worker.run.result = Broken("hang: killed after " + std::to_string(bound.count()) + " s");
    worker.run.result.seconds = double(bound.count());
    return true;
}

} // namespace

std::vector<CellRun> RunCells(const std::vector<Cell>& cells, int workers,
                              std::chrono::seconds bound, const std::string& directory) {
    std::filesystem::create_directories(directory);
    std::vector<CellRun> runs;
    std::vector<Worker> running;
    std::size_t next = 0;
    while (next < cells.size() || !running.empty()) {
        while (next < cells.size() && int(running.size()) < workers)
            running.push_back(Start(cells[next++], directory));
        std::erase_if(running, [&](Worker& worker) {
            if (!Ended(worker, bound))
                return false;
            runs.push_back(worker.run);
            return true;
        });
        std::this_thread::sleep_for(50ms);
    }
    return runs;
}

bool RegisterCellFromEnvironment() {
    const char* cell = std::getenv(CellVariable);
    if (!cell)
        return false;
    const std::string text = cell;
    const std::size_t colon = text.find(':');
    const int row = std::stoi(text.substr(0, colon));
    const uint32_t seed = uint32_t(std::stoul(text.substr(colon + 1)));
    const char* result = std::getenv(ResultVariable);
    const char* log = std::getenv(LogVariable);
    const std::string resultPath = result ? result : "/dev/null";
    const std::string logPath = log ? log : "/dev/null";
    ::testing::RegisterTest("FaultCell", CellName({row, seed}).c_str(), nullptr, nullptr, __FILE__,
                            __LINE__, [=]() -> ::testing::Test* {
                                return new FaultCell(FaultRows().at(std::size_t(row)), seed,
                                                     resultPath, logPath);
                            });
    return true;
}

} // namespace ob::testing
