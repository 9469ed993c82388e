#pragma once

#include <optional>
#include <vector>

#include "core/palette/CellPos.h"

namespace kanvo {

// The symbol bookkeeping of a chart (ChartModel::colorList and chrIndex).
struct SymbolState {
    std::vector<int> colorList;
    std::vector<int> chrIndex;
    friend bool operator==(const SymbolState&, const SymbolState&) = default;
};

// One change of a chart, as the undo history keeps it: the cells it changed, each with its
// thread before and after (ChartModel::kNoStitch for an empty cell), and the symbol
// bookkeeping before and after when the change gave a thread a symbol or took one away.
// A cell may appear more than once (a stroke that passes a cell twice): undoing walks the
// list backwards, redoing forwards, so either way every cell ends as it should.
struct ChartChange {
    struct Cell {
        short x = 0;
        short y = 0;
        int before = 0;
        int after = 0;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    std::vector<Cell> cells;
    std::optional<SymbolState> symbolsBefore;
    std::optional<SymbolState> symbolsAfter;

    [[nodiscard]] bool empty() const { return cells.empty(); }
    // Appends a change made right after this one, so that both are undone as one step.
    void append(ChartChange later);
};

} // namespace kanvo
