#include "core/palette/NearestThread.h"

#include <algorithm>
#include <optional>

namespace kanvo {

NearestThread::NearestThread(const ThreadTable& table)
{
    points_.reserve(kThreads);
    for (int t = 1; t <= kThreads; ++t) {
        const ColorValue c = table.colorOf(t);
        points_.push_back(Point{{redOf(c), greenOf(c), blueOf(c)}, t});
    }
    nodes_.resize(256); // leaves of at most 8 of 452 points lie within depth 6
    build(0, 0, kThreads);
}

void NearestThread::build(std::size_t node, int begin, int end)
{
    if (node >= nodes_.size())
        nodes_.resize(node + 1);
    Node& n = nodes_[node];
    n.begin = begin;
    n.end = end;
    if (end - begin <= kLeafSize) {
        n.axis = -1;
        return;
    }
    // Split the widest channel at its median.
    int axis = 0;
    int widest = -1;
    for (int a = 0; a < 3; ++a) {
        const auto [lo, hi] = std::minmax_element(points_.begin() + begin, points_.begin() + end,
            [a](const Point& p, const Point& q) { return p.rgb[a] < q.rgb[a]; });
        if (hi->rgb[a] - lo->rgb[a] > widest) {
            widest = hi->rgb[a] - lo->rgb[a];
            axis = a;
        }
    }
    const int mid = begin + (end - begin) / 2;
    std::nth_element(points_.begin() + begin, points_.begin() + mid, points_.begin() + end,
        [axis](const Point& p, const Point& q) { return p.rgb[axis] < q.rgb[axis]; });
    const int split = points_[static_cast<std::size_t>(mid)].rgb[axis];
    nodes_[node].axis = axis;
    nodes_[node].split = split;
    build(2 * node + 1, begin, mid);
    build(2 * node + 2, mid, end);
}

void NearestThread::search(std::size_t node, const std::array<std::int32_t, 3>& q, Best& best) const
{
    const Node& n = nodes_[node];
    if (n.axis < 0) {
        for (int i = n.begin; i < n.end; ++i) {
            const Point& p = points_[static_cast<std::size_t>(i)];
            const int dr = p.rgb[0] - q[0];
            const int dg = p.rgb[1] - q[1];
            const int db = p.rgb[2] - q[2];
            const int d = dr * dr + dg * dg + db * db;
            if (d < best.distance || (d == best.distance && p.index < best.index))
                best = Best{d, p.index};
        }
        return;
    }
    // Points below the split have a smaller channel value, points of the upper child have one
    // at least `split`. The far side can only matter when its nearest possible point is not
    // farther than the best so far (equal distances still compete by index).
    const int diff = q[static_cast<std::size_t>(n.axis)] - n.split;
    const std::size_t below = 2 * node + 1;
    const std::size_t above = 2 * node + 2;
    if (diff < 0) {
        search(below, q, best);
        if (diff * diff <= best.distance)
            search(above, q, best);
    } else {
        search(above, q, best);
        // Every point below the split lies at most at `split` on this channel.
        if (diff * diff <= best.distance)
            search(below, q, best);
    }
}

const NearestThread& NearestThread::forTable(const ThreadTable& table)
{
    struct Cache {
        ThreadTable table;
        std::optional<NearestThread> search;
    };
    thread_local Cache cache;
    if (!cache.search || !(cache.table == table)) {
        cache.table = table;
        cache.search.emplace(table);
    }
    return *cache.search;
}

int NearestThread::nearest(ColorValue color) const
{
    const std::array<std::int32_t, 3> q{redOf(color), greenOf(color), blueOf(color)};
    Best best{3 * 255 * 255 + 1, kThreads + 1};
    search(0, q, best);
    return best.index;
}

} // namespace kanvo
