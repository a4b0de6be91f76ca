// Writes the firmware release that obflash builds in when no other release file is given:
// the header and Intel HEX records of an OB7300 release 1.37, laid out like the maker's
// release (same address ranges, gaps, record sizes and line positions) with data of our own.
//
//   make_release [output-file]     (standard output when no file is named)

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// A run of consecutive addresses that carries data.
struct Run {
    uint32_t first;
    uint32_t length;
};

// The records of one extended segment: its segment value and its runs.
struct Section {
    uint16_t segment;
    std::vector<Run> runs;
    int records; // data records the section must have, so that every line falls in place
};

constexpr int FullRecord = 32;
const std::vector<int> ShortRecords = {3, 4, 4, 4, 4, 5, 8, 15, 18, 19, 19, 25, 28, 28};

// 0xC0000 to 0xC5C38 with five single addresses left out.
std::vector<Run> ProgramRuns() {
    const uint32_t first = 0xC0000, last = 0xC5C38;
    const std::vector<uint32_t> gaps = {0xC0F77, 0xC0F97, 0xC1571, 0xC5AFD, 0xC5B69};
    std::vector<Run> runs;
    uint32_t start = first;
    for (uint32_t gap : gaps) {
        runs.push_back({start, gap - start});
        start = gap + 1;
    }
    runs.push_back({start, last + 1 - start});
    return runs;
}

std::vector<Section> ReleaseSections() {
    return {
        {0xC000, ProgramRuns(), 745},
        {0xF000, {{0xF9D00, 0x100}, {0xFFFDC, 36}}, 10},
    };
}

// ---- Record sizes: every short record goes to one run, the rest of each run is full records.

struct RunPlan {
    const Run* run;
    int section;
};

class SizeArrangement {
public:
    explicit SizeArrangement(const std::vector<Section>& sections) : sections(sections) {
        for (int s = 0; s < int(sections.size()); ++s)
            for (const Run& run : sections[s].runs)
                plans.push_back({&run, s});
        chosen.resize(plans.size());
        failed.assign(plans.size() + 1, std::vector<bool>(1u << ShortRecords.size(), false));
    }

    // For every run, the short records it holds (as a bit set over ShortRecords).
    std::optional<std::vector<unsigned>> Find() {
        if (!place(0, (1u << ShortRecords.size()) - 1))
            return std::nullopt;
        return chosen;
    }

private:
    static int SizeOf(unsigned set) {
        int size = 0;
        for (unsigned i = 0; i < ShortRecords.size(); ++i)
            if (set & (1u << i))
                size += ShortRecords[i];
        return size;
    }

    static int RecordsOf(const Run& run, unsigned set) {
        return std::popcount(set) + (int(run.length) - SizeOf(set)) / FullRecord;
    }

    bool sectionRecordsFit(std::size_t lastPlan) const {
        int section = plans[lastPlan].section;
        if (lastPlan + 1 < plans.size() && plans[lastPlan + 1].section == section)
            return true;
        int records = 0;
        for (std::size_t p = 0; p <= lastPlan; ++p)
            if (plans[p].section == section)
                records += RecordsOf(*plans[p].run, chosen[p]);
        return records == sections[section].records;
    }

    // Sections are checked as they complete, so a failure at (plan, remaining) stays a failure
    // whatever came before, except inside a section that has not completed yet.
    bool place(std::size_t plan, unsigned remaining) {
        if (plan == plans.size())
            return remaining == 0;
        bool sectionOpen = plan > 0 && plans[plan - 1].section == plans[plan].section;
        if (!sectionOpen && failed[plan][remaining])
            return false;
        const Run& run = *plans[plan].run;
        for (unsigned set = remaining;; set = (set - 1) & remaining) {
            int rest = int(run.length) - SizeOf(set);
            if (rest >= 0 && rest % FullRecord == 0) {
                chosen[plan] = set;
                if (sectionRecordsFit(plan) && place(plan + 1, remaining & ~set))
                    return true;
            }
            if (set == 0)
                break;
        }
        if (!sectionOpen)
            failed[plan][remaining] = true;
        return false;
    }

