#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/common/Color.h"
#include "core/stitch/StitchLayers.h"

namespace kanvo {

// One legend entry: a thread of the chart with its stitch count.
struct ThreadEntry {
    ColorValue color = 0; // swatch colour (the thread's table colour)
    int index = 0;        // thread index in the thread table, 1..452
    std::string name;     // thread number, left-aligned in a field of 8 characters
    int count = 0;        // stitches of this thread in the chart
    friend bool operator==(const ThreadEntry&, const ThreadEntry&) = default;
};

// The chart model of one generation, owned by the chart window and read by the legend, the
// painter, printing, the final preview and the editor. Tables the program numbers from 1 are
// stored 0-based here: legend entry n is threadList[n - 1], colour list entry n is
// colorList[n - 1]. chrIndex is the exception: it is indexed by thread index directly.
struct ChartModel {
    static constexpr int kMaxSide = 320;
    static constexpr int kMatrixSide = 321; // colorIndex is kMatrixSide x kMatrixSide cells
    static constexpr int kMaxColors = 500;
    static constexpr int kThreadSlots = 501; // chrIndex size: thread indices 1..500, [0] unused

    int gw = 0; // chart width in stitches, 1..320
    int gh = 0; // chart height in stitches, 1..320

    int maxColor = 0;   // threads in threadList after generation (== threadList.size())
    int colorCount = 0; // distinct threads after merging, before the rare-thread filter

    // After a generation: the colorCount distinct thread indices of the chart in order of first
    // appearance (row by row from the top, each row from the left). For a brand other than
    // "DMC" the generation stops early and this holds the distinct stitch colours instead.
    std::vector<int> colorList;
    // Thread index per stitch, column first: [x * 321 + y], 321 x 321 cells; only cells inside
    // gw x gh belong to the chart. (For a brand other than "DMC": 1-based colorList position.)
    std::vector<int> colorIndex;
    std::vector<ThreadEntry> threadList; // legend, in order of each thread's first stitch

    // Symbols: xiuChr holds 241 symbols (UTF-8, one string per symbol). chrIndex[t] is the
    // 1-based symbol position of thread index t (kThreadSlots entries, 0 = no symbol); a
    // position beyond 241 also means no symbol. Use symbolOf() rather than indexing by hand.
    std::vector<std::string> xiuChr;
    std::vector<int> chrIndex;

    std::string xiutuTitle; // chart title; "我的绣图" when empty
    std::string whichType;  // thread brand; "DMC" when empty
    bool chartReady = false; // set only when a generation completed (not stopped, no error)

    // The colorIndex value of a cell without a stitch. Generated charts never have one; charts
    // read from project files may.
    static constexpr int kNoStitch = 0;

    [[nodiscard]] int threadAt(int x, int y) const
    {
        return colorIndex[static_cast<std::size_t>(x) * kMatrixSide + static_cast<std::size_t>(y)];
    }
    [[nodiscard]] bool isStitched(int x, int y) const { return threadAt(x, y) != kNoStitch; }

    // The colour shown for a cell without a stitch (the final preview's cloth); white unless a
    // project file names another.
    ColorValue clothColor = 0xFFFFFFu;
    // True for a chart read from a project file: no reduced picture (stitch matrix) lies behind
    // it, so its stitches are shown in their threads' table colours.
    bool fromProject = false;

    // Part stitches, back stitches, knots and beads, with thread indices of the thread table.
    StitchLayers layers;

    // Cells of the gw x gh chart that hold a stitch (gw x gh for a generated chart).
    [[nodiscard]] long stitchCount() const
    {
        long count = 0;
        if (colorIndex.size() < static_cast<std::size_t>(kMatrixSide) * kMatrixSide)
            return count;
        for (int x = 0; x < gw && x < kMaxSide; ++x)
            for (int y = 0; y < gh && y < kMaxSide; ++y)
                count += isStitched(x, y) ? 1 : 0;
        return count;
    }

    // The symbol of thread index t: empty when the thread has none (not in the chart, or its
    // position in the chart's thread list is beyond the 241 symbols).
    [[nodiscard]] std::string_view symbolOf(int threadIndex) const
    {
        if (threadIndex < 0 || threadIndex >= static_cast<int>(chrIndex.size()))
            return {};
        const int position = chrIndex[static_cast<std::size_t>(threadIndex)];
        if (position < 1 || position > static_cast<int>(xiuChr.size()))
            return {};
        return xiuChr[static_cast<std::size_t>(position - 1)];
    }
};

} // namespace kanvo
