#include "firmware_text.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

#include <numeric>

namespace ob::testing {
namespace {

struct ExpectedChunk {
    int index;
    int32_t address;
    uint16_t length;
};

TEST(EmbeddedRelease, LoadsIntoNinetyNineChunks) {
    RecordingView view;
    EXPECT_FALSE(loadfile());

    EXPECT_EQ(ChunksInUse(), 99);
    for (ExpectedChunk chunk : {ExpectedChunk{0, 0xC0000, 248},
                                {95, 0xC5C08, 49},
                                {96, 0xF9D00, 248},
                                {97, 0xF9DF8, 8},
                                {98, 0xFFFDC, 36}}) {
        EXPECT_EQ(Firmware.FlashImage[chunk.index].Address, chunk.address) << chunk.index;
        EXPECT_EQ(Firmware.FlashImage[chunk.index].Length, chunk.length) << chunk.index;
    }
    for (int index = 1; index < 95; ++index) {
        EXPECT_EQ(Firmware.FlashImage[index].Address, 0xC0000 + 248 * index);
        EXPECT_EQ(Firmware.FlashImage[index].Length, 248);
    }
    int lengths = std::accumulate(Firmware.FlashImage.begin(), Firmware.FlashImage.end(), 0,
                                  [](int sum, const ImageChunk& c) { return sum + c.Length; });
    EXPECT_EQ(lengths, 23901);
    EXPECT_EQ(Firmware.ImageBytes, 23896);
    EXPECT_EQ(Firmware.FwVersion, 293);
    EXPECT_EQ(Firmware.FwProgId, "CTRLORBEL");
    EXPECT_EQ(Firmware.FlashImage[15].Address + 239, 0xC0F77);
    EXPECT_EQ(Firmware.FlashImage[15].Data[239], 0xFF);

    EXPECT_EQ(view.messages,
              std::vector<std::string>{"$Prepared firmware \"CS Orbeline\" (CTRLORBEL) v1.37."});
    EXPECT_EQ(view.logText, "12:00:00 - Prepared firmware \"CS Orbeline\" (CTRLORBEL) v1.37.\r\n");
}

TEST(HexValue, ReadsTheLastFourCharactersAnyCase) {
    struct Case {
        std::string_view text;
        uint16_t value;
    };
    for (Case c : {Case{"FF", 0xFF},
                   {"ff", 0xFF},
                   {"3c", 0x3C},
                   {"1G", 0x10},
                   {"12345", 0x2345},
                   {"", 0},
                   {"3C ", 0x3C0},
                   {"zz", 0},
                   {"aBcD", 0xABCD},
                   {"FFFFFFFF", 0xFFFF}})
        EXPECT_EQ(HexValue(c.text), c.value) << c.text;
}

class LoaderTest : public ::testing::Test {
protected:
    std::vector<uint8_t> Bytes(int count, uint8_t first = 0) {
        std::vector<uint8_t> bytes(count);
        std::iota(bytes.begin(), bytes.end(), first);
        return bytes;
    }

    RecordingView view;
};

TEST_F(LoaderTest, ChunkEndsAfter248BytesAndTheNextStartsThere) {
    ASSERT_FALSE(Load(FirmwareText({SegmentRecord(0x1000), DataRecord(0x0100, Bytes(200)),
                                    DataRecord(0x01C8, Bytes(50, 200)), EndRecord})));
    ASSERT_EQ(ChunksInUse(), 2);
    const ImageChunk& first = Firmware.FlashImage[0];
    const ImageChunk& second = Firmware.FlashImage[1];
    EXPECT_EQ(first.Address, 0x10100);
    EXPECT_EQ(first.Length, 248);
    EXPECT_EQ(first.Data[247], 247);
    EXPECT_EQ(second.Address, 0x10100 + 248);
    EXPECT_EQ(second.Length, 2);
    EXPECT_EQ(second.Data[1], 249);
    EXPECT_EQ(Firmware.ImageBytes, 250);
}

TEST_F(LoaderTest, RepeatedStartAddressTakesANewChunkAndInnerRepeatsOverwrite) {
    ASSERT_FALSE(Load(FirmwareText({SegmentRecord(0x2000), DataRecord(0x0000, {0x11, 0x22}),
                                    DataRecord(0x0000, {0x33, 0x44}), EndRecord})));
    ASSERT_EQ(ChunksInUse(), 2);
    // 0x20000 is chunk 0's own start, so it opens chunk 1; 0x20001 lies inside chunk 0.
    EXPECT_EQ(Firmware.FlashImage[0].Address, 0x20000);
    EXPECT_EQ(Firmware.FlashImage[0].Data[0], 0x11);
    EXPECT_EQ(Firmware.FlashImage[0].Data[1], 0x44);
    EXPECT_EQ(Firmware.FlashImage[1].Address, 0x20000);
    EXPECT_EQ(Firmware.FlashImage[1].Length, 1);
    EXPECT_EQ(Firmware.FlashImage[1].Data[0], 0x33);
    EXPECT_EQ(Firmware.ImageBytes, 4);
}

TEST_F(LoaderTest, GapsInsideAChunkReadAsErased) {
    ASSERT_FALSE(Load(FirmwareText(
        {SegmentRecord(0x3000), DataRecord(0x0000, {1, 2}), DataRecord(0x0005, {6}), EndRecord})));
    const ImageChunk& chunk = Firmware.FlashImage[0];
    EXPECT_EQ(chunk.Length, 6);
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data.begin(), chunk.Data.begin() + 7),
              (std::vector<uint8_t>{1, 2, 0xFF, 0xFF, 0xFF, 6, 0xFF}));
    EXPECT_EQ(Firmware.ImageBytes, 3);
}

