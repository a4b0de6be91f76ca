#pragma once
// A program of this build run as a child of the test, with its standard input on a pipe.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ob::testing {

class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnvironment, const std::string& outputPath);
    ~ChildProcess(); // kills what is still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int Pid() const { return pid; }
    void Tell(const std::string& line);
    void Signal(int signal);
    // The wait status once it has ended, nothing when `limit` passed first.
    std::optional<int> WaitForEnd(std::chrono::milliseconds limit);

private:
    int pid = -1;
    int input = -1;
    std::optional<int> status;
};

// The children this process has now, orphans it adopted included (see AdoptOrphans).
std::vector<int> Children();
// Makes this process the one that orphaned descendants are handed to.
void AdoptOrphans();

// Polls `condition` until it holds or `limit` passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// argv or envp for exec: pointers into `texts`, closed by a null.
std::vector<char*> Pointers(std::vector<std::string>& texts);

} // namespace ob::testing
