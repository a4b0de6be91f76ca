#include "bench/cpu_clock.h"
#include "bench/figure_runs.h"
#include "bench/full_image_file.h"

#include "app/main_window.h"
#include "firmware/image_loader.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

namespace ob::bench {

namespace {

constexpr int EmbeddedRepeats = 21;
constexpr int FullImageRepeats = 3;

// The median time of `repeats` calls of `load`, ms; negative when one reported an invalid file.
double MedianLoadMs(int repeats, const std::function<bool()>& load) {
    std::vector<double> times;
    for (int n = 0; n < repeats; ++n) {
        const auto start = Clock::now();
        if (load())
            return -1;
        times.push_back(Milliseconds(Clock::now() - start));
    }
    std::ranges::sort(times);
    return times[times.size() / 2];
}

bool EveryChunkUsed() {
    return Firmware.FlashImage.back().Address != -1;
}

} // namespace

// The loader logs through the window, so a real one is installed (not shown).
QJsonObject RunLoad() {
    TfmMain window;
    const double embedded = MedianLoadMs(EmbeddedRepeats, [] { return ob::loadfile(); });

    const std::vector<std::string> file = FullImageFileLines();
    const std::vector<std::string_view> lines(file.begin(), file.end());
    const double full = MedianLoadMs(FullImageRepeats, [&] { return LoadFirmwareLines(lines); });
    if (embedded < 0 || full < 0 || !EveryChunkUsed())
        return {{"error", "a firmware file did not load as it should"}};
    return {{"load_embedded_ms", embedded}, {"load_full_image_ms", full}};
}

} // namespace ob::bench