TEST_F(LoaderTest, DataRecordCarriesPast64KiBAndTheNextRecordStaysThere) {
    ASSERT_FALSE(Load(FirmwareText({LinearRecord(0x0001), DataRecord(0xFFFE, {1, 2, 3, 4}),
                                    DataRecord(0x0200, {5}), EndRecord})));
    ASSERT_EQ(ChunksInUse(), 2);
    EXPECT_EQ(Firmware.FlashImage[0].Address, 0x1FFFE);
    EXPECT_EQ(Firmware.FlashImage[0].Length, 4);
    EXPECT_EQ(Firmware.FlashImage[0].Data[3], 4);
    EXPECT_EQ(Firmware.FlashImage[1].Address, 0x20200);
}

TEST_F(LoaderTest, SegmentKeepsOnlyTheUpperSixteenBitsAtTheNextDataRecord) {
    ASSERT_FALSE(Load(FirmwareText({SegmentRecord(0x1234), DataRecord(0x0010, {7}), EndRecord})));
    EXPECT_EQ(Firmware.FlashImage[0].Address, 0x10010);
}

TEST_F(LoaderTest, EmptyDataRecordIsAcceptedBeforeAnyAddress) {
    ASSERT_FALSE(Load(FirmwareText({DataRecord(0x1234, {}), EndRecord})));
    EXPECT_EQ(ChunksInUse(), 0);
}

TEST_F(LoaderTest, CharactersAfterTheChecksumAreReadWithIt) {
    // The checksum of this record is 0xC0; "0C " reads as 0x0C0.
    std::string record = DataRecord(0x0000, {0x3F});
    ASSERT_EQ(record.substr(record.size() - 2), "C0");
    record.replace(record.size() - 2, 2, "0C ");
    EXPECT_FALSE(Load(FirmwareText({SegmentRecord(0x1000), record, EndRecord})));
    EXPECT_EQ(Firmware.FlashImage[0].Data[0], 0x3F);
}

TEST_F(LoaderTest, HeaderLines) {
    ASSERT_FALSE(Load(FirmwareText({"nameXCS", "progid FIRST", "version 9.9", "", "progid SECOND",
                                    "version 1.300", EndRecord})));
    EXPECT_EQ(Firmware.FwProgId, "SECOND");
    EXPECT_EQ(Firmware.FwVersion, 256 + 300);
    EXPECT_EQ(view.messages.back(), "$Prepared firmware \"CS\" (SECOND) v1.300.");
}

TEST_F(LoaderTest, HeaderTextsKeepAtMost255Characters) {
    std::string longText(300, 'x');
    ASSERT_FALSE(Load(FirmwareText({"progid " + longText, EndRecord})));
    EXPECT_EQ(Firmware.FwProgId, std::string(255, 'x'));
}

TEST_F(LoaderTest, VersionValueWrapsAt16Bits) {
    ASSERT_FALSE(Load(FirmwareText({"version 255.256", EndRecord})));
    EXPECT_EQ(Firmware.FwVersion, 0);
    // 2^64 + 1 is 1 modulo 65536.
    ASSERT_FALSE(Load(FirmwareText({"version 18446744073709551617.037", EndRecord})));
    EXPECT_EQ(Firmware.FwVersion, 256 + 37);
}

TEST_F(LoaderTest, FileWithoutHeaderLines) {
    ASSERT_FALSE(Load(FirmwareText({EndRecord})));
    EXPECT_EQ(Firmware.FwVersion, 0);
    EXPECT_EQ(Firmware.FwProgId, "");
    EXPECT_EQ(view.messages, std::vector<std::string>{"$Prepared firmware \"\" () v."});
}

TEST_F(LoaderTest, LinesAfterTheEndRecordAreNeverRead) {
    EXPECT_FALSE(Load(FirmwareText({EndRecord, "garbage", ":00000001FE", "version none"})));
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(LoaderTest, EveryLoadStartsFromAClearedImage) {
    ASSERT_FALSE(Load(FirmwareText({"progid A", "version 2.0", SegmentRecord(0x1000),
                                    DataRecord(0, Bytes(32)), DataRecord(0x400, {1}), EndRecord})));
    ASSERT_FALSE(Load(FirmwareText({SegmentRecord(0x2000), DataRecord(0x10, {9}), EndRecord})));
    EXPECT_EQ(ChunksInUse(), 1);
    EXPECT_EQ(Firmware.FlashImage[0].Length, 1);
    EXPECT_EQ(Firmware.FlashImage[0].Data[1], 0xFF);
    EXPECT_EQ(Firmware.ImageBytes, 1);
    EXPECT_EQ(Firmware.FwProgId, "");
    EXPECT_EQ(Firmware.FwVersion, 0);
}

} // namespace
} // namespace ob::testing
