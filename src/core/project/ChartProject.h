#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/common/Color.h"
#include "core/edit/EditColorModel.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// A chart as a project file holds it: the chart model (size, title, the thread of every cell
// with kNoStitch for a cell without a stitch, its part stitches, back stitches, knots and beads,
// colorList in symbol order, legend and symbols) and the fabric count in stitches per inch
// across and down.
struct ChartProject {
    static constexpr int kDefaultFabricCount = 14;

    ChartModel chart;
    int stitchesPerInch = kDefaultFabricCount;
    int stitchesPerInchY = kDefaultFabricCount;
};

// A colour as chart files write it: "RRGGBB", upper-case hexadecimal, red first.
[[nodiscard]] std::string rgbHex(ColorValue color);

// What reading a file from another program left out or changed, to tell the user.
struct ImportNotes {
    // A palette item whose number is not a thread of our table, and the thread chosen for it.
    struct Substitution {
        std::string number; // the item's number as the file spells it
        ColorValue color = 0;
        int thread = 0; // thread index 1..452
    };
    std::vector<Substitution> substituted; // items that stitches use, in palette order
    // Elements left out: outside the chart, naming a palindex no palette item has, or of a
    // kind the chart cannot hold (others: curved stitches, triangles, large crosses, ...).
    struct LeftOut {
        int partStitches = 0;
        int backStitches = 0;
        int knots = 0;
        int beads = 0;
        int others = 0;
        [[nodiscard]] int total() const { return partStitches + backStitches + knots + beads + others; }
    };
    LeftOut leftOut;

    [[nodiscard]] bool empty() const { return substituted.empty() && leftOut.total() == 0; }
    // The report for a message box (Chinese, several lines; at most 20 substitutions are named
    // one by one). Empty when nothing was changed and nothing left out.
    [[nodiscard]] std::string text(const ThreadTable& table) const;
};

// The threads a chart's stitches use, each once: those of the full stitches in order of first
// appearance (row by row from the top), then the other threads of its layers in order of first
// use (LayerTally::threads). Values that are no thread entry are left out.
[[nodiscard]] std::vector<int> usedThreads(const ChartModel& chart);

// Rebuilds the legend and the symbols of a chart whose colorIndex, layers, colorList and chrIndex
// are set: the chart's threads are those of its full stitches and its layers; threads that
// lost every stitch leave colorList, and threads it lacks join it (full stitches in order of
// first appearance, then the layers' threads). Symbols are kept (keepSymbols): a thread keeps
// the position chrIndex gives it, a thread without one takes the lowest free position, so no
// thread's symbol moves when another leaves. Then threadList (sortColorIndex: the threads of at
// least `rareThreshold` full stitches in order of first stitch, then the layers' other
// threads), maxColor, colorCount, whichType "DMC" and chartReady. Cells without a stitch are
// neither counted nor listed.
void completeChart(ChartModel& chart, int rareThreshold, const ThreadTable& table);

// The colour of every cell of the chart: its thread's table colour, or the cloth colour for a
// cell without a stitch. Stands in for the stitch matrix of a chart that was not generated
// from a picture (colour blocks of the printed page, final preview).
[[nodiscard]] StitchMatrix stitchColors(const ChartModel& chart, const ThreadTable& table);

// The colour of every cell of a generated chart after edits: the reduced picture's colour where
// the cell still holds the thread the generation gave it (generatedThreads: colorIndex as the
// generation left it), else its thread's table colour, or the cloth colour for a cell without a
// stitch. With generatedThreads empty or too small, every cell takes its thread's colour.
[[nodiscard]] StitchMatrix editedStitchColors(const ChartModel& chart, std::span<const int> generatedThreads,
    const StitchMatrix& picture, const ThreadTable& table);

// The colour model the colour replacement window edits for a chart that has no stitch matrix
// behind it: the chart's threads (colorList) and the thread of every stitch. A cell without a
// stitch has no thread, so no replacement ever reaches it.
[[nodiscard]] EditColorModel editColors(const ChartModel& chart);

// Gives the chart the threads of an edit: cell (x, y) takes editedThreadAt(x, y) (kNoStitch
// keeps it empty). Threads new to the chart join the end of colorList in order of first
// appearance; completeChart() then drops the threads left without a stitch.
void setChartThreads(ChartModel& chart, const std::function<int(int x, int y)>& editedThreadAt);

} // namespace kanvo
