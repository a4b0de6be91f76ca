// How the image goes into the flash: the erases, the trace, the progress, small images.

#include "core/switches.h"
#include "firmware/image_loader.h"
#include "firmware/tests/firmware_text.h"
#include "update_fixture.h"

#include <cstdio>

namespace ob::testing {
namespace {

std::string TransmittingLine(const ImageChunk& chunk) {
    char text[64];
    std::snprintf(text, sizeof text, "Transmitting %02X bytes at %05X.", unsigned(chunk.Length),
                  unsigned(chunk.Address));
    return text;
}

std::vector<const ImageChunk*> ChunksInUse() {
    std::vector<const ImageChunk*> used;
    for (const ImageChunk& chunk : Firmware.FlashImage)
        if (chunk.Address != -1)
            used.push_back(&chunk);
    return used;
}

int32_t LengthOfAllChunks() {
    int32_t sum = 0;
    for (const ImageChunk* chunk : ChunksInUse())
        sum += chunk->Length;
    return sum;
}

std::vector<uint8_t> Counting(std::size_t count, uint8_t from) {
    std::vector<uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(from + i);
    return bytes;
}

TEST_F(UpdateRun, EmbeddedImageErasesBlocks8And4AndTracesEveryChunk) {
    sim::SimOptions options;
    options.ReleasePath = OBFLASH_TEST_RELEASE;
    ASSERT_TRUE(StartSimulator(options));
    CommandLine = {"x", "x", "/LOG"};

    RunUpdate();

    ASSERT_EQ(Firmware.FlashImage[0].Address, 0xC0000);
    std::vector<std::string> expected;
    for (const ImageChunk* chunk : ChunksInUse()) {
        expected.push_back(TransmittingLine(*chunk));
        if (chunk == &Firmware.FlashImage[0])
            expected.push_back("Erasing block C0000-CFFFF.");
    }
    std::vector<std::string> seen;
    for (const std::string& line : view.logLines())
        if (line.starts_with("Transmitting") || line.starts_with("Erasing"))
            seen.push_back(line);
    // Block 4's erase follows the trace line of the first chunk that reaches into it.
    auto firstInBlock4 = std::find_if(expected.begin(), expected.end(), [](const std::string& l) {
        return l.find(" at F8") != std::string::npos || l.find(" at F9") != std::string::npos;
    });
    ASSERT_NE(firstInBlock4, expected.end());
    expected.insert(firstInBlock4 + 1, "Erasing block F8000-F9FFF.");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(seen.back(), "Transmitting 24 bytes at FFFDC.") << "block 0: written, not erased";

    EXPECT_EQ(view.caption(Control::lResult), "Firmware upgrade successful.");
    EXPECT_EQ(view.caption(Control::lProgress), "working... 100%  ");
    EXPECT_EQ(view.width(Control::lProgress),
              ProgressPanelWidth * LengthOfAllChunks() / Firmware.ImageBytes);
    ExpectFlashHoldsImage();
}

// Chunk 0 runs from block 5 into block 4; chunk 1 lies in block 4, chunk 2 in block 5 again
// and holds a gap, so the chunks' lengths add up to more than the image's bytes.
TEST_F(UpdateRun, ChunkAcrossBlocks5And4ErasesBothOnce) {
    auto lines =
        FirmwareText({"progid CTRLORBEL", "version 1.37", LinearRecord(0x000F),
                      DataRecord(0x7F80, Counting(248, 0)), DataRecord(0x8100, Counting(49, 0x40)),
                      DataRecord(0x7000, {0x11}), DataRecord(0x700A, {0x22}), EndRecord});
    ASSERT_FALSE(Load(lines));
    ASSERT_EQ(Firmware.FlashImage[0].Address, 0xF7F80);
    ASSERT_EQ(Firmware.FlashImage[2].Length, 11);
    view.logText.clear();
    ASSERT_TRUE(StartSimulator({}));

    RunUpdate();

    EXPECT_EQ(
        LogLinesStartingWith("Erasing"),
        (std::vector<std::string>{"Erasing block F0000-F7FFF.", "Erasing block F8000-F9FFF."}));
    EXPECT_EQ(CommandCodes(), "1x2 2 3 6x2 7x3 4");
    EXPECT_EQ(view.caption(Control::lResult), "Firmware upgrade successful.");
    EXPECT_EQ(view.caption(Control::lProgress), "working... 100%  ");
    EXPECT_EQ(view.width(Control::lProgress), ProgressPanelWidth * (248 + 49 + 11) / (248 + 49 + 2))
        << "not capped at the panel's width";
    ExpectFlashHoldsImage();
}

TEST_F(UpdateRun, ImageWithoutChunksSucceedsWithoutErasingOrWriting) {
    ASSERT_FALSE(Load(FirmwareText({"progid CTRLORBEL", "version 1.37", EndRecord})));
    ASSERT_EQ(Firmware.FlashImage[0].Address, -1);
    ASSERT_TRUE(StartSimulator({}));

    RunUpdate();

    ExpectOutcome({"Firmware upgrade successful.", Reports::None, false, false, true});
    EXPECT_EQ(CommandCodes(), "1x2 2 3 4");
    EXPECT_EQ(view.width(Control::lProgress), 0);
}

} // namespace
} // namespace ob::testing
