#pragma once
// Writing and loading small firmware files in tests.

#include "firmware/image_loader.h"

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace ob::testing {

inline const std::string MagicLine = "KELNO Electronics firmware file";
inline const std::string EndRecord = ":00000001FF";

// An Intel HEX record with its checksum.
inline std::string Record(uint8_t type, uint16_t offset, const std::vector<uint8_t>& data) {
    static const char digits[] = "0123456789ABCDEF";
    std::string line = ":";
    uint8_t sum = 0;
    auto put = [&](uint8_t value) {
        line += digits[value >> 4];
        line += digits[value & 15];
        sum = uint8_t(sum + value);
    };
    put(uint8_t(data.size()));
    put(uint8_t(offset >> 8));
    put(uint8_t(offset));
    put(type);
    for (uint8_t value : data)
        put(value);
    put(uint8_t(-sum));
    return line;
}

inline std::string DataRecord(uint16_t offset, const std::vector<uint8_t>& data) {
    return Record(0, offset, data);
}
inline std::string SegmentRecord(uint16_t segment) {
    return Record(2, 0, {uint8_t(segment >> 8), uint8_t(segment)});
}
inline std::string LinearRecord(uint16_t upper) {
    return Record(4, 0, {uint8_t(upper >> 8), uint8_t(upper)});
}

// The magic line followed by `body`.
inline std::vector<std::string> FirmwareText(std::initializer_list<std::string> body) {
    std::vector<std::string> lines = {MagicLine};
    lines.insert(lines.end(), body);
    return lines;
}

inline bool Load(const std::vector<std::string>& lines) {
    std::vector<std::string_view> views(lines.begin(), lines.end());
    return LoadFirmwareLines(views);
}

// Lines without their LF or CR LF terminators.
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline int ChunksInUse() {
    int used = 0;
    while (used < ChunkCount && Firmware.FlashImage[used].Address != -1)
        ++used;
    return used;
}

} // namespace ob::testing
