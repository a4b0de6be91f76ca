#include "sim/release_file.h"

#include "sim/flash_memory.h"

#include <charconv>
#include <fstream>

namespace ob::sim {

namespace {

const std::string MagicLine = "KELNO Electronics firmware file";

struct HexRecord {
    uint8_t Type = 0;
    uint16_t Offset = 0;
    std::vector<uint8_t> Data;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// ":" count(2) offset(4) type(2) data(2 * count) checksum(2), every byte summing to 0.
std::optional<HexRecord> ParseRecord(const std::string& line) {
    if (line.size() < 11 || line[0] != ':' || (line.size() - 1) % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> raw;
    for (size_t i = 1; i < line.size(); i += 2) {
        int high = HexDigit(line[i]), low = HexDigit(line[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        raw.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    uint8_t sum = 0;
    for (uint8_t byte : raw)
        sum = static_cast<uint8_t>(sum + byte);
    if (sum != 0 || raw.size() != raw[0] + 5u)
        return std::nullopt;
    HexRecord record;
    record.Offset = static_cast<uint16_t>(raw[1] << 8 | raw[2]);
    record.Type = raw[3];
    record.Data.assign(raw.begin() + 4, raw.end() - 1);
    return record;
}

std::optional<uint16_t> ParseVersion(const std::string& text) {
    size_t point = text.find('.');
    if (point == std::string::npos)
        return std::nullopt;
    unsigned major = 0, minor = 0;
    auto [majorEnd, majorError] = std::from_chars(text.data(), text.data() + point, major);
    auto [minorEnd, minorError] =
        std::from_chars(text.data() + point + 1, text.data() + text.size(), minor);
    if (majorError != std::errc{} || minorError != std::errc{} || majorEnd != text.data() + point ||
        minorEnd != text.data() + text.size() || major > 255 || minor > 255)
        return std::nullopt;
    return static_cast<uint16_t>(major * 256 + minor);
}

bool StartsWith(const std::string& line, const std::string& key) {
    return line.compare(0, key.size(), key) == 0;
}

std::optional<ReleaseImage> Fail(std::string* error, const std::string& reason) {
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

std::optional<ReleaseImage> ParseRelease(const std::vector<std::string>& lines,
                                         std::string* error) {
    if (lines.empty() || lines[0] != MagicLine)
        return Fail(error, "the first line is not \"" + MagicLine + "\"");
    ReleaseImage image;
    image.Flash.assign(FlashSize, 0xFF);
    uint32_t base = 0;
    bool segmented = false; // a type 02 base wraps offsets within its 64 KiB
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        std::string where = "line " + std::to_string(n + 1) + ": ";
        if (line.empty())
            continue;
        if (StartsWith(line, "progid ")) {
            image.ProgId = line.substr(7);
        } else if (StartsWith(line, "version ")) {
            auto version = ParseVersion(line.substr(8));
            if (!version)
                return Fail(error, where + "the version is not major.minor");
            image.Version = *version;
        } else if (StartsWith(line, "name ")) {
            continue;
        } else if (line[0] == ':') {
            auto record = ParseRecord(line);
            if (!record)
                return Fail(error, where + "malformed record or wrong checksum");
            switch (record->Type) {
            case 0x00:
                for (size_t i = 0; i < record->Data.size(); ++i) {
                    uint32_t offset = record->Offset + static_cast<uint32_t>(i);
                    uint32_t address = base + (segmented ? offset & 0xFFFF : offset);
                    if (address >= FlashSize)
                        return Fail(error, where + "data beyond the 1 MiB of flash");
                    image.Flash[address] = record->Data[i];
                    ++image.DataBytes;
                }
                break;
            case 0x01:
                return image;
            case 0x02:
            case 0x04:
                if (record->Data.size() != 2)
                    return Fail(error, where + "an address record carries two bytes");
                base = static_cast<uint32_t>(record->Data[0] << 8 | record->Data[1]);
                segmented = record->Type == 0x02;
                base <<= segmented ? 4 : 16;
                break;
            default:
                return Fail(error, where + "unsupported record type");
            }
        } else {
            return Fail(error, where + "neither a header line nor a record");
        }
    }
    return Fail(error, "no end record");
}

std::optional<ReleaseImage> ReadReleaseFile(const std::string& path, std::string* error) {
    std::ifstream file(path);
    if (!file)
        return Fail(error, "cannot open " + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    auto image = ParseRelease(lines, error);
    if (!image && error)
        *error = path + ": " + *error;
    return image;
}

} // namespace ob::sim
