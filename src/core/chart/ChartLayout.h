#pragma once

#include <optional>
#include <span>

#include "core/chart/ChartMode.h"
#include "core/chart/DrawList.h"
#include "core/chart/StitchLayerLayout.h"
#include "core/chart/TextMetrics.h"
#include "core/common/Color.h"
#include "core/palette/CellPos.h"
#include "core/palette/ChartModel.h"

namespace kanvo {

// How a chart is drawn: block size (stitch columns and rows per block, values below 1 count as
// 1), the mode of the mode list, and the main window's reduction-method code (ColorBit 2 and 4
// draw the legend swatches in grey).
struct ChartOptions {
    int blockW = 10;
    int blockH = 10;
    ChartMode mode = ChartMode::SymbolsOnly;
    int colorBit = 0;
};

// The geometry of the thread legend below the grid, in canvas pixels. A band holds
// entriesPerBand threads in columns 1..columnsPerBand - 1 (column 0 holds the row labels).
struct LegendGeometry {
    static constexpr int kCellWidth = 38;
    static constexpr int kCellHeight = 14;

    int columnsPerBand = 0; // P = (10 gw) div 38 - 1, at least 2
    int entriesPerBand = 0; // P - 1, at least 1
    int bands = 0;          // B = ceiling(maxColor / (P - 1))
    int rows = 0;           // R = 3 B

    // The legend of a chart gw stitches wide with maxColor threads. Charts narrower than 12
    // stitches would hold no entry per band; they get one entry per band (P = 2) instead.
    [[nodiscard]] static LegendGeometry forChart(int gw, int maxColor);
};

// The cells [x0, x1) x [y0, y1) of a chart (columns x, rows y).
struct CellRange {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    [[nodiscard]] bool empty() const { return x1 <= x0 || y1 <= y0; }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

// Every coordinate of the screen chart, in canvas pixels (x to the right, y downwards).
struct ChartGeometry {
    static constexpr int kCell = 10;
    static constexpr int kGridLeft = 40;
    static constexpr int kTitleTop = 11;

    int canvasWidth = 0;  // 10 gw + 83 (wider only when a narrow chart's legend or texts need it)
    int canvasHeight = 0; // 10 gh + 14 R + 260
    int titleX = 0;       // left of the centred title
    int subtitleY = 0;    // top of the subtitle line (x = 40)
    int gridTop = 0;      // y of the grid's top edge
    int legendTop = 0;    // gridTop + 10 gh + 58
    int legendBottom = 0; // legendTop + 14 (R + 2)
    LegendGeometry legend;
};

// The screen chart of one generation: the title block, the grid with thin and thick lines, the
// colour blocks, the row and column rulers, the thread legend with its notes and footer, and a
// symbol in every cell, then the part stitches, back stitches, knots and beads (StitchLayerLayout;
// part stitches are filled like blocks, or drawn as lines in a mode without blocks), as a
// display list in canvas pixels in the order the chart is drawn.
class ChartLayout {
public:
    // Colours of the fonts and lines.
    static constexpr ColorValue kThinLine = makeColor(166, 166, 166);
    static constexpr ColorValue kThickLine = makeColor(66, 66, 66);
    static constexpr ColorValue kLetterRed = makeColor(255, 11, 11);
    static constexpr ColorValue kBlack = makeColor(0, 0, 0);
    static constexpr ColorValue kWhite = makeColor(255, 255, 255);
    // The symbol's colour on a cell: white on a dark colour block, black otherwise.
    [[nodiscard]] static ColorValue symbolInk(bool onBlock, ColorValue block);

    // Lays out model (gw and gh limited to 0..320; colorIndex, threadList, xiuChr and chrIndex
    // as the colour index leaves them). threadColors[i - 1] is the table colour of thread i; a
    // stitch whose thread lies outside the table gets no colour block. metrics measures the
    // title lines in canvas pixels. Never fails; missing data draws nothing.
    [[nodiscard]] static ChartLayout build(const ChartModel& model, std::span<const ColorValue> threadColors,
        const ChartOptions& options, const TextMetrics& metrics);
    // The layout of build() without the cells' colour blocks and symbols: the title, grid lines,
    // rulers, block lines, legend and notes. A view that draws only the cells it shows lays those
    // out with cells() and paints both lists section by section in DrawStage order (blocks lie
    // under the block lines, symbols over everything).
    [[nodiscard]] static ChartLayout buildFrame(const ChartModel& model, std::span<const ColorValue> threadColors,
        const ChartOptions& options, const TextMetrics& metrics);
    // The Blocks and Symbols sections of build() for the cells of range (clipped to the chart),
    // placed on this layout's grid, with this layout's font table. model, threadColors and
    // options as for build(); model may have changed since this layout was made as long as its
    // size and thread list did not. shown leaves out the layers a view's switches hide (build()
    // draws them all: saved bitmaps and prints hold the whole chart).
    [[nodiscard]] DrawList cells(const ChartModel& model, std::span<const ColorValue> threadColors,
        const ChartOptions& options, const CellRange& range, const LayerVisibility& shown = {}) const;
    // The cells whose blocks or symbols reach into the canvas rectangle [left, right) x
    // [top, bottom), clipped to the chart (empty when the rectangle misses the grid).
    [[nodiscard]] CellRange cellsIn(float left, float top, float right, float bottom) const;

    // The legend swatch colour of entry: its colour, or for ColorBit 2 and 4 the grey of the mean
    // of its three channels (black entries and entries whose green and blue are both 255 keep
    // their colour).
    [[nodiscard]] static ColorValue swatchColor(const ThreadEntry& entry, int colorBit);

    // The title and subtitle fonts (the program's choice; the positions do not depend on them).
    [[nodiscard]] static FontSpec titleFont();
    [[nodiscard]] static FontSpec subtitleFont();

    [[nodiscard]] const ChartGeometry& geometry() const { return geometry_; }
    [[nodiscard]] const DrawList& drawList() const { return list_; }

    // The grid cell under canvas point (x, y): a cell owns its left and top lines and the 9 x 9
    // pixels inside them. Nothing outside the grid.
    [[nodiscard]] std::optional<CellPos> cellAt(double x, double y) const;
    // The legend entry (1-based, threadList[n - 1]) whose cell of any of its three rows holds
    // canvas point (x, y). Nothing on the row labels, the empty cells or outside the legend.
    [[nodiscard]] std::optional<int> legendEntryAt(double x, double y) const;

private:
    ChartLayout() : list_(96.0f / 72.0f) {}
    [[nodiscard]] static ChartLayout build(const ChartModel& model, std::span<const ColorValue> threadColors,
        const ChartOptions& options, const TextMetrics& metrics, const CellRange& cellRange);

    ChartGeometry geometry_;
    DrawList list_;
    int gw_ = 0; // the chart's size in cells
    int gh_ = 0;
    int maxColor_ = 0;
};

} // namespace kanvo
