#include "tests/faults/child_process.h"

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace ob::testing {

namespace {

using namespace std::chrono_literals;

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::vector<std::string>& extraEnvironment,
                           const std::string& outputPath) {
    std::vector<std::string> argv = arguments;
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    variables.insert(variables.end(), extraEnvironment.begin(), extraEnvironment.end());
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                    Pointers(variables).data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    input = pipeEnds[1];
}

ChildProcess::~ChildProcess() {
    if (input >= 0)
        close(input);
    if (pid > 0 && !status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void ChildProcess::Tell(const std::string& line) {
    const std::string text = line + "\n";
    (void)!write(input, text.data(), text.size());
}

void ChildProcess::Signal(int signal) {
    if (pid > 0 && !status)
        kill(pid, signal);
}

std::optional<int> ChildProcess::WaitForEnd(std::chrono::milliseconds limit) {
    WaitFor(
        [this] {
            int code = 0;
            if (pid > 0 && !status && waitpid(pid, &code, WNOHANG) == pid)
                status = code;
            return status.has_value();
        },
        limit);
    return status;
}

std::vector<int> Children() {
    std::vector<int> children;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return children;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::ifstream list(std::string("/proc/self/task/") + task->d_name + "/children");
        for (int child; list >> child;)
            children.push_back(child);
    }
    closedir(tasks);
    return children;
}

void AdoptOrphans() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace ob::testing
