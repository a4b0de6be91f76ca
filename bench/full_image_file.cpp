#include "bench/full_image_file.h"

#include "firmware/image_loader.h"

#include <cstdint>
#include <cstdio>

namespace ob::bench {

namespace {

constexpr uint32_t ImageCapacity = uint32_t(ChunkCount) * ChunkSize;
constexpr uint32_t RecordBytes = 32; // a divisor of 64 KiB: no record crosses a boundary
constexpr uint32_t SegmentBytes = 0x10000;

// ":" count, address, type, data, and the checksum that brings their sum to 0.
std::string Record(uint16_t address, uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> fields{uint8_t(data.size()), uint8_t(address >> 8), uint8_t(address),
                                type};
    fields.insert(fields.end(), data.begin(), data.end());
    uint8_t sum = 0;
    std::string line = ":";
    char digits[3];
    for (uint8_t field : fields) {
        sum = uint8_t(sum + field);
        std::snprintf(digits, sizeof digits, "%02X", field);
        line += digits;
    }
    std::snprintf(digits, sizeof digits, "%02X", uint8_t(-sum));
    return line + digits;
}

std::vector<uint8_t> DataAt(uint32_t address) {
    std::vector<uint8_t> data(RecordBytes);
    for (uint32_t i = 0; i < RecordBytes; ++i)
        data[i] = uint8_t((address + i) * 7);
    return data;
}

} // namespace

std::vector<std::string> FullImageFileLines() {
    std::vector<std::string> lines{"KELNO Electronics firmware file", "name Full image",
                                   "progid CTRLORBEL", "version 1.37"};
    for (uint32_t address = 0; address < ImageCapacity; address += RecordBytes) {
        if (address % SegmentBytes == 0) {
            const uint16_t upper = uint16_t(address / SegmentBytes);
            lines.push_back(Record(0, 4, {uint8_t(upper >> 8), uint8_t(upper)}));
        }
        lines.push_back(Record(uint16_t(address), 0, DataAt(address)));
    }
    lines.push_back(":00000001FF");
    return lines;
}

} // namespace ob::bench
