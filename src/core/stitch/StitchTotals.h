#pragma once

#include <vector>

#include "core/stitch/StitchLayers.h"

namespace kanvo {

// What one thread's part stitches, back stitches, knots and beads add up to.
struct ThreadLayerTotals {
    int thread = 0;
    int partCorners = 0;     // corners its part stitches cover: 2 for a half stitch, 1 for a quarter
    double backLength = 0.0; // total length of its back stitches in cell sides
    int backStitches = 0;
    int knots = 0;
    int beads = 0;

    // Part stitches counted in half stitches (a quarter is half of one, a three-quarter 1.5).
    [[nodiscard]] double halves() const { return partCorners / 2.0; }
    friend bool operator==(const ThreadLayerTotals&, const ThreadLayerTotals&) = default;
};

// The totals of every thread the layers use, in ascending thread order.
[[nodiscard]] std::vector<ThreadLayerTotals> layerTotals(const StitchLayers& layers);

// The length of a back stitch in cell sides.
[[nodiscard]] double backStitchLength(const BackStitch& back);

} // namespace kanvo
