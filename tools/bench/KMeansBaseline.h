#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"

namespace kanvo {

// What other chart makers do, as the yardstick of the thread reduction: k-means over the
// picture's colours in CIELAB (k-means++ seeds, Lloyd rounds until the centres settle, at most
// 60), each centre snapped to its nearest thread by CIEDE2000. The whole budget is used, as a
// fair peer would: while centres snapping to the same thread leave fewer than N threads, k grows
// by the shortfall and k-means runs again, until there are N or the picture has no more colours;
// then the least used threads (stitches nearest to them) go one at a time down to N. Then
// (a) each stitch to its nearest palette thread by CIEDE2000, or (b) Floyd-Steinberg error
// diffusion in linear RGB onto the same palette, as the dithering peers do it: the carried
// colour clipped to 0..1 before each choice and the thread nearest to it in CIELAB.
class KMeansBaseline {
public:
    KMeansBaseline(std::span<const ColorValue> picture, int threads, const ThreadTable& table);

    [[nodiscard]] std::vector<ColorValue> nearest() const;
    [[nodiscard]] std::vector<ColorValue> floydSteinberg(int width, int height) const;
    // The first, weaker (b): nearest thread in linear RGB, carried colour never clipped. Kept to
    // compare with earlier measurements.
    [[nodiscard]] std::vector<ColorValue> unclippedFloydSteinberg(int width, int height) const;

private:
    template <typename Choose>
    [[nodiscard]] std::vector<ColorValue> diffused(int width, int height, bool clip, Choose&& choose) const;

    std::span<const ColorValue> picture_;
    std::unique_ptr<ThreadMatcher> palette_;
    std::vector<LinearRgb> threadLinear_;
};

} // namespace kanvo
