#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// The settings of the "精选绣线" reduction: a budget of real threads, error diffusion and
// confetti clean-up.
struct ThreadReductionSettings {
    static constexpr int kMinThreads = 2;
    static constexpr int kMaxThreads = 120;
    static constexpr int kMaxDither = 100;
    static constexpr int kMaxCleanup = 50;

    // The defaults were tuned with tools/bench bench_thread_quality --sweep on the means over
    // gallery photos and illustrations at budgets of 12, 24 and 40 at once, and checked on the
    // gallery pictures not tuned on: perceived error under 0.92 x Floyd-Steinberg's, confetti
    // under 0.75 x that of no dithering at all.
    int threads = 24; // the thread budget N, kMinThreads..kMaxThreads
    int dither = 90;  // error diffusion strength, 0 (none, flat areas) .. 100 (smooth gradients)
    int cleanup = 6;  // blurred error a confetti merge may cost, in steps (ConfettiCleanup); 0 = off

    friend bool operator==(const ThreadReductionSettings&, const ThreadReductionSettings&) = default;
};

// Reduces a picture to at most `threads` threads of the thread table, drawn in their exact
// table colours, so that every stitch maps to its own thread at distance 0.
class ThreadPaletteReducer {
public:
    // `picture` holds width * height colours row by row from the top, each row from the left
    // (width, height >= 1). Returns the reduced picture in the same order. Deterministic: the
    // same picture and settings always give the same result. Settings outside their ranges are
    // clamped. A picture with fewer than width * height colours gives an empty result.
    // `cloth` (empty, or one byte per pixel in the picture's order, nonzero = bare cloth) marks
    // the pixels without a stitch: they take no part in choosing, diffusing or cleaning up, are
    // seen from a distance as white cloth, and come out white.
    [[nodiscard]] static std::vector<ColorValue> reduce(std::span<const ColorValue> picture,
        int width, int height, const ThreadReductionSettings& settings, const ThreadTable& table,
        std::span<const std::uint8_t> cloth = {});
};

} // namespace kanvo
