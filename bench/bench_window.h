#pragma once
// The wizard's real window, noting the moments a benchmark needs as the wizard passes them:
// every call goes on to the window unchanged.

#include "app/main_window.h"
#include "bench/cpu_clock.h"

#include <functional>
#include <optional>

namespace ob::bench {

struct Moments {
    std::optional<Clock::time_point> formShown;    // the end of FormShow
    std::optional<Clock::time_point> waitBegun;    // the wait for the power cycle
    std::optional<Clock::time_point> contacting;   // a boot loader pattern was recognised
    std::optional<Clock::time_point> firstCommand; // the first frame after that contact
    std::optional<Clock::time_point> runAppReply;  // the reply to the run-application command
    std::optional<Clock::time_point> finished;     // the Finished page
    Clock::duration loadTime{0};                   // loadfile inside FormShow
};

class BenchWindow : public TfmMain {
public:
    Moments moments;
    std::function<void()> onWaitBegun;
    std::function<void()> onFirstCommand;
    std::function<void()> onFinished;

    void log(std::string_view message) override;
    void setLamp(Lamp lamp, bool lit) override;
    void selectPage(Page page) override;
    bool loadfile() override;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace ob::bench
