#pragma once

#include "core/stitch/StitchLayers.h"

namespace kanvo {

// Where the elements of a chart's layers lie, for a chart of gw x gh cells.
class StitchGeometry {
public:
    // A point on the chart: 0 <= x <= gw and 0 <= y <= gh (the chart's edges included).
    [[nodiscard]] static bool inside(StitchPoint point, int gw, int gh);
    // A part stitch in a cell of the chart with a valid corner mask (not empty, not all four).
    [[nodiscard]] static bool inside(const PartStitch& part, int gw, int gh);
    // Both ends of a back stitch on the chart.
    [[nodiscard]] static bool inside(const BackStitch& back, int gw, int gh);
    [[nodiscard]] static bool inside(const Ornament& ornament, int gw, int gh);

    // The length of a back stitch in cells (a cell's side is 1, its diagonal sqrt(2)).
    [[nodiscard]] static double length(const BackStitch& back);

    // The number of Corner bits of a mask: 1 for a quarter stitch, 2 for a half stitch, 3 for a
    // three-quarter stitch.
    [[nodiscard]] static int cornerCount(std::uint8_t corners);

    // Removes every element that does not lie inside a chart of gw x gh cells; the others keep
    // their order. Returns the number removed.
    static int removeOutside(StitchLayers& layers, int gw, int gh);
};

} // namespace kanvo
