// The committed release file, read record by record here rather than with the loader.

#include "firmware/flash_blocks.h"
#include "firmware_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace ob::testing {
namespace {

struct HexRecord {
    int line = 0;
    int type = 0;
    uint16_t offset = 0;
    std::vector<uint8_t> data;
    bool checksumRight = false;
};

uint8_t ByteAt(const std::string& text, std::size_t position) {
    unsigned value = 0;
    std::from_chars(text.data() + position, text.data() + position + 2, value, 16);
    return uint8_t(value);
}

// count, address, type, data, checksum; the line holds nothing else.
HexRecord ParseRecord(const std::string& text, int line) {
    HexRecord record;
    record.line = line;
    int count = ByteAt(text, 1);
    EXPECT_EQ(text.size(), 11u + 2u * count) << "line " << line;
    EXPECT_TRUE(std::all_of(text.begin() + 1, text.end(),
                            [](char c) { return std::isdigit(c) || (c >= 'A' && c <= 'F'); }))
        << "line " << line;
    if (text.size() != 11u + 2u * count)
        return record;
    record.offset = uint16_t(ByteAt(text, 3) << 8 | ByteAt(text, 5));
    record.type = ByteAt(text, 7);
    uint8_t sum = 0;
    for (std::size_t position = 1; position < text.size(); position += 2)
        sum = uint8_t(sum + ByteAt(text, position));
    record.checksumRight = sum == 0;
    for (int k = 0; k < count; ++k)
        record.data.push_back(ByteAt(text, 9 + 2 * k));
    return record;
}

class CommittedRelease : public ::testing::Test {
protected:
    void SetUp() override {
        lines = ReadLines(COMMITTED_RELEASE_FILE);
        for (int n = 0; n < int(lines.size()); ++n)
            if (lines[n].starts_with(':'))
                records.push_back(ParseRecord(lines[n], n));
    }

    std::vector<HexRecord> RecordsOfType(int type) const {
        std::vector<HexRecord> found;
        std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                     [&](const HexRecord& record) { return record.type == type; });
        return found;
    }

    // Every data byte by its address, from the segment records before it.
    std::map<uint32_t, int> WrittenAddresses() const {
        std::map<uint32_t, int> writes;
        uint32_t base = 0;
        for (const HexRecord& record : records) {
            if (record.type == 2)
                base = uint32_t(record.data[0] << 8 | record.data[1]) << 4;
            if (record.type != 0)
                continue;
            EXPECT_LE(record.offset + record.data.size(), 0x10000u)
                << "line " << record.line << " crosses 64 KiB";
            for (std::size_t k = 0; k < record.data.size(); ++k)
                ++writes[base + record.offset + uint32_t(k)];
        }
        return writes;
    }

    std::vector<std::string> lines;
    std::vector<HexRecord> records;
};

TEST_F(CommittedRelease, HasTheHeaderAndRecordsAtTheirLines) {
    ASSERT_EQ(lines.size(), 764u);
    EXPECT_EQ(lines[0], MagicLine);
    EXPECT_EQ(lines[1], "name CS Orbeline");
    EXPECT_EQ(lines[2], "progid CTRLORBEL");
    EXPECT_EQ(lines[3], "version 1.37");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], SegmentRecord(0xC000));
    EXPECT_EQ(lines[751], SegmentRecord(0xF000));
    EXPECT_EQ(lines[762], EndRecord);
    EXPECT_EQ(lines[763], "");

    std::vector<int> dataLines;
    for (const HexRecord& record : RecordsOfType(0))
        dataLines.push_back(record.line);
    std::vector<int> expected;
    for (int n = 6; n <= 761; ++n)
        if (n != 751)
            expected.push_back(n);
    EXPECT_EQ(dataLines, expected);
}

TEST_F(CommittedRelease, RecordsAreWellFormed) {
    EXPECT_EQ(RecordsOfType(0).size(), 755u);
    EXPECT_EQ(RecordsOfType(2).size(), 2u);
    EXPECT_EQ(RecordsOfType(1).size(), 1u);
    EXPECT_EQ(records.size(), 758u) << "no other record types";
    for (const HexRecord& record : records)
        EXPECT_TRUE(record.checksumRight) << "line " << record.line;
}

TEST_F(CommittedRelease, DataRecordSizes) {
    std::multiset<std::size_t> shorter;
    int full = 0;
    for (const HexRecord& record : RecordsOfType(0)) {
        if (record.data.size() == 32) {
            ++full;
            EXPECT_EQ(lines[record.line].size(), 75u);
        } else {
            shorter.insert(record.data.size());
        }
    }
    EXPECT_EQ(full, 741);
    EXPECT_EQ(shorter,
              (std::multiset<std::size_t>{3, 4, 4, 4, 4, 5, 8, 15, 18, 19, 19, 25, 28, 28}));
}

TEST_F(CommittedRelease, CoversTheThreeRangesExceptTheGapsOnce) {
    std::map<uint32_t, int> writes = WrittenAddresses();
    const std::set<uint32_t> gaps = {0xC0F77, 0xC0F97, 0xC1571, 0xC5AFD, 0xC5B69};
    std::set<uint32_t> expected;
    for (uint32_t a = 0xC0000; a <= 0xC5C38; ++a)
        if (!gaps.contains(a))
            expected.insert(a);
    for (uint32_t a = 0xF9D00; a <= 0xF9DFF; ++a)
        expected.insert(a);
    for (uint32_t a = 0xFFFDC; a <= 0xFFFFF; ++a)
        expected.insert(a);

    std::set<uint32_t> written;
    std::set<int> blocks;
    for (auto [address, times] : writes) {
        EXPECT_EQ(times, 1) << std::hex << address << " written more than once";
        written.insert(address);
        blocks.insert(FindBlock(address));
    }
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.size(), 23896u);
    EXPECT_EQ(blocks, (std::set<int>{0, 4, 8}));
}

TEST_F(CommittedRelease, DataAreNotAFill) {
    std::set<uint8_t> values;
    for (const HexRecord& record : RecordsOfType(0))
        values.insert(record.data.begin(), record.data.end());
    EXPECT_GT(values.size(), 128u);
}

} // namespace
} // namespace ob::testing
