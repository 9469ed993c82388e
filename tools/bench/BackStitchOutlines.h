#pragma once

#include <cstdint>

#include "core/palette/ChartModel.h"

namespace kanvo::bench {

// Adds `count` back stitches to model as outlines do: chains of 20 joined stitches on the
// half-cell lattice, each a step of half a cell or a cell in one of eight directions, in threads
// 1..threads (the same stitches on every run).
inline void addOutlines(ChartModel& model, int count, int threads)
{
    std::uint32_t seed = 12345u;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const double side = static_cast<double>(model.gw);
    StitchPoint at{};
    int thread = 1;
    for (int i = 0; i < count; ++i) {
        if (i % 20 == 0) {
            at = {next(static_cast<std::uint32_t>(2 * model.gw)) / 2.0, next(static_cast<std::uint32_t>(2 * model.gh)) / 2.0};
            thread = 1 + static_cast<int>(next(static_cast<std::uint32_t>(threads)));
        }
        static constexpr int kSteps[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        const int* step = kSteps[next(8)];
        const double length = next(2) == 0 ? 0.5 : 1.0;
        StitchPoint to{at.x + step[0] * length, at.y + step[1] * length};
        if (to.x < 0 || to.y < 0 || to.x > side || to.y > model.gh)
            to = {at.x - step[0] * length, at.y - step[1] * length};
        model.layers.backs.push_back(BackStitch{at, to, thread});
        at = to;
    }
}

} // namespace kanvo::bench
