#pragma once

#include <string>
#include <vector>

#include "core/palette/ChartModel.h"
#include "core/palette/SymbolSet.h"

namespace kanvo::test {

// Threads of the charts drawn below: letters name threads, '.' an empty cell.
inline int threadOfLetter(char letter)
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

} // namespace kanvo::test
