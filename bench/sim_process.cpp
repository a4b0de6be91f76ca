#include "bench/sim_process.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ob::bench {

namespace {

using namespace std::chrono_literals;

constexpr auto StartLimit = 5s;
constexpr auto QuitLimit = 5s;
constexpr auto Pause = 10ms;

[[noreturn]] void RunChild(const std::vector<std::string>& argv, int input,
                           const std::string& outputPath) {
    dup2(input, STDIN_FILENO);
    int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output >= 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
    }
    std::vector<char*> words;
    for (const std::string& word : argv)
        words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    execv(words[0], words.data());
    _exit(127);
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

SimProcess::SimProcess(std::string program, std::string directory)
    : program(std::move(program)), link(directory + "/controller"),
      jsonPath(directory + "/sim.json"), outputPath(directory + "/sim.out") {}

SimProcess::~SimProcess() {
    if (child > 0)
        Quit();
}

bool SimProcess::Start(const std::vector<std::string>& options) {
    std::vector<std::string> argv{program, "--link", link, "--json", jsonPath};
    argv.insert(argv.end(), options.begin(), options.end());
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    child = fork();
    if (child == 0)
        RunChild(argv, pipeEnds[0], outputPath);
    close(pipeEnds[0]);
    input = pipeEnds[1];
    if (child < 0)
        return false;
    for (auto waited = 0ms; waited < StartLimit; waited += Pause) {
        if (Exists(link))
            return true;
        std::this_thread::sleep_for(Pause);
    }
    return false;
}

void SimProcess::PowerCycle() {
    Tell("p");
}

void SimProcess::Tell(const std::string& line) {
    const std::string text = line + "\n";
    if (input >= 0)
        (void)!write(input, text.data(), text.size());
}

std::string SimProcess::Quit() {
    Tell("q");
    Reap();
    return ReadAll(jsonPath);
}

void SimProcess::Reap() {
    if (input >= 0)
        close(input);
    input = -1;
    for (auto waited = 0ms; child > 0 && waited < QuitLimit; waited += Pause) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            child = -1;
        else
            std::this_thread::sleep_for(Pause);
    }
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        child = -1;
    }
}

} // namespace ob::bench
