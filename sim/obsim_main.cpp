// obsim: the simulated controller as a program, standing alone or around a command.

#include "sim/obsim_args.h"
#include "sim/simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace ob::sim;

int SignalPipe[2] = {-1, -1};

void NoteSignal(int number) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(number);
    (void)!write(SignalPipe[1], &byte, 1);
    errno = saved;
}

void CatchSignals() {
    if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("obsim: pipe");
        std::exit(1);
    }
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP, SIGCHLD})
        sigaction(number, &action, nullptr);
}

// The child sees the link as COM1 and gets no terminal input: that belongs to our commands.
pid_t SpawnCommand(const std::vector<std::string>& command, const std::string& link) {
    pid_t child = fork();
    if (child != 0)
        return child;
    setenv("OBFLASH_PORTS", ("COM1=" + link).c_str(), 1);
    int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0)
        dup2(nothing, STDIN_FILENO);
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    std::fprintf(stderr, "obsim: cannot run %s: %s\n", argv[0], std::strerror(errno));
    _exit(127);
}

int ExitStatusOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

enum class Verdict { GoOn, Quit };

Verdict ActOnCommandLine(const std::string& line, Simulator& simulator) {
    if (line == "p") {
        std::cout << "obsim: power cycle" << std::endl;
        simulator.PowerCycle();
    } else if (line == "on") {
        std::cout << "obsim: power on" << std::endl;
        simulator.PowerOn();
    } else if (line == "off") {
        std::cout << "obsim: power off" << std::endl;
        simulator.PowerOff();
    } else if (line == "q") {
        return Verdict::Quit;
    } else if (!line.empty()) {
        std::cout << "obsim: commands are p (power cycle), on, off, q (quit)" << std::endl;
    }
    return Verdict::GoOn;
}

// Reads what is there on standard input; false at its end.
bool ReadInput(std::string& pending, Simulator& simulator, Verdict& verdict) {
    char buffer[256];
    ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    pending.append(buffer, count);
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (ActOnCommandLine(line, simulator) == Verdict::Quit)
            verdict = Verdict::Quit;
    }
    return true;
}

// Waits for the child, for a signal, or for "q"; gives the exit status to end with.
int Serve(Simulator& simulator, pid_t child) {
    bool inputOpen = true;
    std::string pending;
    for (;;) {
        pollfd fds[2] = {{SignalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, inputOpen ? 2 : 1, -1) < 0 && errno != EINTR)
            return 1;
        if (fds[0].revents & POLLIN) {
            unsigned char number = 0;
            while (read(SignalPipe[0], &number, 1) == 1) {
                if (number != SIGCHLD)
                    return 128 + number;
                int status = 0;
                if (child > 0 && waitpid(child, &status, WNOHANG) == child)
                    return ExitStatusOf(status);
            }
        }
        if (inputOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            Verdict verdict = Verdict::GoOn;
            inputOpen = ReadInput(pending, simulator, verdict);
            if (verdict == Verdict::Quit)
                return 0;
        }
    }
}

// A child still running when we end is asked to stop, then made to.
void EndChild(pid_t child) {
    if (child <= 0 || waitpid(child, nullptr, WNOHANG) != 0)
        return;
    kill(child, SIGTERM);
    for (int tries = 0; tries < 50; ++tries) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(100'000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

void Report(const Simulator& simulator, const std::string& jsonPath) {
    SessionSummary summary = simulator.Summary();
    std::cerr << SummaryText(summary);
    if (jsonPath.empty())
        return;
    std::ofstream json(jsonPath);
    json << SummaryJson(summary);
    if (!json)
        std::cerr << "obsim: cannot write " << jsonPath << "\n";
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    auto line = ParseObsimArgs({argv + 1, argv + argc}, &error);
    if (!line) {
        std::cerr << "obsim: " << error << "\n" << ObsimUsage();
        return 2;
    }
    if (line->Help) {
        std::cout << ObsimUsage();
        return 0;
    }
    CatchSignals();
    Simulator simulator(line->Options);
    if (!simulator.Start(&error)) {
        std::cerr << "obsim: " << error << "\n";
        return 1;
    }
    std::cout << "obsim: pty " << simulator.DevicePath() << ", link " << simulator.LinkPath()
              << std::endl;
    pid_t child = line->Command.empty() ? 0 : SpawnCommand(line->Command, simulator.LinkPath());
    if (child < 0) {
        std::perror("obsim: fork");
        return 1;
    }
    int status = Serve(simulator, child);
    EndChild(child);
    simulator.Stop();
    Report(simulator, line->JsonPath);
    return status;
}
