#include "core/switches.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ob {
namespace {

struct SwitchCase {
    std::vector<std::string> arguments;
    bool portGiven;
    bool force;
    bool traceChunks;
};

TEST(PositionalSwitches, EachCountsOnlyInItsOwnPosition) {
    const SwitchCase cases[] = {
        {{}, false, false, false},
        {{"/COM3"}, true, false, false},
        {{"/com3"}, false, false, false}, // case matters
        {{"/COM12"}, true, false, false},
        {{"/COM"}, true, false, false}, // no port digit still takes the command-line path
        {{"/CO"}, false, false, false},
        {{"/FORCE"}, false, false, false}, // first position: no forcing
        {{"x", "/FORCE"}, false, true, false},
        {{"x", "/force"}, false, false, false},
        {{"x", "/FORCEX"}, false, false, false},
        {{"x", "/LOG"}, false, false, false}, // second position: no trace
        {{"x", "y", "/LOG"}, false, false, true},
        {{"/COM3", "/FORCE", "/LOG"}, true, true, true},
        {{"/COM3", "/LOG", "/FORCE"}, true, false, false},
        {{"x", "y", "/LOG", "/FORCE"}, false, false, true}, // a fourth argument is never read
    };
    for (const SwitchCase& c : cases) {
        CommandLine = c.arguments;
        std::string shown;
        for (const std::string& a : c.arguments)
            shown += a + " ";
        EXPECT_EQ(CommandLinePortGiven(), c.portGiven) << shown;
        EXPECT_EQ(ForceSwitch(), c.force) << shown;
        EXPECT_EQ(LogSwitch(), c.traceChunks) << shown;
    }
    CommandLine.clear();
}

TEST(PositionalSwitches, MissingArgumentsReadEmpty) {
    CommandLine = {"a"};
    EXPECT_EQ(ParamStr(1), "a");
    EXPECT_EQ(ParamStr(2), "");
    EXPECT_EQ(ParamStr(0), "");
    CommandLine.clear();
}

} // namespace
} // namespace ob
