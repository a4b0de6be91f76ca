#include "tests/support/wizard_run.h"

#include "comm32/comm32.h"
#include "comm32/port_table.h"
#include "core/run_state.h"
#include "core/switches.h"
#include "protocol/command_exchange.h"
#include "protocol/frame_codec.h"
#include "protocol/update_procedure.h"
#include "search/port_search.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace ob::testing {

namespace {

// Every module as a new run of the program finds it.
void ResetModules() {
    ClosePort();
    Comm = {};
    ob::Run = {};
    Codec = {};
    Exchange = {};
    Update = {};
    Search = {};
}

} // namespace

WizardRun::WizardRun() {
    ResetModules();
    CommandLine = {};
    char pattern[] = "/tmp/obflash-wizard-XXXXXX";
    directory = mkdtemp(pattern);
}

WizardRun::~WizardRun() {
    CloseWizard();
    if (simulator)
        simulator->Stop();
    for (int fd : ptyFds)
        close(fd);
    std::string command = "rm -rf '" + directory + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    unsetenv("OBFLASH_PORTS");
    ReloadPortTable();
}

void WizardRun::StartSimulator(sim::SimOptions options) {
    options.Paced = false;
    options.LinkPath = directory + "/controller";
    options.ReleasePath = OBFLASH_TEST_RELEASE;
    simulator = std::make_unique<sim::Simulator>(options);
    std::string error;
    ASSERT_TRUE(simulator->Start(&error)) << error;
}

std::string WizardRun::SilentPort(int* peer) {
    int master = -1;
    int slave = -1;
    char name[256];
    EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ptyFds.push_back(master);
    close(slave);
    if (peer)
        *peer = master;
    return name;
}

std::string WizardRun::ReadWaiting(int peer) {
    std::string bytes;
    pollfd waiting{peer, POLLIN, 0};
    char chunk[256];
    while (poll(&waiting, 1, 0) == 1 && (waiting.revents & POLLIN)) {
        const ssize_t got = read(peer, chunk, sizeof chunk);
        if (got <= 0)
            break;
        bytes.append(chunk, std::size_t(got));
    }
    return bytes;
}

std::string WizardRun::MissingPort() const {
    return directory + "/missing";
}

void WizardRun::OpenWizard(const std::string& ports, bool show) {
    setenv("OBFLASH_PORTS", ports.c_str(), 1);
    ReloadPortTable();
    window = MakeWindow();
    window->onMessageShown = [](QMessageBox& box) { box.accept(); };
    watchdog = std::make_unique<QTimer>();
    watchdog->setSingleShot(true);
    QObject::connect(watchdog.get(), &QTimer::timeout, [this] {
        ADD_FAILURE() << "the run did not end by itself: Abort operation pressed";
        window->btExit3Click();
    });
    watchdog->start(watchdogLimit);
    if (show)
        window->show();
}

std::unique_ptr<TfmMain> WizardRun::MakeWindow() {
    return std::make_unique<TfmMain>();
}

// The next case of a test starts from a fresh window and closed port, as a new run would.
void WizardRun::CloseWizard() {
    watchdog.reset();
    window.reset();
    ResetModules();
}

bool WizardRun::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    bool met = false;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (met)
            return;
        met = done();
        if (!met && clock.elapsed() < limit.count())
            return;
        check.stop();
        loop.quit();
    });
    check.start(10);
    loop.exec();
    return met;
}

bool WizardRun::Finished() const {
    return window->page() == Page::Finished;
}

bool WizardRun::LogHas(const std::string& text) const {
    return window->logText().find(text) != std::string::npos;
}

int WizardRun::LogCount(const std::string& text) const {
    int count = 0;
    for (auto at = window->logText().find(text); at != std::string::npos;
         at = window->logText().find(text, at + 1))
        ++count;
    return count;
}

bool WizardRun::LogEndsWith(const std::string& text) const {
    return window->logText().ends_with(text);
}

} // namespace ob::testing
