#pragma once

#include <string>
#include <vector>

#include "core/common/Color.h"

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
// stored 0-based here: legend entry n is threadList[n - 1].
struct ChartModel {
    static constexpr int kMaxSide = 320;
    static constexpr int kMaxColors = 500;

    int gw = 0; // chart width in stitches, at most 320
    int gh = 0; // chart height in stitches, at most 320

    int maxColor = 0;   // threads in threadList after generation
    int colorCount = 0; // distinct threads after merging, before the rare-thread filter

    std::vector<int> colorList;         // distinct thread indices in order of first appearance
    std::vector<int> colorIndex;        // thread index per stitch, column first: [x * 321 + y]
    std::vector<ThreadEntry> threadList; // legend, in order of each thread's first stitch

    // Symbols: xiuChr holds 241 symbols (UTF-8, one string per symbol); chrIndex[k] is the
    // 1-based symbol position of legend entry k + 1, 0 when it has none.
    std::vector<std::string> xiuChr;
    std::vector<int> chrIndex;

    std::string xiutuTitle; // chart title; "我的绣图" when empty
    std::string whichType;  // thread brand; "DMC" when empty
    bool chartReady = false;

    [[nodiscard]] int threadAt(int x, int y) const
    {
        return colorIndex[static_cast<std::size_t>(x) * 321 + static_cast<std::size_t>(y)];
    }
};

} // namespace kanvo
