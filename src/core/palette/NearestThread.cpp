#include "core/palette/NearestThread.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <span>
#include <utility>

namespace kanvo {

namespace {

// Squared distance from `value` to the nearest and to the farthest level of [low, high] on one
// channel.
[[nodiscard]] int nearSquare(int value, int low, int high)
{
    const int d = value < low ? low - value : (value > high ? value - high : 0);
    return d * d;
}
[[nodiscard]] int farSquare(int value, int low, int high)
{
    const int d = std::max(value - low, high - value);
    return d * d;
}

// Appends to `out` the threads of `pool` (kept in their order) that can be nearest to a colour
// of the box of `side` levels per channel from (red, green, blue) on: no colour of the box is farther from its nearest thread
// than `bound`, the smallest farthest-corner distance of a pool thread, so a thread whose
// nearest-corner distance exceeds `bound` is never the nearest (nor tied with it) there.
template <typename Point>
void keepPossibleNearest(std::span<const Point> pool, int red, int green, int blue, int side,
    std::vector<Point>& out)
{
    const int r1 = red + side - 1, g1 = green + side - 1, b1 = blue + side - 1;
    int bound = std::numeric_limits<int>::max();
    for (const Point& p : pool)
        bound = std::min(bound,
            farSquare(p.red, red, r1) + farSquare(p.green, green, g1) + farSquare(p.blue, blue, b1));
    for (const Point& p : pool)
        if (nearSquare(p.red, red, r1) + nearSquare(p.green, green, g1) + nearSquare(p.blue, blue, b1)
            <= bound)
            out.push_back(p);
}

} // namespace

NearestThread::NearestThread(const ThreadTable& table)
{
    // A thread whose colour an earlier thread already has can never be chosen (a later thread
    // wins only when strictly nearer), so each colour is kept once, with its first thread.
    std::vector<Candidate> threads;
    for (int t = 1; t <= kThreads; ++t) {
        const ColorValue c = table.colorOf(t);
        const Candidate p{static_cast<std::int16_t>(redOf(c)), static_cast<std::int16_t>(greenOf(c)),
            static_cast<std::int16_t>(blueOf(c)), static_cast<std::int16_t>(t)};
        const bool seen = std::any_of(threads.begin(), threads.end(), [&](const Candidate& q) {
            return q.red == p.red && q.green == p.green && q.blue == p.blue;
        });
        if (!seen)
            threads.push_back(p);
    }

    // Cells of twice the side first, from all threads; each cell then from its parent's
    // candidates only (a colour of a cell is a colour of its parent).
    constexpr int side = 1 << kCellBits;
    constexpr int parentsPerSide = kCellsPerSide / 2;
    std::vector<Candidate> parent;
    std::vector<Candidate> made; // runs in the order they are made
    std::array<std::pair<std::int32_t, std::int32_t>, kCells> runs{};
    for (int pr = 0; pr < parentsPerSide; ++pr) {
        for (int pg = 0; pg < parentsPerSide; ++pg) {
            for (int pb = 0; pb < parentsPerSide; ++pb) {
                parent.clear();
                keepPossibleNearest<Candidate>(threads, pr * 2 * side, pg * 2 * side, pb * 2 * side,
                    2 * side, parent);
                for (int child = 0; child < 8; ++child) {
                    const int r0 = (pr * 2 + (child >> 2)) * side;
                    const int g0 = (pg * 2 + ((child >> 1) & 1)) * side;
                    const int b0 = (pb * 2 + (child & 1)) * side;
                    const auto begin = static_cast<std::int32_t>(made.size());
                    keepPossibleNearest<Candidate>(parent, r0, g0, b0, side, made);
                    runs[static_cast<std::size_t>(cellOf(r0, g0, b0))]
                        = {begin, static_cast<std::int32_t>(made.size())};
                }
            }
        }
    }
    candidates_.reserve(made.size());
    for (std::size_t cell = 0; cell < runs.size(); ++cell) {
        first_[cell] = static_cast<std::int32_t>(candidates_.size());
        candidates_.insert(candidates_.end(), made.begin() + runs[cell].first,
            made.begin() + runs[cell].second);
    }
    first_[kCells] = static_cast<std::int32_t>(candidates_.size());
}

int NearestThread::nearest(ColorValue color) const
{
    const int r = redOf(color), g = greenOf(color), b = blueOf(color);
    const auto cell = static_cast<std::size_t>(cellOf(r, g, b));
    const Candidate* const begin = candidates_.data() + first_[cell];
    const Candidate* const end = candidates_.data() + first_[cell + 1];
    // Candidates are in ascending thread index, so keeping the first of equal distances gives
    // ties to the lowest index.
    int best = std::numeric_limits<int>::max();
    int bestIndex = kThreads + 1;
    for (const Candidate* c = begin; c != end; ++c) {
        const int dr = c->red - r, dg = c->green - g, db = c->blue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            bestIndex = c->index;
        }
    }
    return bestIndex;
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

} // namespace kanvo
