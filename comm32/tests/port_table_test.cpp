#include "comm32/natural_order.h"
#include "comm32/port_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace ob {
namespace {

class PortTableTest : public ::testing::Test {
protected:
    void TearDown() override {
        unsetenv("OBFLASH_PORTS");
        ReloadPortTable();
    }
};

TEST(PortListParsing, KeepsOrderAndSkipsMalformedEntries) {
    std::string errors;
    std::vector<PortEntry> table = ParsePortList(
        "COM7=/tmp/obsim0,bogus,COM=/dev/x,COM2=,COMx=/dev/y,com12=/dev/pts/4,,COM3=/dev/ttyUSB0",
        errors);

    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].Name(), "COM7 (/tmp/obsim0)");
    EXPECT_EQ(table[1].Name(), "COM12 (/dev/pts/4)");
    EXPECT_EQ(table[2].Name(), "COM3 (/dev/ttyUSB0)");
    for (const char* skipped : {"\"bogus\"", "\"COM=/dev/x\"", "\"COM2=\"", "\"COMx=/dev/y\""})
        EXPECT_NE(errors.find(skipped), std::string::npos) << skipped;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4);
}

TEST_F(PortTableTest, EnvironmentTableIsTheWholeTable) {
    setenv("OBFLASH_PORTS", "COM12=/dev/pts/9,COM1=/tmp/a", 1);
    ReloadPortTable();

    std::vector<PortListEntry> listed = ListedPorts();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "COM12 (/dev/pts/9)");
    EXPECT_EQ(listed[1].name, "COM1 (/tmp/a)");

    EXPECT_EQ(ResolvePortName("COM12"), "/dev/pts/9"); // all the digits, not just the first
    EXPECT_EQ(ResolvePortName("com1"), "/tmp/a");
    EXPECT_EQ(ResolvePortName("COM2"), std::nullopt);
    EXPECT_EQ(ResolvePortName("/dev/ttyS0"), "/dev/ttyS0");
}

TEST_F(PortTableTest, IsReadOnceUntilReloaded) {
    setenv("OBFLASH_PORTS", "COM1=/tmp/a", 1);
    ReloadPortTable();
    setenv("OBFLASH_PORTS", "COM1=/tmp/b", 1);
    EXPECT_EQ(ResolvePortName("COM1"), "/tmp/a");
    ReloadPortTable();
    EXPECT_EQ(ResolvePortName("COM1"), "/tmp/b");
}

TEST_F(PortTableTest, MachinePortsAreNumberedInPathOrder) {
    unsetenv("OBFLASH_PORTS");
    ReloadPortTable();
    const std::vector<PortEntry>& table = PortTable(); // this machine may have none
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].number, i + 1);
        if (i > 0) {
            EXPECT_FALSE(NaturalLess(table[i].path, table[i - 1].path));
        }
    }
}

TEST(NaturalOrder, CountsDigitRunsByValue) {
    std::vector<std::string> paths{"/dev/ttyUSB10", "/dev/ttyS1",   "/dev/ttyUSB2", "/dev/ttyACM0",
                                   "/dev/ttyS10",   "/dev/ttyUSB0", "/dev/ttyS2"};
    std::sort(paths.begin(), paths.end(),
              [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS10",
                                        "/dev/ttyUSB0", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(NaturalOrder, IsAStrictOrder) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    for (auto [a, b, less] : {Case{"ttyS1", "ttyS1", false}, Case{"ttyS01", "ttyS1", true},
                              Case{"ttyS1", "ttyS01", false}, Case{"tty", "ttyS0", true},
                              Case{"ttyS99999999999999999999", "ttyS100000000000000000000", true},
                              Case{"ttyS9", "ttyT0", true}}) {
        EXPECT_EQ(NaturalLess(a, b), less) << a << " < " << b;
    }
}

} // namespace
} // namespace ob
