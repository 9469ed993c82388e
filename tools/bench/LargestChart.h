#pragma once

#include <vector>

#include "core/common/Color.h"
#include "core/palette/ChartModel.h"

namespace kanvo::bench {

// The largest chart the window draws: 320 x 320 stitches of 60 threads (indices 1..60) in small
// patches, a symbol for each thread, every thread in the legend.
[[nodiscard]] ChartModel largestChart();

// Made-up colours for thread indices 1..452 (threadColors[i - 1] is thread i).
[[nodiscard]] std::vector<ColorValue> tableColors();

} // namespace kanvo::bench
