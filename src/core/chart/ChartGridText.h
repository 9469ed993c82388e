#pragma once

#include <string>

#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// The chart as plain text for scripts: the thread of every stitch, the way the legend names it.
class ChartGridText {
public:
    // One line per chart row from the top (gh lines, each ending in LF), each stitch from the
    // left as its thread number ("310", "5200": the legend's number without its padding),
    // separated by commas, no header; "0" for a cell without a stitch. Reads a generated DMC
    // chart model; empty when the model holds no chart (gw or gh outside 1..320).
    [[nodiscard]] static std::string csv(const ChartModel& model, const ThreadTable& table);
};

} // namespace kanvo
