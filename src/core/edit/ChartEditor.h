#pragma once

#include <array>
#include <optional>
#include <span>

#include "core/edit/ChartChange.h"
#include "core/edit/ChartRegion.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Edits a chart in place: the stitch tools (pencil, eraser, fill, rectangle), background
// removal, and undoing and redoing the changes they return. After every change the legend
// (threadList in order of each thread's first stitch, threads below the rare-thread threshold
// left out), maxColor and colorCount are those of the cells as they now stand, as the
// generation would list them; a thread left without a stitch leaves colorList and gives up its
// symbol, and a thread new to the chart takes the lowest symbol position no thread holds.
// Every other thread keeps its symbol, so the grid never changes under the user's eyes.
//
// The chart and the table must outlive the editor. Only cells inside gw x gh are changed.
// `thread` arguments are thread indices 1..452 or ChartModel::kNoStitch (an empty cell); other
// values change nothing.
class ChartEditor {
public:
    ChartEditor(ChartModel& chart, const ThreadTable& table, int rareThreshold);

    [[nodiscard]] const ChartModel& chart() const { return chart_; }
    [[nodiscard]] bool contains(CellPos cell) const;
    // The thread of a cell inside the chart; kNoStitch outside it.
    [[nodiscard]] int threadAt(CellPos cell) const;
    // Stitches of a thread in the chart now.
    [[nodiscard]] int stitchesOf(int thread) const;

    // Sets `cells` to `thread`. Returns the change (empty when every cell already held it).
    ChartChange paint(std::span<const CellPos> cells, int thread);
    // The pencil or the eraser dragged from one cell to the next: every cell on the line.
    ChartChange stroke(CellPos from, CellPos to, int thread);
    // The fill: the region connected() finds from `seed` becomes `thread`.
    ChartChange fill(CellPos seed, int thread);
    // The selection's 填充 (or, with kNoStitch, its Delete).
    ChartChange fillRect(CellRect rect, int thread);
    // Empties the background (ChartRegion::background) within `tolerance` of `reference`.
    ChartChange removeBackground(ColorValue reference, double tolerance);

    // Takes a change back, or makes it again; the change must be the newest one undone or the
    // next one redone, as an undo history guarantees.
    void undo(const ChartChange& change);
    void redo(const ChartChange& change);

    [[nodiscard]] SymbolState symbols() const { return SymbolState{chart_.colorList, chart_.chrIndex}; }

private:
    [[nodiscard]] static bool isThreadValue(int thread);
    void setCell(CellPos cell, int thread);
    // Drops threads that lost their last stitch and gives new ones a symbol; true if any.
    bool settleSymbols(std::span<const int> touched);
    [[nodiscard]] int freeSymbolPosition() const;
    void relist();

    ChartModel& chart_;
    const ThreadTable& table_;
    int rareThreshold_ = 0;
    std::array<int, ChartModel::kThreadSlots> counts_{};
};

} // namespace kanvo
