#pragma once

#include <array>
#include <span>
#include <vector>

#include "core/colour/ColourSpace.h"

namespace kanvo {

// The chart as seen from a distance: a Gaussian blur of sigma 1 stitch (radius 3) in linear RGB,
// edges repeated. The blur is linear, so a change of one stitch changes the blurred picture only
// within 3 stitches of it, by the change times the weights that stitch has there.
class StitchBlur {
public:
    static constexpr int kRadius = 3;
    static constexpr int kTaps = 2 * kRadius + 1;
    // The weight source position `from` has in blurred position `from + offset - kRadius`, for
    // each position 0..length-1 of one axis; zero where that position is outside the axis.
    using AxisWeights = std::vector<std::array<float, kTaps>>;

    [[nodiscard]] static AxisWeights axisWeights(int length);
    // `colours` holds width x height colours row by row (width, height >= 1).
    [[nodiscard]] static std::vector<LinearRgb> blurred(std::span<const LinearRgb> colours, int width, int height);
    [[nodiscard]] static std::vector<LinearRgb> blurred(std::span<const ColorValue> colours, int width, int height);
};

} // namespace kanvo
