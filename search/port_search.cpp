#include "search/port_search.h"

#include "comm32/comm32.h"
#include "comm32/port_table.h"
#include "core/switches.h"
#include "core/wizard_view.h"
#include "protocol/commands.h"
#include "protocol/frame_codec.h"
#include "search/open_failure.h"

#include <chrono>

namespace ob {

namespace {

using namespace std::chrono_literals;

constexpr int TicksPerPort = 30;
constexpr int TicksPerProbe = 8;
constexpr uint16_t ReleaseVersion = 293; // 1.37
// A device that keeps sending must not hold the tick: the drain gives up after these.
constexpr int DrainMaxBytes = 256;
constexpr auto DrainMaxTime = 100ms;
constexpr auto DrainPause = 10ms;

const std::string& CurrentPortName() {
    return Search.PortNames[std::size_t(Search.PortIndex)];
}

// Opens at 19200 8N1; a failure is logged the first time the port gives it.
bool OpenListedPort(const std::string& name) {
    int32_t error = OpenPort(DesignatorOf(name));
    if (error != 0) {
        if (Search.FailuresLogged.insert(name).second)
            Window().log(OpenFailureText(name, error));
        return false;
    }
    SetupPort(19200, 'n', 8, 1, 'N');
    return true;
}

void OfferManualChoice() {
    std::vector<PortListEntry> entries;
    for (std::size_t i = 0; i < Search.PortNames.size(); ++i)
        entries.push_back({Search.PortNames[i], Search.PortDescriptions[i]});
    Window().setVisible(Control::gbSelect, true);
    Window().fillPortList(entries);
}

void SwitchPort() {
    Search.TickCount = 0;
    ++Search.PortIndex;
    if (Search.PortIndex >= int(Search.PortNames.size())) {
        Search.PortIndex = 0;
        if (Search.PassesLeft != 0 && --Search.PassesLeft == 0)
            OfferManualChoice();
    }
    Window().setCaption(Control::lComSearch, CurrentPortName());
    Search.PortOpened = OpenListedPort(CurrentPortName());
}

void DrainInput() {
    const auto start = Window().monotonic();
    int drained = 0;
    for (uint8_t b; drained < DrainMaxBytes && ReadByte(b); ++drained) {
        Window().sleep(DrainPause);
        if (Window().monotonic() - start >= DrainMaxTime)
            break;
    }
}

void Probe() {
    DrainInput();
    Codec.Reply.clear();
    SendAppFrame(std::string{char(Search.TickCount & 0x7F), char(CmdIdentify)});
}

// Only the payload tells the version: the frame's checksum byte closes Reply.
bool NeedsUpdate() {
    const std::string& reply = Codec.Reply;
    const std::size_t payload = reply.empty() ? 0 : reply.size() - 1;
    if (payload < 4)
        return true;
    return uint8_t(reply[2]) + 256 * uint8_t(reply[3]) < ReleaseVersion;
}

SearchResult ControllerFound() {
    Window().stopTimer();
    if (NeedsUpdate()) {
        Window().selectPage(Page::CyclePower);
        Window().setCaption(Control::lFound,
                            Window().caption(Control::lFound) + " found on " + CurrentPortName());
        Window().log("$OB connected to " + CurrentPortName() + ".");
        return SearchResult::EnterBoot;
    }
    Window().setCaption(Control::lResult, "Your OB is already updated.");
    Window().log("$Resident firmware has the same or newver version.");
    Window().selectPage(Page::Finished);
    Window().setVisible(Control::pnProgress, false);
    ClosePort();
    return SearchResult::Ended;
}

void ReportEmptyList() {
    if (Search.EmptyListReported)
        return;
    Search.EmptyListReported = true;
    Window().setCaption(Control::lComSearch, "no serial port found");
    Window().log("$No serial port found.");
}

} // namespace

void ReadPortNames() {
    for (const PortListEntry& port : ListedPorts()) {
        Search.PortNames.push_back(port.name);
        Search.PortDescriptions.push_back(port.description);
    }
}

void StartSearch() {
    Search.TickCount = 255;
}

SearchResult SearchStep() {
    if (Search.PortNames.empty()) {
        ReportEmptyList();
        return SearchResult::GoOn;
    }
    // A port that did not open is neither polled nor probed: the serial module's recovery
    // would reopen an earlier port, and its reply would be taken for this one's.
    if (Search.PortOpened && ReceiveAppFrame())
        return ControllerFound();
    if (++Search.TickCount >= TicksPerPort)
        SwitchPort();
    if (Search.PortOpened && Search.TickCount % TicksPerProbe == 0)
        Probe();
    return SearchResult::GoOn;
}

void PortChoiceChanged() {
    if (Window().selectedPort() >= 0)
        Window().setEnabled(Control::btNext2, true);
}

bool ChoosePort() {
    const int selected = Window().selectedPort();
    if (selected < 0 || selected >= int(Search.PortNames.size()))
        return false;
    Window().stopTimer();
    Search.PortIndex = selected;
    Window().setCaption(Control::lComSearch, CurrentPortName());
    Search.PortOpened = OpenListedPort(CurrentPortName());
    Window().setCaption(Control::lFound,
                        Window().caption(Control::lFound) + " connected to " + CurrentPortName());
    Window().selectPage(Page::CyclePower);
    Window().log("$User told OB is connected to " + CurrentPortName() + ".");
    return true;
}

void StartFromCommandLine() {
    Window().stopTimer();
    OpenPort(CommandLineDesignator(ParamStr(1)));
    SetupPort(19200, 'n', 8, 1, 'N');
    Window().setCaption(Control::lFound,
                        Window().caption(Control::lFound) + " connected to port=" + Comm.SavedPort);
    Window().selectPage(Page::CyclePower);
    Window().log("$Command line parameter was " + ParamStr(1) + ".");
}

} // namespace ob
