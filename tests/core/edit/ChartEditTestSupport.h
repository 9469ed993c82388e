#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/edit/ChartEditor.h"
#include "core/palette/ChartModel.h"
#include "core/palette/SymbolSet.h"
#include "core/palette/ThreadTable.h"

namespace kanvo::test {

// Threads of the charts drawn below: letters name threads, '.' an empty cell.
constexpr int threadOfLetter(char letter)
{
    switch (letter) {
    case 'A': return 5;
    case 'B': return 17;
    case 'C': return 40;
    case 'D': return 100;
    case 'E': return 200;
    default: return ChartModel::kNoStitch;
    }
}

inline constexpr int A = threadOfLetter('A');
inline constexpr int B = threadOfLetter('B');
inline constexpr int C = threadOfLetter('C');
inline constexpr int D = threadOfLetter('D');
inline constexpr int E = threadOfLetter('E');
inline constexpr int kEmpty = ChartModel::kNoStitch;

// A DMC chart whose rows are the given strings; colorList holds its threads in order of first
// stitch with symbols 1, 2, ...; the legend is left empty (the editor lists it after a change).
inline ChartModel chartOf(const std::vector<std::string>& rows)
{
    ChartModel m;
    m.gh = static_cast<int>(rows.size());
    m.gw = static_cast<int>(rows.front().size());
    m.whichType = "DMC";
    m.xiuChr = loadxiuChr();
    m.colorIndex.assign(321 * 321, 0);
    m.chrIndex.assign(ChartModel::kThreadSlots, 0);
    for (int y = 0; y < m.gh; ++y)
        for (int x = 0; x < m.gw; ++x) {
            const int t = threadOfLetter(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            m.colorIndex[static_cast<std::size_t>(x) * 321 + static_cast<std::size_t>(y)] = t;
            if (t != ChartModel::kNoStitch && m.chrIndex[static_cast<std::size_t>(t)] == 0) {
                m.colorList.push_back(t);
                m.chrIndex[static_cast<std::size_t>(t)] = static_cast<int>(m.colorList.size());
            }
        }
    m.colorCount = static_cast<int>(m.colorList.size());
    return m;
}

// The chart's cells written back as rows of letters.
inline std::vector<std::string> rowsOf(const ChartModel& m)
{
    std::vector<std::string> rows;
    for (int y = 0; y < m.gh; ++y) {
        std::string row;
        for (int x = 0; x < m.gw; ++x) {
            char letter = '.';
            for (const char c : std::string("ABCDE"))
                if (threadOfLetter(c) == m.threadAt(x, y))
                    letter = c;
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

// One legend entry: the thread and its full-stitch count.
struct Listed {
    int thread;
    int count;
    friend bool operator==(const Listed&, const Listed&) = default;
};

inline void PrintTo(const Listed& l, std::ostream* os) { *os << l.thread << "x" << l.count; }

inline std::vector<Listed> legendOf(const ChartModel& m)
{
    std::vector<Listed> out;
    for (const ThreadEntry& e : m.threadList)
        out.push_back({e.index, e.count});
    return out;
}

// The chart the editing tests start from, with its editor (rare-thread threshold 1).
// Cells: A 4 (first at (0,0)), B 5 (first at (2,0)), C 1 (at (3,2)); symbols A 1, B 2, C 3.
class EditedChartTest : public ::testing::Test {
protected:
    ChartModel chart = chartOf({
        "AAB.",
        "BAB.",
        "BBAC",
    });
    ChartEditor editor{chart, loadedThreadTable(), 1};
};

} // namespace kanvo::test
