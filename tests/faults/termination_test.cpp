// The program told to end in each state of a run, with the simulated controller as a process of
// its own: it ends, and leaves no child process, no lock, no exclusive mode on the device and
// no temporary file behind.

#include "tests/faults/child_process.h"
#include "tests/faults/device_hold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <thread>

namespace ob::testing {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string Bin = OBFLASH_BIN_DIR;

enum class State { Introduction, PowerCycleWait, Download, Finished };

std::set<std::string> Entries(const fs::path& directory) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error))
        names.insert(entry.path().filename().string());
    return names;
}

class Termination : public ::testing::Test {
protected:
    Termination() {
        AdoptOrphans();
        char pattern[] = "/tmp/obflash-end-XXXXXX";
        directory = mkdtemp(pattern);
        fs::create_directories(directory + "/tmp");
        fs::create_directories(directory + "/run");
        fs::permissions(directory + "/run", fs::perms::owner_all);
    }
    ~Termination() override { fs::remove_all(directory); }

    std::unique_ptr<ChildProcess> StartController(bool paced) {
        std::vector<std::string> arguments{Bin + "/obsim", "--link", Link(), "--start", "off"};
        if (!paced)
            arguments.push_back("--unpaced");
        auto controller = std::make_unique<ChildProcess>(arguments, std::vector<std::string>{},
                                                         directory + "/obsim.out");
        EXPECT_TRUE(WaitFor([&] { return fs::exists(Link()); }, 10s)) << "no link from obsim";
        return controller;
    }

    std::unique_ptr<ChildProcess> StartWizard(const std::vector<std::string>& switches) {
        std::vector<std::string> arguments{Bin + "/obflash"};
        arguments.insert(arguments.end(), switches.begin(), switches.end());
        return std::make_unique<ChildProcess>(
            arguments,
            std::vector<std::string>{"OBFLASH_PORTS=COM1=" + Link(), "QT_QPA_PLATFORM=offscreen",
                                     "TMPDIR=" + directory + "/tmp",
                                     "XDG_RUNTIME_DIR=" + directory + "/run"},
            directory + "/obflash.out");
    }

    // Brings the wizard to `state`; false when it does not get there.
    bool Reach(State state, ChildProcess& controller) {
        switch (state) {
        case State::Introduction:
            std::this_thread::sleep_for(1s); // the window comes up; no port is open yet
            return true;
        case State::PowerCycleWait:
            return WaitFor([&] { return HeldExclusively(Link()); }, 20s);
        case State::Download:
            if (!WaitFor([&] { return HeldExclusively(Link()); }, 20s))
                return false;
            controller.Tell("on");
            std::this_thread::sleep_for(2s); // contact and identification; then programming
            return HeldExclusively(Link());
        case State::Finished:
            if (!WaitFor([&] { return HeldExclusively(Link()); }, 20s))
                return false;
            controller.Tell("on");
            return WaitFor([&] { return !HeldExclusively(Link()); }, 60s); // port closed
        }
        return false;
    }

    std::string Link() const { return directory + "/controller"; }

    std::string directory;
};

TEST_F(Termination, EndingTheProgramInAnyStateLeavesNothingBehind) {
    struct Case {
        const char* name;
        State state;
        int signal;
        bool paced;
    };
    const std::set<std::string> locksBefore = Entries("/run/lock");
    for (const Case& c : {
             Case{"SIGTERM on the Introduction page", State::Introduction, SIGTERM, false},
             Case{"SIGTERM in the power-cycle wait", State::PowerCycleWait, SIGTERM, false},
             Case{"SIGINT in the power-cycle wait", State::PowerCycleWait, SIGINT, false},
             Case{"SIGHUP in the power-cycle wait", State::PowerCycleWait, SIGHUP, false},
             Case{"SIGTERM during the download", State::Download, SIGTERM, true},
             Case{"SIGTERM on the Finished page", State::Finished, SIGTERM, false},
         }) {
        SCOPED_TRACE(c.name);
        auto controller = StartController(c.paced);
        auto wizard =
            StartWizard(c.state == State::Introduction ? std::vector<std::string>{}
                                                       : std::vector<std::string>{"/COM1"});
        ASSERT_TRUE(Reach(c.state, *controller));
        wizard->Signal(c.signal);

        const std::optional<int> status = wizard->WaitForEnd(10s);
        ASSERT_TRUE(status) << "the program did not end";
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal);
        EXPECT_EQ(Children(), std::vector<int>{controller->Pid()});
        EXPECT_FALSE(HeldExclusively(Link()));
        EXPECT_FALSE(Locked(Link()));
        EXPECT_EQ(Entries(directory + "/tmp"), std::set<std::string>{});
        EXPECT_EQ(Entries("/run/lock"), locksBefore);

        controller->Tell("q");
        EXPECT_TRUE(controller->WaitForEnd(10s)) << "obsim did not quit";
    }
}

} // namespace

} // namespace ob::testing
