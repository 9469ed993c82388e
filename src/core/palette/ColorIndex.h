#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// Why a colour index could not be completed. On any error the model is left partly built,
// chartReady is false and the model must not be drawn.
enum class ColorIndexError {
    None,
    TooManyColors,    // more than 500 distinct stitch colours
    Stopped,          // the stop test returned true
    InvalidSize,      // gw or gh outside 1..320
    UnsupportedBrand, // a brand other than "DMC": only the distinct colours were collected
};

// The text for an error. For TooManyColors it is the chart window's message, to be shown with
// the caption errorCaption(); the other texts are for logs and the command line.
[[nodiscard]] std::string errorText(ColorIndexError error);
// The message box caption that goes with errorText() ("Quillex inc." for TooManyColors).
[[nodiscard]] std::string errorCaption(ColorIndexError error);

enum class ColorIndexStage {
    Indexing,  // collecting distinct colours and matching threads
    Remapping, // writing the thread of every stitch
    Counting,  // building the legend
};
// The chart window's status text for a stage.
[[nodiscard]] std::string stageText(ColorIndexStage stage);

// Hooks for the window; each may be empty. progress(rowsDone, rowsTotal) runs after every row
// of every pass (and with rowsDone = 0 when a pass starts); stopRequested runs after every row
// and ends the work when it returns true (the window returns !running).
struct ColorIndexHooks {
    std::function<void(ColorIndexStage stage)> stage;
    std::function<void(int rowsDone, int rowsTotal)> progress;
    std::function<bool()> stopRequested;
};

// Builds colorList, colorIndex, maxColor and colorCount from the stitches x < model.gw,
// y < model.gh of `stitches`. Distinct colours are numbered in order of first appearance (row
// by row from the top, each row from the left); each gets its nearest thread (ties to the
// lowest thread index); threads are merged with mergeNearThreads(mergeTol); afterwards
// colorList holds the distinct threads (colorCount == maxColor of them) and colorIndex the
// thread of every stitch. An empty whichType becomes "DMC"; for any other brand the work ends
// after collecting the distinct colours (colorList holds colours, colorIndex positions 1..n,
// colorCount 0) and UnsupportedBrand is returned. The 500th distinct colour is accepted, the
// 501st gives TooManyColors. Cells past the picture and cloth cells (StitchMatrix::stitched
// false) become ChartModel::kNoStitch and count nowhere: not as colours, threads or stitches.
// Linear in the number of stitches.
[[nodiscard]] ColorIndexError makeColorIndex(const StitchMatrix& stitches, ChartModel& model,
    int mergeTol, const ThreadTable& table, const ColorIndexHooks& hooks = {});

// Merges a list of thread indices in place: for every entry i not yet merged, each later entry
// j whose current thread lies within `tolerance` (squared RGB distance of the table colours)
// of entry i's thread takes entry i's thread and is marked merged. A merged entry never
// represents others but may be taken over again by a later representative. At most 500 entries.
void mergeNearThreads(std::span<int> threads, int tolerance, const ThreadTable& table);

// Builds threadList from colorIndex: one entry per thread of the chart in order of its first
// stitch, for threads with at least `rareThreshold` stitches, with the thread's table colour,
// number and stitch count; then every other thread the chart's layers use (part stitches, back
// stitches, knots, beads), whatever its count of full stitches (often 0), in order of first use
// in the layers (see LayerTally::threads). Sets maxColor to the number of entries. Lists
// nothing (maxColor 0) for a brand other than "DMC". One pass over the stitches.
[[nodiscard]] ColorIndexError sortColorIndex(ChartModel& model, int rareThreshold,
    const ThreadTable& table, const ColorIndexHooks& hooks = {});

// Gives thread colorList[i - 1] the symbol position i (i = 1..colorCount) and every other
// thread none. Rare threads left out of the legend keep their place in the numbering.
void assignSymbols(ChartModel& model);

// Keeps the symbols of a chart whose threads are colorList (in any order; repeats and values
// that are no thread are dropped): a thread keeps the position chrIndex gives it unless an
// earlier thread of colorList holds it; every other thread takes the lowest position no thread
// holds, in colorList order. Then colorList is put in symbol order and chrIndex cleared for
// every thread not in it. So a thread that left the chart frees its symbol and moves no other.
void keepSymbols(ChartModel& model);

struct ColorIndexSettings {
    int mergeTol = 0;      // squared-distance tolerance, 0 merges only identical thread colours
    int rareThreshold = 5; // threads with fewer stitches are left out of the legend
};

// The whole chart model of one generation: symbols (loadxiuChr), makeColorIndex,
// sortColorIndex and assignSymbols, in that order. chartReady is true only on success.
[[nodiscard]] ColorIndexError generateChartModel(const StitchMatrix& stitches, ChartModel& model,
    const ColorIndexSettings& settings, const ThreadTable& table, const ColorIndexHooks& hooks = {});

// A thread number as legend text: decimal, left-aligned in a field of 8 characters.
[[nodiscard]] std::string threadName(int number);

} // namespace kanvo
