#pragma once

#include <optional>
#include <vector>

#include "core/common/Color.h"
#include "core/edit/ChartChange.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// A rectangle of cells: columns left..left + width - 1, rows top..top + height - 1.
struct CellRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // The rectangle spanned by two corner cells, in any order.
    [[nodiscard]] static CellRect spanning(CellPos a, CellPos b);
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// The sets of cells the chart tools work on. Every result lies inside the chart's gw x gh cells
// (gw and gh limited to 320); a seed outside it gives no cells.
class ChartRegion {
public:
    // The cells on the straight line from `from` to `to`, both ends included, each step moving
    // to a neighbouring cell (Bresenham): the cells a pointer dragged between two positions
    // passed over.
    [[nodiscard]] static std::vector<CellPos> line(const ChartModel& chart, CellPos from, CellPos to);

    // The 4-connected region of cells holding the same thread as `seed` (or, for an empty seed,
    // the 4-connected empty cells), seed included.
    [[nodiscard]] static std::vector<CellPos> connected(const ChartModel& chart, CellPos seed);

    // The cells of `rect` that lie inside the chart, column by column.
    [[nodiscard]] static std::vector<CellPos> rectangle(const ChartModel& chart, CellRect rect);

    // The stitched thread that the most cells of the chart's outermost rows and columns hold;
    // ties go to the lower thread index. Nothing when no border cell is stitched.
    [[nodiscard]] static std::optional<int> borderThread(const ChartModel& chart);

    // The background: every stitched cell whose thread's table colour lies within `tolerance`
    // (CIEDE2000) of `reference` and that is joined to the chart's border through such cells or
    // empty cells (4-connected). Empty cells conduct but are not part of the result. Tolerance 0
    // takes only threads of exactly the reference colour; a negative tolerance takes nothing.
    [[nodiscard]] static std::vector<CellPos> background(const ChartModel& chart, const ThreadTable& table,
        ColorValue reference, double tolerance);
};

} // namespace kanvo
