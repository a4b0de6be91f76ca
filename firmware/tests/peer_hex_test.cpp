// Intel HEX written by srec_cat and objcopy from binary data, loaded and compared byte for byte
// with the binary that the same tool reads back out of its own file.

#include "firmware_text.h"
#include "tests/support/recording_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

namespace ob::testing {
namespace {

namespace fs = std::filesystem;

enum class Tool { SrecCat, Objcopy };

struct Region {
    uint32_t address;
    uint32_t size;
};

struct PeerCase {
    std::string name;
    Tool tool;
    std::string writeOptions;
    std::vector<Region> regions;
    std::set<int> addressTypes; // the extended address record types the file must hold
    bool crossesSegment;        // some data record runs past a 64 KiB boundary
};

void PrintTo(const PeerCase& peer, std::ostream* out) {
    *out << peer.name;
}

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "obflash-peer-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    }
    ~ScratchDirectory() {
        if (!path.empty())
            fs::remove_all(path);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }

    fs::path path;
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::vector<uint8_t> PseudoRandomBytes(uint32_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& value : bytes) {
        seed = seed * 1103515245u + 12345u;
        value = uint8_t(seed >> 16);
    }
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void RunTool(const std::string& command) {
    ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
}

// The image as address → byte, over every chunk's length.
std::map<uint32_t, uint8_t> ImageBytesByAddress() {
    std::map<uint32_t, uint8_t> bytes;
    for (int index = 0; index < ChunksInUse(); ++index) {
        const ImageChunk& chunk = Firmware.FlashImage[index];
        for (int k = 0; k < chunk.Length; ++k)
            bytes.emplace(uint32_t(chunk.Address) + uint32_t(k), chunk.Data[k]);
    }
    return bytes;
}

// What the file holds, read here with no help from the loader.
struct HexShape {
    std::set<int> addressTypes;
    bool crossesSegment = false;
};

HexShape ShapeOf(const std::vector<std::string>& lines) {
    HexShape shape;
    for (const std::string& line : lines) {
        if (line.size() < 11 || line[0] != ':')
            continue;
        unsigned count = std::stoul(line.substr(1, 2), nullptr, 16);
        unsigned offset = std::stoul(line.substr(3, 4), nullptr, 16);
        int type = std::stoi(line.substr(7, 2), nullptr, 16);
        if (type == 2 || type == 4)
            shape.addressTypes.insert(type);
        if (type == 0 && offset + count > 0x10000)
            shape.crossesSegment = true;
    }
    return shape;
}

class PeerHexTest : public ::testing::TestWithParam<PeerCase> {
protected:
    std::string ToolPath() const {
        return GetParam().tool == Tool::SrecCat ? SREC_CAT_PATH : OBJCOPY_PATH;
    }

    void WriteHex(const std::string& hexFile) {
        const PeerCase& peer = GetParam();
        std::string command = Quoted(ToolPath());
        if (peer.tool == Tool::Objcopy) {
            command += " -I binary -O ihex --change-section-address .data=" +
                       Hex(peer.regions[0].address) + " " + Quoted(scratch.File("region0.bin"));
        } else {
            for (std::size_t r = 0; r < peer.regions.size(); ++r)
                command += " " + Quoted(scratch.File("region" + std::to_string(r) + ".bin")) +
                           " -binary -offset " + Hex(peer.regions[r].address);
            command += " -o";
        }
        RunTool(command + " " + Quoted(hexFile) + " " + peer.writeOptions);
    }

    // The tool's own reading of its file, one region at a time.
    std::vector<uint8_t> ReadBack(const std::string& hexFile, const Region& region,
                                  const std::string& binFile) {
        if (GetParam().tool == Tool::Objcopy)
            RunTool(Quoted(ToolPath()) + " -I ihex -O binary " + Quoted(hexFile) + " " +
                    Quoted(binFile));
        else
            RunTool(Quoted(ToolPath()) + " " + Quoted(hexFile) + " -intel -crop " +
                    Hex(region.address) + " " + Hex(region.address + region.size) + " -offset -" +
                    Hex(region.address) + " -o " + Quoted(binFile) + " -binary");
        return ReadBytes(binFile);
    }

    RecordingView view;
    ScratchDirectory scratch;
};

TEST_P(PeerHexTest, LoadsWhatTheToolReadsBack) {
    const PeerCase& peer = GetParam();
    ASSERT_FALSE(ToolPath().empty()) << "the tool was not found when the build was configured";
    ASSERT_FALSE(scratch.path.empty());

    std::vector<std::vector<uint8_t>> written;
    for (std::size_t r = 0; r < peer.regions.size(); ++r) {
        written.push_back(PseudoRandomBytes(peer.regions[r].size, uint32_t(r + 1)));
        WriteBytes(scratch.File("region" + std::to_string(r) + ".bin"), written.back());
    }
    const std::string hexFile = scratch.File("image.hex");
    ASSERT_NO_FATAL_FAILURE(WriteHex(hexFile));

    std::vector<std::string> records = ReadLines(hexFile);
    HexShape shape = ShapeOf(records);
    ASSERT_EQ(shape.addressTypes, peer.addressTypes);
    ASSERT_EQ(shape.crossesSegment, peer.crossesSegment);

    std::vector<std::string> lines = {MagicLine, "name Peer", "progid PEER", "version 1.0"};
    lines.insert(lines.end(), records.begin(), records.end());
    ASSERT_FALSE(Load(lines)) << view.logText;

    std::map<uint32_t, uint8_t> image = ImageBytesByAddress();
    uint32_t total = 0;
    for (std::size_t r = 0; r < peer.regions.size(); ++r) {
        const Region& region = peer.regions[r];
        std::vector<uint8_t> back;
        ASSERT_NO_FATAL_FAILURE(
            back = ReadBack(hexFile, region, scratch.File("back" + std::to_string(r) + ".bin")));
        ASSERT_EQ(back, written[r]) << "the tool's own round trip";
        for (uint32_t k = 0; k < region.size; ++k) {
            auto found = image.find(region.address + k);
            ASSERT_NE(found, image.end()) << std::hex << region.address + k;
            ASSERT_EQ(found->second, back[k]) << std::hex << region.address + k;
        }
        total += region.size;
    }
    EXPECT_EQ(image.size(), total) << "bytes outside the regions";
    EXPECT_EQ(Firmware.ImageBytes, int32_t(total));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, PeerHexTest,
    ::testing::Values(
        PeerCase{"SrecCatSegmented",
                 Tool::SrecCat,
                 "-intel -address-length=3",
                 {{0x2F7F3, 6000}, {0xE0000, 300}},
                 {2},
                 false},
        PeerCase{"SrecCatLinearCrossing64KiB",
                 Tool::SrecCat,
                 "-intel -address-length=4 -Output_Block_Size=24",
                 {{0xFFF5, 4000}, {0x7FFEF005, 9000}},
                 {4},
                 true},
        PeerCase{
            "ObjcopyBelowAndAbove1MiB", Tool::Objcopy, "", {{0xFE7F0, 0x3000}}, {2, 4}, false}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace ob::testing
