#pragma once
// The one way the core (firmware, serial port, search, protocol) reaches the window.
// app/ implements it with widgets; tests implement it with a recorder and a fake clock.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace ob {

enum class Page { Introduction = 0, Connect = 1, CyclePower = 2, Download = 3, Finished = 4 };

// The controls the core changes, named as on the window.
enum class Control {
    lComSearch,
    lFound,
    lResult,
    lBootVer,
    lResappID,
    lProgress,
    pnLeds,
    pnProgress,
    pnWarning,
    gbSelect,
    btNext2,
};

enum class Lamp { TX, RX };

struct LocalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// One entry of the manual port list: the name and, for a tooltip, what the device is.
struct PortListEntry {
    std::string name;
    std::string description;
};

class WizardView {
public:
    virtual ~WizardView() = default;

    // The operations log; the message follows the line rules of ApplyLogRules.
    virtual void log(std::string_view message) = 0;

    virtual void setLamp(Lamp lamp, bool lit) = 0;
    virtual void setCaption(Control control, std::string_view text) = 0;
    virtual std::string caption(Control control) const = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual void setWidth(Control control, int width) = 0;
    virtual int width(Control control) const = 0;

    virtual void selectPage(Page page) = 0;
    virtual Page page() const = 0;
    virtual void stopTimer() = 0;

    // The manual port choice: fill the list (selection none) and read the selected index (-1: none).
    virtual void fillPortList(const std::vector<PortListEntry>& ports) = 0;
    virtual int selectedPort() const = 0;

    // Modal; returns when the user has closed it.
    virtual void showMessage(std::string_view text, std::string_view caption) = 0;

    virtual void processEvents() = 0;
    virtual std::chrono::milliseconds monotonic() const = 0;
    virtual LocalTime localTime() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // Sleeps at most `limit`, and ends at once when a byte is waiting on the serial port. The
    // window may handle its events meanwhile.
    virtual void waitForInput(std::chrono::milliseconds limit) = 0;
};

// The process's window (fmMain); the window or a test installs it before the core runs.
WizardView& Window();
void InstallWindow(WizardView* window);

// Writes to the operations log from code outside the window.
void Trace(std::string_view message);

} // namespace ob
