// The obsim program around a command: the environment it gives, the status it ends with,
// the JSON it writes; and its command line.

#include "sim/obsim_args.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace ob::sim {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int RunCommand(const std::string& command) {
    int status = std::system(("timeout 20 " + command + " </dev/null >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ObsimProgram, RunsTheCommandWithThePortTableAndEndsWithItsStatus) {
    std::string base = "/tmp/obsim-program-" + std::to_string(getpid());
    std::string link = base + "-link", json = base + ".json";
    std::string obsim = std::string(OBSIM_BINARY) + " --unpaced --link " + link + " --json " + json;
    // The child sees the link as COM1, and the pty is there while it runs.
    EXPECT_EQ(RunCommand(obsim + " -- sh -c 'test \"$OBFLASH_PORTS\" = COM1=" + link +
                         " && test -c " + link + " && exit 3'"),
              3);
    EXPECT_NE(ReadAll(json).find("\"outcome\": \"never contacted\""), std::string::npos);
    EXPECT_NE(access(link.c_str(), F_OK), 0) << "the link is removed at the end";
    EXPECT_EQ(RunCommand(obsim + " -- /nonexistent/program"), 127);
    std::remove(json.c_str());
}

TEST(ObsimArgs, ParsesOptionsAndTheCommand) {
    std::string error;
    auto line =
        ParseObsimArgs({"--boot", "old", "--fail-write", "5:255", "--line-loss", "7:forever",
                        "--app-version", "1.36", "--drop", "0.01", "--", "prog", "-x"},
                       &error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->Options.Boot, BootAge::Old);
    EXPECT_EQ(line->Options.FailWriteAt, 5);
    EXPECT_EQ(line->Options.FailWriteStatus, 255);
    EXPECT_EQ(line->Options.LineLossAtWrite, 7);
    EXPECT_EQ(line->Options.LineLossMs, ForGood);
    EXPECT_EQ(line->Options.AppVersion, 0x0124);
    EXPECT_DOUBLE_EQ(line->Options.DropRate, 0.01);
    EXPECT_EQ(line->Command, std::vector<std::string>({"prog", "-x"}));

    for (std::vector<std::string> bad : {std::vector<std::string>{"--boot", "ancient"},
                                         {"--fail-erase", "0"},
                                         {"--drop", "2"},
                                         {"--app-version", "137"},
                                         {"--link"},
                                         {"--bogus"},
                                         {"--"}}) {
        EXPECT_FALSE(ParseObsimArgs(bad, &error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace ob::sim
