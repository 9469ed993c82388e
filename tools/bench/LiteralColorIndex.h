#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

// A line-by-line transcription of the original quadratic colour index loops, kept as the
// baseline for the benchmark and as the reference the tests compare the fast code with. It
// keeps the original's 1-based tables, its yields and stop tests where the original has them,
// and its one fault: the first legend entry's swatch is the stitch colour of cell (0, 0)
// instead of the thread's table colour.
namespace kanvo::literal {

struct LiteralModel {
    std::vector<int> colorList = std::vector<int>(501, 0);       // [1..500]
    // Laid out as the original's colorIndex(x, y), the column number varying fastest, so that
    // its row-by-row loops walk memory in order.
    std::vector<int> colorIndex = std::vector<int>(321 * 321, 0); // [y * 321 + x]
    std::vector<ThreadEntry> threadList = std::vector<ThreadEntry>(501); // [1..500]
    std::vector<int> chrIndex = std::vector<int>(501, 0);        // [thread index]
    std::string xiuChr;                                          // the 241 symbols, UTF-8
    int maxColor = 0;
    int colorCount = 0;
    std::string whichType;

    [[nodiscard]] int threadAt(int x, int y) const
    {
        return colorIndex[static_cast<std::size_t>(y) * 321 + static_cast<std::size_t>(x)];
    }
};

// The window's side of the loops; each may be empty. yieldEvents stands for handing pending
// window events their turn, progress for the progress bar (rows done, rows in all), running for
// the stop flag the loops test.
struct LiteralHooks {
    std::function<void()> yieldEvents;
    std::function<void(int rowsDone, int rowsTotal)> progress;
    std::function<bool()> running;
};

// Phase 1 to the end of the colour index; false when the 501st distinct colour or a cleared
// `running` stopped it.
[[nodiscard]] bool makeColorIndex(const StitchMatrix& stitches, int gw, int gh, int mergeTol,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks = {});
// list[1..count] merged in place.
void mergeNearThreads(std::vector<int>& list, int count, int tolerance, const ThreadTable& table);
// false when a cleared `running` stopped it.
bool sortColorIndex(const StitchMatrix& stitches, int gw, int gh, int threshold,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks = {});
void loadxiuChr(LiteralModel& model);
void assignSymbols(LiteralModel& model, const LiteralHooks& hooks = {});

// All of a generation; false when the 501st distinct colour or a cleared `running` stopped it.
[[nodiscard]] bool generate(const StitchMatrix& stitches, int gw, int gh, int mergeTol, int threshold,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks = {});

} // namespace kanvo::literal
