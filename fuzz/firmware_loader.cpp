// The firmware loader over arbitrary text, split into lines at "\n".

#include "firmware/image_loader.h"
#include "fuzz/invariant.h"
#include "tests/support/recording_view.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace {

using namespace ob;

// Each line in an allocation of exactly its own size, so that reading one character past a
// line is an overflow that AddressSanitizer sees, not a read of the next line.
class SeparateLines {
public:
    explicit SeparateLines(std::string_view text) {
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = std::min(text.find('\n', start), text.size());
            add(text.substr(start, end - start));
            start = end + 1;
        }
    }

    std::span<const std::string_view> Lines() const { return views; }

private:
    void add(std::string_view line) {
        auto& copy = storage.emplace_back(std::make_unique<char[]>(line.size()));
        std::copy(line.begin(), line.end(), copy.get());
        views.emplace_back(copy.get(), line.size());
    }

    std::vector<std::unique_ptr<char[]>> storage;
    std::vector<std::string_view> views;
};

// The chunks in use run unbroken from index 0, each inside its window; every chunk in use
// was taken by a byte that counted.
void CheckImageShape() {
    bool freeSeen = false;
    int inUse = 0;
    for (const ImageChunk& chunk : Firmware.FlashImage) {
        if (chunk.Address == -1) {
            freeSeen = true;
            FUZZ_CHECK(chunk.Length == 0);
            continue;
        }
        FUZZ_CHECK(!freeSeen);
        FUZZ_CHECK(chunk.Address >= 0);
        FUZZ_CHECK(chunk.Length >= 1 && chunk.Length <= ChunkSize);
        ++inUse;
    }
    FUZZ_CHECK(Firmware.ImageBytes >= inUse);
}

// The result and the last log line tell the same story.
void CheckReport(bool invalid, const testing::RecordingView& view) {
    FUZZ_CHECK(!view.messages.empty());
    const std::string& last = view.messages.back();
    if (invalid)
        FUZZ_CHECK(last == "-- THIS IS NOT A VALID KELNO ELECTRONICS FIRMWARE FILE.");
    else
        FUZZ_CHECK(last.starts_with("$Prepared firmware \""));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    testing::RecordingView view;
    SeparateLines file(std::string_view(reinterpret_cast<const char*>(data), size));
    bool invalid = LoadFirmwareLines(file.Lines());
    CheckReport(invalid, view);
    if (!invalid)
        CheckImageShape();
    return 0;
}
