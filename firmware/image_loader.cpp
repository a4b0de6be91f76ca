#include "firmware/image_loader.h"

#include "core/wizard_view.h"
#include "firmware/firmware_file.h"
#include "firmware/line_cursor.h"
#include "firmware/version_text.h"

#include <algorithm>

namespace ob {

namespace {

constexpr std::string_view MagicLine = "KELNO Electronics firmware file";
constexpr std::string_view InvalidFileLine =
    "-- THIS IS NOT A VALID KELNO ELECTRONICS FIRMWARE FILE.";
constexpr std::string_view TruncatedTextLine =
    "-- THIS SYTEM SUFFERS FROM TRUNCATED TEXT IN TEXT CONTROLS.";
constexpr std::string_view RecentSystemLine = "-- YOU NEED A MORE RECENT OPERATING SYSTEM.";
constexpr std::size_t HeaderTextLimit = 255;

enum RecordType : uint16_t { Data = 0, EndOfFile = 1, ExtendedSegment = 2, ExtendedLinear = 4 };

// Up to `count` characters of `text` from position `from`; empty past its end.
std::string_view Part(std::string_view text, std::size_t from,
                      std::size_t count = std::string_view::npos) {
    return from >= text.size() ? std::string_view() : text.substr(from, count);
}

std::string HeaderText(std::string_view line, std::size_t keyAndSeparator) {
    return std::string(Part(line, keyAndSeparator, HeaderTextLimit));
}

uint8_t LowByte(uint16_t value) {
    return uint8_t(value);
}
uint8_t HighByte(uint16_t value) {
    return uint8_t(value >> 8);
}

void ClearImage() {
    for (ImageChunk& chunk : Firmware.FlashImage)
        chunk = ImageChunk{};
    Firmware.ImageBytes = 0;
    Firmware.FwProgId.clear();
    Firmware.FwVersion = 0;
}

// The first chunk that is free or whose window holds the address strictly after its start.
// Chunks in use come first, so a free one is reached only after all of them were tried.
ImageChunk* ChunkFor(int32_t address) {
    for (ImageChunk& chunk : Firmware.FlashImage) {
        if (chunk.Address == -1)
            return &chunk;
        if (chunk.Address < address && int64_t(address) < int64_t(chunk.Address) + ChunkSize)
            return &chunk;
    }
    return nullptr;
}

class FirmwareFileReader {
public:
    explicit FirmwareFileReader(std::span<const std::string_view> lines) : cursor(lines) {}

    // True when the file is invalid.
    bool Read() {
        if (cursor.NextLine() != MagicLine)
            return Invalid();
        currentAddress = -1;
        while (!cursor.LinesExhausted())
            if (!readLine(cursor.NextLine()))
                return Invalid();
        if (!endSeen) {
            Trace(TruncatedTextLine);
            Trace(RecentSystemLine);
            return Invalid();
        }
        Trace("$Prepared firmware \"" + releaseName + "\" (" + Firmware.FwProgId + ") v" +
              versionText + ".");
        return false;
    }

private:
    static bool Invalid() {
        Trace(InvalidFileLine);
        return true;
    }

    // Each reader below returns false when the line makes the file invalid.
    bool readLine(std::string_view line) {
        if (line.starts_with("name"))
            releaseName = HeaderText(line, 5);
        else if (line.starts_with("progid"))
            Firmware.FwProgId = HeaderText(line, 7);
        else if (line.starts_with("version"))
            return readVersion(Part(line, 8));
        else if (!line.empty())
            return line.starts_with(':') && readRecord(line.substr(1));
        return true;
    }

    bool readVersion(std::string_view text) {
        versionText = std::string(text);
        std::optional<uint16_t> value = VersionValue(text);
        if (value)
            Firmware.FwVersion = *value;
        return value.has_value();
    }

    bool readRecord(std::string_view record) {
        uint16_t count = HexValue(Part(record, 0, 2));
        uint16_t offset = HexValue(Part(record, 2, 4));
        uint16_t type = HexValue(Part(record, 6, 2));
        sum = uint8_t(count + LowByte(offset) + HighByte(offset) + LowByte(type));
        std::string_view rest = Part(record, 8);
        switch (type) {
        case Data:
            return readData(count, offset, rest);
        case EndOfFile:
            return readEnd(rest);
        case ExtendedSegment:
        case ExtendedLinear:
            return readExtendedAddress(type, rest);
        default:
            return false;
        }
    }

    // Whatever follows the data is the checksum, trailing characters included.
    bool readData(uint16_t count, uint16_t offset, std::string_view rest) {
        currentAddress = int32_t((uint32_t(currentAddress) & 0xFFFF0000u) | offset);
        for (uint16_t n = 0; n < count; ++n) {
            uint8_t value = LowByte(HexValue(Part(rest, 0, 2)));
            rest = Part(rest, 2);
            sum = uint8_t(sum + value);
            if (!storeByte(value))
                return false;
        }
        sum = uint8_t(sum + LowByte(HexValue(rest)));
        return sum == 0;
    }

    bool storeByte(uint8_t value) {
        if (currentAddress < 0)
            return false;
        ImageChunk* chunk = ChunkFor(currentAddress);
        if (chunk == nullptr)
            return false;
        if (chunk->Address == -1)
            chunk->Address = currentAddress;
        int offset = currentAddress - chunk->Address;
        chunk->Data[offset] = value;
        chunk->Length = std::max<uint16_t>(chunk->Length, uint16_t(offset + 1));
        currentAddress = int32_t(uint32_t(currentAddress) + 1);
        ++Firmware.ImageBytes;
        return true;
    }

    // The end record ends the file: the lines after it are passed over unread.
    bool readEnd(std::string_view rest) {
        if (HexValue(rest) != 0x00FF)
            return false;
        while (!cursor.LinesExhausted())
            cursor.NextLine();
        endSeen = true;
        return true;
    }

    bool readExtendedAddress(uint16_t type, std::string_view rest) {
        uint16_t value = HexValue(Part(rest, 0, 4));
        sum = uint8_t(sum + HighByte(value) + LowByte(value) + LowByte(HexValue(Part(rest, 4, 2))));
        if (sum != 0)
            return false;
        currentAddress = type == ExtendedSegment ? int32_t(uint32_t(value) << 4)
                                                 : int32_t(uint32_t(value) << 16);
        return true;
    }

    LineCursor cursor;
    int32_t currentAddress = -1; // -1 until an extended address record has been read
    uint8_t sum = 0;
    bool endSeen = false;
    std::string releaseName;
    std::string versionText;
};

} // namespace

bool LoadFirmwareLines(std::span<const std::string_view> lines) {
    ClearImage();
    return FirmwareFileReader(lines).Read();
}

bool loadfile() {
    return LoadFirmwareLines(FirmwareFile);
}

} // namespace ob
