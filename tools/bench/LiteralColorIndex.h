#pragma once

#include <string>
#include <vector>

#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

// A line-by-line transcription of the original quadratic colour index loops, kept as the
// baseline for the benchmark and as the reference the tests compare the fast code with. It
// keeps the original's 1-based tables and its one fault: the first legend entry's swatch is the
// stitch colour of cell (0, 0) instead of the thread's table colour.
namespace kanvo::literal {

struct LiteralModel {
    std::vector<int> colorList = std::vector<int>(501, 0);       // [1..500]
    std::vector<int> colorIndex = std::vector<int>(321 * 321, 0); // [x * 321 + y]
    std::vector<ThreadEntry> threadList = std::vector<ThreadEntry>(501); // [1..500]
    std::vector<int> chrIndex = std::vector<int>(501, 0);        // [thread index]
    int maxColor = 0;
    int colorCount = 0;
    std::string whichType;
};

// Phase 1 to the end of the colour index; false when the 501st distinct colour stopped it.
[[nodiscard]] bool makeColorIndex(const StitchMatrix& stitches, int gw, int gh, int mergeTol,
    const ThreadTable& table, LiteralModel& model);
// list[1..count] merged in place.
void mergeNearThreads(std::vector<int>& list, int count, int tolerance, const ThreadTable& table);
void sortColorIndex(const StitchMatrix& stitches, int gw, int gh, int threshold,
    const ThreadTable& table, LiteralModel& model);
void assignSymbols(LiteralModel& model);

// All of a generation; false when the 501st distinct colour stopped it.
[[nodiscard]] bool generate(const StitchMatrix& stitches, int gw, int gh, int mergeTol, int threshold,
    const ThreadTable& table, LiteralModel& model);

} // namespace kanvo::literal
