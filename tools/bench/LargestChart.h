#pragma once

#include <vector>

#include "core/chart/ChartMode.h"
#include "core/common/Color.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ColorIndex.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo::bench {

// The largest chart the window draws: 320 x 320 stitches of 60 threads (indices 1..60) in small
// patches, a symbol for each thread, every thread in the legend.
[[nodiscard]] ChartModel largestChart();

// Made-up colours for thread indices 1..452 (threadColors[i - 1] is thread i).
[[nodiscard]] std::vector<ColorValue> tableColors();

// What "生成" does without a window: the colour index of a gw x gh chart of stitches with the
// loaded thread table, its layout in mode and the layout painted on a new canvas with cached
// glyphs. False when the colour index fails.
[[nodiscard]] bool generateAndPaint(const StitchMatrix& stitches, int gw, int gh, ChartMode mode,
    const ColorIndexSettings& settings);

} // namespace kanvo::bench
