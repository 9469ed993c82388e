#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Nearest-thread search over threads 1..452 of a thread table by squared RGB distance. Of
// equally near threads the lowest thread index wins, so the second thread of a pair of equal
// table colours is never chosen. The search keeps a copy of the table's colours, sorted into a
// coarse grid over the colour cube: build a new one after the table changes.
class NearestThread {
public:
    explicit NearestThread(const ThreadTable& table);

    // Thread index 1..452 of the thread nearest to `color` (only its low 24 bits count).
    [[nodiscard]] int nearest(ColorValue color) const;

    // A search for `table`, kept per thread of execution and rebuilt only when the table's
    // threads differ from those of the previous call. Valid until the next call on the same
    // thread of execution.
    [[nodiscard]] static const NearestThread& forTable(const ThreadTable& table);

private:
    static constexpr int kThreads = ThreadTable::kThreads;
    static constexpr int kCellBits = 4;                  // a grid cell spans 16 levels per channel
    static constexpr int kCellsPerSide = 256 >> kCellBits;
    static constexpr int kCells = kCellsPerSide * kCellsPerSide * kCellsPerSide;

    // A thread that can be nearest to some colour of a cell; one cache line holds eight.
    struct Candidate {
        std::int16_t red = 0;
        std::int16_t green = 0;
        std::int16_t blue = 0;
        std::int16_t index = 0;
    };

    [[nodiscard]] static int cellOf(int red, int green, int blue)
    {
        return ((red >> kCellBits) * kCellsPerSide + (green >> kCellBits)) * kCellsPerSide
            + (blue >> kCellBits);
    }

    // For every grid cell, by ascending thread index, the threads that can be nearest to one of
    // its colours; cell after cell, cell c's run is [first_[c], first_[c + 1]).
    std::vector<Candidate> candidates_;
    std::array<std::int32_t, kCells + 1> first_{};
};

} // namespace kanvo
