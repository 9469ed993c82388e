#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Nearest-thread search over threads 1..452 of a thread table by squared RGB distance. Of
// equally near threads the lowest thread index wins, so the second thread of a pair of equal
// table colours is never chosen. The search keeps a copy of the table's colours (a k-d tree):
// build a new one after the table changes.
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
    static constexpr int kLeafSize = 8;

    struct Point {
        std::array<std::int32_t, 3> rgb{};
        std::int32_t index = 0;
    };
    // Node n covers points_[begin, end); inner nodes split on `axis` at `split` (children
    // 2n + 1 and 2n + 2 hold the points below and from the split point on).
    struct Node {
        std::int32_t begin = 0;
        std::int32_t end = 0;
        std::int32_t axis = -1; // -1: leaf
        std::int32_t split = 0;
    };
    struct Best {
        int distance;
        int index;
    };

    void build(std::size_t node, int begin, int end);
    void search(std::size_t node, const std::array<std::int32_t, 3>& q, Best& best) const;

    std::vector<Point> points_;
    std::vector<Node> nodes_;
};

} // namespace kanvo
