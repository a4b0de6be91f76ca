#pragma once
// The simulated controller as a process of its own, so that its CPU time is not the wizard's:
// started on a link of ours, told through its standard input, summarised in its JSON file.

#include <string>
#include <sys/types.h>
#include <vector>

namespace ob::bench {

class SimProcess {
public:
    // `directory` receives the link, the JSON summary and the simulator's output.
    SimProcess(std::string program, std::string directory);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts it with `options` besides the link and the JSON file; false when its link did not
    // appear within a few seconds.
    bool Start(const std::vector<std::string>& options);
    const std::string& Link() const { return link; }
    void PowerCycle();
    // Asks it to quit and waits for it (killed when it does not end in time); its summary.
    std::string Quit();

private:
    void Tell(const std::string& line);
    void Reap();

    std::string program;
    std::string link;
    std::string jsonPath;
    std::string outputPath;
    pid_t child = -1;
    int input = -1;
};

} // namespace ob::bench
