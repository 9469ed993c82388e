#pragma once

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "core/palette/CellPos.h"
#include "core/stitch/StitchLayers.h"

namespace kanvo {

// The symbol bookkeeping of a chart (ChartModel::colorList and chrIndex).
struct SymbolState {
    std::vector<int> colorList;
    std::vector<int> chrIndex;
    friend bool operator==(const SymbolState&, const SymbolState&) = default;
};

// One change of a chart, as the undo history keeps it: the cells it changed, each with its
// thread before and after (ChartModel::kNoStitch for an empty cell), the layer elements
// (part stitches, back stitches, knots and beads) it added or removed, and the symbol
// bookkeeping before and after when the change gave a thread a symbol or took one away.
// A cell may appear more than once (a stroke that passes a cell twice): undoing walks the
// lists backwards, redoing forwards, so either way every cell and every layer list ends as it
// should, in the same order.
struct ChartChange {
    struct Cell {
        short x = 0;
        short y = 0;
        int before = 0;
        int after = 0;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    // An element inserted into its layer's list at `index` (added) or erased from there.
    struct LayerStep {
        bool added = true;
        std::size_t index = 0;
        std::variant<PartStitch, BackStitch, Ornament> element;
        friend bool operator==(const LayerStep&, const LayerStep&) = default;
    };

    std::vector<Cell> cells;
    std::vector<LayerStep> layerSteps;
    std::optional<SymbolState> symbolsBefore;
    std::optional<SymbolState> symbolsAfter;

    [[nodiscard]] bool empty() const { return cells.empty() && layerSteps.empty(); }
    // Appends a change made right after this one, so that both are undone as one step.
    void append(ChartChange later);
};

} // namespace kanvo
