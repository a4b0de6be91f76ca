#include "recording_view.h"

#include "comm32/comm32.h"
#include "core/log_text.h"

#include <thread>

namespace ob::testing {

RecordingView::RecordingView(Clock clock) : clock(clock) { InstallWindow(this); }

RecordingView::~RecordingView() { InstallWindow(nullptr); }

void RecordingView::log(std::string_view message) {
    messages.emplace_back(message);
    logText += ApplyLogRules(message, "12:00:00");
}

void RecordingView::setLamp(Lamp lamp, bool lit) { (lamp == Lamp::TX ? txLit : rxLit) = lit; }

void RecordingView::setCaption(Control control, std::string_view text) {
    captions[control] = std::string(text);
}

std::string RecordingView::caption(Control control) const {
    auto found = captions.find(control);
    return found == captions.end() ? std::string() : found->second;
}

void RecordingView::setVisible(Control control, bool shown) { visible[control] = shown; }

void RecordingView::setEnabled(Control control, bool on) { enabled[control] = on; }

void RecordingView::setWidth(Control control, int width) { widths[control] = width; }

int RecordingView::width(Control control) const {
    auto found = widths.find(control);
    return found == widths.end() ? 0 : found->second;
}

void RecordingView::selectPage(Page page) {
    currentPage = page;
    pages.push_back(page);
}

void RecordingView::fillPortList(const std::vector<PortListEntry>& ports) {
    portList = ports;
    selection = -1;
}

void RecordingView::showMessage(std::string_view text, std::string_view caption) {
    messageBoxes.push_back({std::string(text), std::string(caption)});
}

void RecordingView::processEvents() {
    ++eventPasses;
    if (onEvents)
        onEvents();
}

std::chrono::milliseconds RecordingView::monotonic() const {
    if (clock == Clock::Fake)
        return fakeNow;
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

LocalTime RecordingView::localTime() const {
    auto ms = monotonic().count();
    return {12, int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
}

void RecordingView::sleep(std::chrono::milliseconds duration) {
    if (clock == Clock::Fake)
        fakeNow += duration;
    else
        std::this_thread::sleep_for(duration);
}

void RecordingView::waitForInput(std::chrono::milliseconds limit) {
    if (clock == Clock::Fake)
        fakeNow += limit;
    else
        WaitForInput(int(limit.count()));
}

std::vector<std::string> RecordingView::logLines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = logText.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(logText.substr(start, end - start));
    if (start < logText.size())
        lines.push_back(logText.substr(start));
    return lines;
}

bool RecordingView::logHas(std::string_view text) const {
    return logText.find(text) != std::string::npos;
}

} // namespace ob::testing