    const std::vector<Section>& sections;
    std::vector<RunPlan> plans;
    std::vector<unsigned> chosen;
    std::vector<std::vector<bool>> failed;
};

// Full records first, then the short ones, largest first, as a linker leaves a tail.
std::vector<int> RecordSizes(const Run& run, unsigned shortSet) {
    std::vector<int> tail;
    for (unsigned i = 0; i < ShortRecords.size(); ++i)
        if (shortSet & (1u << i))
            tail.push_back(ShortRecords[i]);
    std::sort(tail.rbegin(), tail.rend());
    int used = 0;
    for (int size : tail)
        used += size;
    std::vector<int> sizes((int(run.length) - used) / FullRecord, FullRecord);
    sizes.insert(sizes.end(), tail.begin(), tail.end());
    return sizes;
}

// ---- Data bytes that read like a real-mode program: routines, a string table, a CRC table
// and the reset vector.

class Random {
public:
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    uint8_t Byte() { return uint8_t(Next() >> 24); }
    int Below(int limit) { return int(Next() % uint32_t(limit)); }

private:
    uint32_t state = 0x0B7300u;
};

class Image {
public:
    void Put(uint32_t address, uint8_t value) { bytes[address - Base] = value; }
    uint8_t At(uint32_t address) const { return bytes[address - Base]; }

private:
    static constexpr uint32_t Base = 0xC0000;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(0x100000 - Base, 0xFF);
};

class ByteWriter {
public:
    ByteWriter(Image& image, uint32_t address) : image(image), address(address) {}
    void Put(std::initializer_list<uint8_t> values) {
        for (uint8_t value : values)
            image.Put(address++, value);
    }
    void Text(const std::string& text) {
        for (char c : text)
            image.Put(address++, uint8_t(c));
    }
    uint32_t Address() const { return address; }

private:
    Image& image;
    uint32_t address;
};

void WriteInstruction(ByteWriter& out, Random& random) {
    switch (random.Below(10)) {
    case 0:
        out.Put({0x8B, uint8_t(0x46 + 8 * random.Below(4)), uint8_t(0xF0 + 2 * random.Below(8))});
        break;
    case 1:
        out.Put({0x89, uint8_t(0x46 + 8 * random.Below(4)), uint8_t(0x04 + 2 * random.Below(8))});
        break;
    case 2:
        out.Put({0xB8, random.Byte(), uint8_t(random.Below(4))});
        break;
    case 3:
        out.Put({0xE8, random.Byte(), uint8_t(0xF0 + random.Below(16))});
        break;
    case 4:
        out.Put({0x3D, random.Byte(), 0x00, uint8_t(0x74 + random.Below(4)),
                 uint8_t(random.Below(0x30))});
        break;
    case 5:
        out.Put({0x50, uint8_t(0x53 + random.Below(4)), 0xE8, random.Byte(), random.Byte()});
        break;
    case 6:
        out.Put({0x83, 0xC4, uint8_t(2 * (1 + random.Below(4)))});
        break;
    case 7:
        out.Put({0xA1, random.Byte(), uint8_t(0x12 + random.Below(3))});
        break;
    case 8:
        out.Put({0x33, 0xC0});
        break;
    default:
        out.Put({0x26, 0x8A, 0x07, 0x43});
        break;
    }
}

void WriteRoutine(ByteWriter& out, Random& random) {
    out.Put({0x55, 0x8B, 0xEC});
    if (random.Below(2))
        out.Put({0x83, 0xEC, uint8_t(2 * (1 + random.Below(8)))});
    for (int n = 4 + random.Below(28); n > 0; --n)
        WriteInstruction(out, random);
    out.Put({0x8B, 0xE5, 0x5D, 0xC3});
}

void WriteStrings(ByteWriter& out) {
    const std::vector<std::string> strings = {
        "CTRLORBEL",
        "CS Orbeline",
        "1.37",
        "OB7300 antenna controller",
        "Elevation limit",
        "Azimuth limit",
        "Motor overcurrent",
        "Position sensor fault",
        "Calibrating",
        "Ready",
        "Tracking",
        "Parked",
        "Stow position reached",
        "Configuration checksum error",
        "Watchdog reset",
        "Serial link lost",
    };
    for (const std::string& text : strings) {
        out.Text(text);
        out.Put({0x00});
    }
}

