#pragma once

#include <array>
#include <optional>
#include <span>

#include "core/edit/ChartChange.h"
#include "core/edit/ChartRegion.h"
#include "core/edit/LayerFinder.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Edits a chart in place: the stitch tools (pencil, eraser, fill, rectangle), background
// removal, the layer tools (back stitches, part stitches, knots, and removing any element),
// and undoing and redoing the changes they return. After every change the legend (threadList
// in order of each thread's first stitch, threads below the rare-thread threshold left out,
// then the threads that only the layers use, or use besides too few full stitches, with their
// full-stitch counts), maxColor and colorCount are those of the chart as it now stands; a
// thread left without any stitch of any kind leaves colorList and gives up its symbol, and a
// thread new to the chart takes the lowest symbol position no thread holds. Every other thread
// keeps its symbol, so the grid never changes under the user's eyes.
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
    // Layer elements (part stitches, back stitches, knots and beads) of a thread now.
    [[nodiscard]] int layerElementsOf(int thread) const;

    // Sets `cells` to `thread`; a cross (not kNoStitch) also replaces the part stitches of its
    // cell. Returns the change (empty when every cell already held it).
    ChartChange paint(std::span<const CellPos> cells, int thread);
    // The pencil or the eraser dragged from one cell to the next: every cell on the line.
    ChartChange stroke(CellPos from, CellPos to, int thread);
    // The fill: the region connected() finds from `seed` becomes `thread`.
    ChartChange fill(CellPos seed, int thread);
    // The selection's 填充: every cell of rect that lies in the chart becomes `thread`.
    ChartChange fillRect(CellRect rect, int thread);
    // The selection's Delete: empties the cells of rect (as far as it lies in the chart) and
    // removes, in the same change, the layer elements within it: part stitches in its cells,
    // knots and beads on or inside its outline, and back stitches with both ends on or inside
    // it (one that runs out of it stays).
    ChartChange clearRect(CellRect rect);
    // Empties the background (ChartRegion::background) within `tolerance` of `reference`.
    ChartChange removeBackground(ColorValue reference, double tolerance);

    // The layer tools. `thread`: a thread index 1..452; anything else, or a place outside the
    // chart, changes nothing. Each returns the change, empty when nothing changed.
    //
    // A back stitch between two different points of the half-cell lattice inside the chart. The
    // same segment (either way round) in another thread is replaced; in the same thread it is
    // already there.
    ChartChange addBackStitch(BackStitch stitch);
    // A French knot at a point inside the chart; a knot of another thread at that point is
    // replaced.
    ChartChange addKnot(StitchPoint at, int thread);
    // A part stitch in a cell of the chart. A stitcher works one stitch over each corner of a
    // cell, so it replaces the cell's full cross and every part stitch of the cell that shares
    // a corner with it; part stitches on the cell's other corners stay. The same stitch in the
    // same thread is already there.
    ChartChange addPartStitch(PartStitch part);
    // Removes one element of the layers (as LayerFinder::find names it).
    ChartChange removeElement(LayerHit hit);

    // Takes a change back, or makes it again; the change must be the newest one undone or the
    // next one redone, as an undo history guarantees.
    void undo(const ChartChange& change);
    void redo(const ChartChange& change);

    [[nodiscard]] SymbolState symbols() const { return SymbolState{chart_.colorList, chart_.chrIndex}; }

private:
    [[nodiscard]] static bool isThreadValue(int thread);
    void setCell(CellPos cell, int thread);
    // Inserts or erases a layer element as `step` says (forward) or the other way round.
    void applyStep(const ChartChange::LayerStep& step, bool forward);
    void insertElement(ChartChange& change, std::size_t index, std::variant<PartStitch, BackStitch, Ornament> element);
    void eraseElement(ChartChange& change, StitchLayerKind kind, std::size_t index);
    // Erases every element of one layer list that `inside` accepts, last first, so that undoing
    // the steps backwards puts each back at its own index.
    template <typename Element, typename Inside>
    void eraseWhere(ChartChange& change, std::vector<int>& touched, StitchLayerKind kind, Inside inside);
    // Settles the symbols of the threads a change touched and relists; returns the change.
    ChartChange finish(ChartChange change, SymbolState before, std::vector<int> touched);
    [[nodiscard]] bool onLattice(StitchPoint point) const;
    // Drops threads that lost their last stitch and gives new ones a symbol; true if any.
    bool settleSymbols(std::span<const int> touched);
    [[nodiscard]] int freeSymbolPosition() const;
    void relist();

    ChartModel& chart_;
    const ThreadTable& table_;
    int rareThreshold_ = 0;
    std::array<int, ChartModel::kThreadSlots> counts_{};
    std::array<int, ChartModel::kThreadSlots> layerCounts_{};
};

} // namespace kanvo
