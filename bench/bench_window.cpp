#include "bench/bench_window.h"

namespace ob::bench {

namespace {

void Call(const std::function<void()>& handler) {
    if (handler)
        handler();
}

} // namespace

void BenchWindow::log(std::string_view message) {
    TfmMain::log(message);
    if (message.starts_with("$Switch on your apparatus")) {
        moments.waitBegun = Clock::now();
        Call(onWaitBegun);
    } else if (message.starts_with("-- boot version")) {
        // A failed contact starts over with the next pattern, and so does the session.
        moments.contacting = Clock::now();
        moments.firstCommand.reset();
    } else if (message == "Running target application.") {
        moments.runAppReply = Clock::now();
    }
}

// The transmit lamp lights as each frame starts to go out.
void BenchWindow::setLamp(Lamp lamp, bool lit) {
    TfmMain::setLamp(lamp, lit);
    if (lamp == Lamp::TX && lit && moments.contacting && !moments.firstCommand) {
        moments.firstCommand = Clock::now();
        Call(onFirstCommand);
    }
}

void BenchWindow::selectPage(Page page) {
    TfmMain::selectPage(page);
    if (page == Page::Finished && !moments.finished) {
        moments.finished = Clock::now();
        Call(onFinished);
    }
}

bool BenchWindow::loadfile() {
    const auto start = Clock::now();
    const bool invalid = TfmMain::loadfile();
    moments.loadTime = Clock::now() - start;
    return invalid;
}

// TfmMain runs FormShow from its first show event.
void BenchWindow::showEvent(QShowEvent* event) {
    TfmMain::showEvent(event);
    if (!moments.formShown)
        moments.formShown = Clock::now();
}

} // namespace ob::bench
