// Files that the loader must refuse, each with the lines it must log.

#include "firmware_text.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

namespace ob::testing {
namespace {

const std::string InvalidLine = "-- THIS IS NOT A VALID KELNO ELECTRONICS FIRMWARE FILE.";
const std::vector<std::string> Invalid = {InvalidLine};
const std::vector<std::string> Truncated = {
    "-- THIS SYTEM SUFFERS FROM TRUNCATED TEXT IN TEXT CONTROLS.",
    "-- YOU NEED A MORE RECENT OPERATING SYSTEM.", InvalidLine};

struct MalformedFile {
    std::string name;
    std::vector<std::string> lines;
    std::vector<std::string> logged;
};

std::string WithWrongChecksum(std::string record) {
    record.back() = record.back() == '0' ? '1' : '0';
    return record;
}

// One byte every 256 addresses, so that every record needs a chunk of its own.
std::vector<std::string> OneChunkTooMany() {
    std::vector<std::string> lines = {MagicLine};
    for (int n = 0; n <= ChunkCount; ++n) {
        if (n % 256 == 0)
            lines.push_back(LinearRecord(uint16_t(n / 256)));
        lines.push_back(DataRecord(uint16_t(n % 256 * 256), {0x5A}));
    }
    lines.push_back(EndRecord);
    return lines;
}

std::vector<MalformedFile> MalformedFiles() {
    const std::string segment = SegmentRecord(0x1000);
    return {
        {"MagicLineOneCharacterOff", {"KELNO Electronics firmware filE", EndRecord}, Invalid},
        {"MagicLineInLowerCase", {"kelno electronics firmware file", EndRecord}, Invalid},
        {"MagicLineWithTrailingSpace", {MagicLine + " ", EndRecord}, Invalid},
        {"EmptyFile", {}, Invalid},
        {"VersionWithoutPoint", FirmwareText({"version 137", EndRecord}), Invalid},
        {"VersionEmpty", FirmwareText({"version", EndRecord}), Invalid},
        {"VersionMinorNotDecimal", FirmwareText({"version 1.3a", EndRecord}), Invalid},
        {"VersionMajorNotDecimal", FirmwareText({"version v1.37", EndRecord}), Invalid},
        {"VersionMinorMissing", FirmwareText({"version 1.", EndRecord}), Invalid},
        {"VersionWithTwoPoints", FirmwareText({"version 1.3.7", EndRecord}), Invalid},
        {"VersionNegative", FirmwareText({"version -1.37", EndRecord}), Invalid},
        {"UnknownLine", FirmwareText({"hello", EndRecord}), Invalid},
        {"HeaderKeyNotAtLineStart", FirmwareText({" name CS", EndRecord}), Invalid},
        {"RecordType03", FirmwareText({Record(3, 0, {0, 0, 0, 0}), EndRecord}), Invalid},
        {"RecordType05", FirmwareText({Record(5, 0, {0, 0, 0, 0}), EndRecord}), Invalid},
        {"DataChecksumWrong",
         FirmwareText({segment, WithWrongChecksum(DataRecord(0, {1, 2, 3})), EndRecord}), Invalid},
        {"SegmentChecksumWrong", FirmwareText({WithWrongChecksum(segment), EndRecord}), Invalid},
        {"LinearChecksumWrong", FirmwareText({WithWrongChecksum(LinearRecord(1)), EndRecord}),
         Invalid},
        // Its checksum "3C" and the space read as 0x3C0.
        {"SpaceAfterDataChecksum", FirmwareText({segment, DataRecord(0, {0xC3}) + " ", EndRecord}),
         Invalid},
        {"EndRecordWrongValue", FirmwareText({":00000001FE"}), Invalid},
        {"SpaceAfterEndRecord", FirmwareText({EndRecord + " "}), Invalid},
        {"DataBeforeAnyAddressRecord", FirmwareText({DataRecord(0, {1}), EndRecord}), Invalid},
        {"LinearAddressWithTopBitSet",
         FirmwareText({LinearRecord(0x8000), DataRecord(0, {1}), EndRecord}), Invalid},
        {"DataRunsIntoTheTopBit",
         FirmwareText({LinearRecord(0x7FFF), DataRecord(0xFFFF, {1, 2}), EndRecord}), Invalid},
        {"ImageFull", OneChunkTooMany(), Invalid},
        {"NoEndRecord", FirmwareText({segment, DataRecord(0, {1})}), Truncated},
        {"MagicLineOnly", {MagicLine}, Truncated},
    };
}

void PrintTo(const MalformedFile& file, std::ostream* out) {
    *out << file.name;
}

class MalformedFileTest : public ::testing::TestWithParam<MalformedFile> {};

TEST_P(MalformedFileTest, IsRefusedWithItsLines) {
    RecordingView view;
    EXPECT_TRUE(Load(GetParam().lines));
    EXPECT_EQ(view.messages, GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(Loader, MalformedFileTest, ::testing::ValuesIn(MalformedFiles()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace ob::testing
