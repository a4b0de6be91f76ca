#pragma once
// A window for tests: records what the core does to it, keeps the log as text, and runs
// on a fake clock unless told to use the real one.

#include "core/wizard_view.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ob::testing {

class RecordingView : public WizardView {
public:
    enum class Clock { Fake, Real };
    explicit RecordingView(Clock clock = Clock::Fake);
    ~RecordingView() override;

    void log(std::string_view message) override;
    void setLamp(Lamp lamp, bool lit) override;
    void setCaption(Control control, std::string_view text) override;
    std::string caption(Control control) const override;
    void setVisible(Control control, bool visible) override;
    void setEnabled(Control control, bool enabled) override;
    void setWidth(Control control, int width) override;
    int width(Control control) const override;
    void selectPage(Page page) override;
    Page page() const override { return currentPage; }
    void stopTimer() override { timerStopped = true; }
    void fillPortList(const std::vector<PortListEntry>& ports) override;
    int selectedPort() const override { return selection; }
    void showMessage(std::string_view text, std::string_view caption) override;
    void processEvents() override;
    std::chrono::milliseconds monotonic() const override;
    LocalTime localTime() const override;
    void sleep(std::chrono::milliseconds duration) override;
    void waitForInput(std::chrono::milliseconds limit) override;

    // Recorded state, open to the test.
    std::string logText; // as the memo would hold it, stamps "12:00:00"
    std::vector<std::string> messages; // every message as passed to log
    std::map<Control, std::string> captions;
    std::map<Control, bool> visible;
    std::map<Control, bool> enabled;
    std::map<Control, int> widths;
    std::vector<Page> pages; // every page selected, in order
    Page currentPage = Page::Introduction;
    bool timerStopped = false;
    bool txLit = false;
    bool rxLit = false;
    std::vector<PortListEntry> portList;
    int selection = -1;
    struct MessageBox {
        std::string text;
        std::string caption;
    };
    std::vector<MessageBox> messageBoxes;
    int eventPasses = 0;
    std::chrono::milliseconds fakeNow{0};

    // Runs inside every processEvents, as a user's action would.
    std::function<void()> onEvents;

    // The log as lines, CR LF removed; a last unfinished line is included.
    std::vector<std::string> logLines() const;
    bool logHas(std::string_view text) const;

private:
    Clock clock;
};

} // namespace ob::testing
