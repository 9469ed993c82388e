#pragma once

#include <span>
#include <vector>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// A chart made the program's existing way: the reduction method's converter, then the colour
// index with the smallest merge tolerance (searched) that leaves at most `threads` threads.
struct ExistingMethodChart {
    std::vector<ColorValue> chart; // each stitch in its thread's table colour; empty on failure
    int mergeTol = 0;
    int threads = 0; // distinct threads the colour index found
    double milliseconds = 0; // converter and one colour index at the found tolerance

    [[nodiscard]] static ExistingMethodChart make(std::span<const ColorValue> picture, int width, int height,
        int methodCode, int threads, const ThreadTable& table);
};

} // namespace kanvo
