#pragma once

#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"
#include "core/common/Color.h"

namespace kanvo {

// Removes confetti: every same-thread region (4-connected) of at most `maxRegion` stitches takes
// the neighbouring thread closest by CIEDE2000 to the region's picture colour, until none is
// left. Two kinds of small region are detail and stay: one whose picture colour no neighbouring
// thread comes close to (a strong-contrast edge or dot), and a single stitch much lighter than
// the picture around it (a highlight).
class ConfettiCleanup {
public:
    // No neighbouring thread within this CIEDE2000 of the region's picture colour: keep the region.
    static constexpr double kEdgeDifference = 20.0;
    // A single stitch this much lighter (CIELAB L) than the mean of its neighbours is a highlight.
    static constexpr double kHighlightLift = 25.0;

    // `slots` holds the palette slot of every stitch of the width x height picture; changed in place.
    static void run(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
        const ThreadMatcher& palette, int maxRegion);
};

} // namespace kanvo
