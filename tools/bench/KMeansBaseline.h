#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"

namespace kanvo {

// What other chart makers do, as the yardstick of the thread reduction: k-means with k = N over
// the picture's colours in CIELAB (k-means++ seeds), each centre to its nearest thread by
// CIEDE2000; then either (a) each stitch to its nearest palette thread by CIEDE2000, or (b) full
// Floyd-Steinberg error diffusion in linear RGB onto the same palette.
class KMeansBaseline {
public:
    KMeansBaseline(std::span<const ColorValue> picture, int threads, const ThreadTable& table);

    [[nodiscard]] std::vector<ColorValue> nearest() const;
    [[nodiscard]] std::vector<ColorValue> floydSteinberg(int width, int height) const;

private:
    std::span<const ColorValue> picture_;
    std::unique_ptr<ThreadMatcher> palette_;
};

} // namespace kanvo
