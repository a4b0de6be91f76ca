#pragma once
// Finds the controller on the listed serial ports, or takes the port the user or the command
// line names, and decides whether it needs the update.

#include <set>
#include <string>
#include <vector>

namespace ob {

struct SearchState {
    std::vector<std::string> PortNames; // "COM3 (/dev/ttyUSB0)", read once at start
    std::vector<std::string> PortDescriptions;
    int PortIndex = 255;
    int TickCount = 30;
    int PassesLeft = 5;
    bool PortOpened = false;              // the open of this step's port succeeded
    std::set<std::string> FailuresLogged; // ports whose failed open has been reported
    bool EmptyListReported = false;
};

inline SearchState Search;

// What the tick does after a search step.
enum class SearchResult { GoOn, EnterBoot, Ended };

void ReadPortNames();
void StartSearch();
SearchResult SearchStep();
void PortChoiceChanged();
// The manual choice and the command-line start open their port; EnterBoot follows. The choice
// is false, and does nothing, while no listed port is selected.
bool ChoosePort();
void StartFromCommandLine();

// "bio" and every digit after "COM": "COM12 (/dev/ttyUSB3)" gives "bio12".
std::string DesignatorOf(const std::string& portName);
// "/COM12" gives "bio12", "/COM" gives "bio".
std::string CommandLineDesignator(const std::string& argument);

} // namespace ob
