#include "core/reduce/ThreadPaletteReducer.h"

#include <algorithm>
#include <numeric>

#include "core/palette/NearestThread.h"

namespace kanvo {

// First version: every stitch takes its nearest thread, and only the `threads` most used of
// those stay; the others go to the nearest kept one. The perceptual matching, the diffusion
// and the clean-up follow.
std::vector<ColorValue> ThreadPaletteReducer::reduce(std::span<const ColorValue> picture,
    int /*width*/, int /*height*/, const ThreadReductionSettings& settings, const ThreadTable& table)
{
    const NearestThread& search = NearestThread::forTable(table);
    std::vector<int> uses(ThreadTable::kThreads + 1, 0);
    std::vector<int> nearest(picture.size());
    for (std::size_t i = 0; i < picture.size(); ++i)
        ++uses[static_cast<std::size_t>(nearest[i] = search.nearest(picture[i]))];

    std::vector<int> order(uses.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] > uses[b]; });
    const int budget = std::clamp(settings.threads, ThreadReductionSettings::kMinThreads,
        ThreadReductionSettings::kMaxThreads);
    std::vector<int> kept;
    for (int t : order)
        if (uses[static_cast<std::size_t>(t)] > 0 && static_cast<int>(kept.size()) < budget)
            kept.push_back(t);

    std::vector<ColorValue> reduced(picture.size());
    for (std::size_t i = 0; i < picture.size(); ++i) {
        int best = kept.front();
        for (int t : kept)
            if (colorDistance(picture[i], table.colorOf(t)) < colorDistance(picture[i], table.colorOf(best)))
                best = t;
        reduced[i] = table.colorOf(best);
    }
    return reduced;
}

} // namespace kanvo