void WriteProgram(Image& image, uint32_t first, uint32_t last) {
    Random random;
    ByteWriter out(image, first);
    out.Put({0xFA, 0xFC, 0xB8, 0x00, 0xC0, 0x8E, 0xD8, 0xEA, 0x10, 0x00, 0x00, 0xC0});
    const uint32_t stringTable = last - 0x1F0;
    while (out.Address() < stringTable - 0x100)
        WriteRoutine(out, random);
    while (out.Address() < stringTable)
        out.Put({0x90});
    WriteStrings(out);
    while (out.Address() <= last)
        out.Put({0x00});
}

// CRC-16/CCITT table, first 128 entries.
void WriteCrcTable(Image& image, uint32_t first) {
    for (uint32_t entry = 0; entry < 128; ++entry) {
        uint16_t crc = uint16_t(entry << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = uint16_t(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
        image.Put(first + 2 * entry, uint8_t(crc));
        image.Put(first + 2 * entry + 1, uint8_t(crc >> 8));
    }
}

// Build stamp, reset vector (far jump to C000:0000), date and model byte.
void WriteResetArea(Image& image) {
    ByteWriter out(image, 0xFFFDC);
    out.Text("OB7300 R1.37 CTRL ");
    out.Put({0x25, 0x01});
    out.Put({0xEA, 0x00, 0x00, 0x00, 0xC0});
    out.Text("05/14/24");
    out.Put({0x00, 0xFC});
    uint8_t sum = 0;
    for (uint32_t address = 0xFFFDC; address < 0xFFFFF; ++address)
        sum = uint8_t(sum + image.At(address));
    out.Put({uint8_t(-sum)});
}

Image ReleaseData() {
    Image image;
    WriteProgram(image, 0xC0000, 0xC5C38);
    WriteCrcTable(image, 0xF9D00);
    WriteResetArea(image);
    return image;
}

// ---- Text of the file.

std::string Hex(unsigned value, int digits) {
    char text[9];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Record(uint8_t type, uint16_t offset, const std::vector<uint8_t>& data) {
    uint8_t sum = uint8_t(data.size() + (offset >> 8) + offset + type);
    std::string line = ":" + Hex(unsigned(data.size()), 2) + Hex(offset, 4) + Hex(type, 2);
    for (uint8_t value : data) {
        line += Hex(value, 2);
        sum = uint8_t(sum + value);
    }
    return line + Hex(uint8_t(-sum), 2);
}

std::vector<std::string> ReleaseLines() {
    const std::vector<Section> sections = ReleaseSections();
    std::optional<std::vector<unsigned>> shortSets = SizeArrangement(sections).Find();
    if (!shortSets)
        return {};
    const Image image = ReleaseData();

    std::vector<std::string> lines = {"KELNO Electronics firmware file", "name CS Orbeline",
                                      "progid CTRLORBEL", "version 1.37", ""};
    std::size_t plan = 0;
    for (const Section& section : sections) {
        lines.push_back(Record(2, 0, {uint8_t(section.segment >> 8), uint8_t(section.segment)}));
        for (const Run& run : section.runs) {
            uint32_t address = run.first;
            for (int size : RecordSizes(run, (*shortSets)[plan++])) {
                std::vector<uint8_t> data;
                for (int k = 0; k < size; ++k)
                    data.push_back(image.At(address + uint32_t(k)));
                lines.push_back(Record(0, uint16_t(address), data));
                address += uint32_t(size);
            }
        }
    }
    lines.push_back(":00000001FF");
    lines.push_back("");
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> lines = ReleaseLines();
    if (lines.empty()) {
        std::cerr << "make_release: the record sizes do not fit the address ranges\n";
        return 1;
    }
    std::ofstream file;
    if (argc > 1) {
        file.open(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "make_release: cannot write " << argv[1] << "\n";
            return 1;
        }
    }
    std::ostream& out = argc > 1 ? file : std::cout;
    for (const std::string& line : lines)
        out << line << '\n';
    out.flush();
    return out ? 0 : 1;
}
