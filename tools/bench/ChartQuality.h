#pragma once

#include <span>

#include "core/common/Color.h"

namespace kanvo {

// How a chart looks next to its picture (both width x height stitches, row by row).
struct ChartQuality {
    double perceivedError = 0; // mean CIEDE2000 after a Gaussian blur (sigma 1 stitch) of both, in linear RGB
    double pixelError = 0;     // mean CIEDE2000 stitch by stitch
    double confettiShare = 0;  // share of stitches with no same-colour stitch left, right, above or below
    double islandShare = 0;    // share of stitches in same-colour regions (4-connected) of at most 2 stitches
    int colours = 0;           // distinct chart colours

    [[nodiscard]] static ChartQuality measure(std::span<const ColorValue> picture, std::span<const ColorValue> chart,
        int width, int height);
};

} // namespace kanvo
