// The simulator's own reading of release files.

#include "sim/release_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ob::sim {
namespace {

TEST(SimReleaseFile, ReadsTheProjectsReleaseWithItsKnownProperties) {
    std::string error;
    auto release = ReadReleaseFile(OBSIM_TEST_RELEASE, &error);
    ASSERT_TRUE(release) << error;
    EXPECT_EQ(release->DataBytes, 23896u);
    EXPECT_EQ(release->Version, 293);
    EXPECT_EQ(release->ProgId, "CTRLORBEL");
    EXPECT_EQ(release->Flash[0xC0F77], 0xFF) << "a gap address carries no data";
    EXPECT_TRUE(std::all_of(release->Flash.begin(), release->Flash.begin() + 0xC0000,
                            [](uint8_t b) { return b == 0xFF; }));
}

struct ParseCase {
    const char* What;
    std::vector<std::string> Lines;
    bool Valid;
    uint32_t Address = 0;
    uint8_t Byte = 0;
};

const std::string Magic = "KELNO Electronics firmware file";

TEST(SimReleaseFile, AddressesRecordsAndRejectsMalformedFiles) {
    const ParseCase cases[] = {
        {"segment base",
         {Magic, ":02000002C0003C", ":0100100042AD", ":00000001FF"},
         true,
         0xC0010,
         0x42},
        {"linear base",
         {Magic, ":02000004000FEB", ":01FFFF00778A", ":00000001FF"},
         true,
         0xFFFFF,
         0x77},
        {"lower-case digits",
         {Magic, ":02000002c0003c", ":0100100042ad", ":00000001ff"},
         true,
         0xC0010,
         0x42},
        {"lines after the end are not read", {Magic, ":00000001FF", "garbage"}, true},
        {"wrong checksum", {Magic, ":02000002C0003C", ":0100100042AE", ":00000001FF"}, false},
        {"count disagrees with the data",
         {Magic, ":02000002C0003C", ":020010004201", ":00000001FF"},
         false},
        {"no end record", {Magic, ":02000002C0003C"}, false},
        {"magic line with a trailing blank", {Magic + " ", ":00000001FF"}, false},
        {"unknown line", {Magic, "hello", ":00000001FF"}, false},
        {"record type 03", {Magic, ":0400000300000000F9", ":00000001FF"}, false},
        {"version without a point", {Magic, "version 137", ":00000001FF"}, false},
        {"beyond 1 MiB", {Magic, ":020000040010EA", ":0100000011EE", ":00000001FF"}, false},
    };
    for (const ParseCase& parse : cases) {
        std::string error;
        auto release = ParseRelease(parse.Lines, &error);
        ASSERT_EQ(release.has_value(), parse.Valid) << parse.What << ": " << error;
        if (release && parse.Address) {
            EXPECT_EQ(release->Flash[parse.Address], parse.Byte) << parse.What;
        }
        if (!release) {
            EXPECT_FALSE(error.empty()) << parse.What;
        }
    }
}

} // namespace
} // namespace ob::sim
