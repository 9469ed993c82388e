#include "core/edit/ChartRegion.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "core/colour/Ciede2000.h"
#include "core/colour/ColourSpace.h"

namespace kanvo {

namespace {

struct Bounds {
    int width = 0;
    int height = 0;
    explicit Bounds(const ChartModel& chart)
    {
        if (chart.colorIndex.size() >= static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide) {
            width = std::clamp(chart.gw, 0, ChartModel::kMaxSide);
            height = std::clamp(chart.gh, 0, ChartModel::kMaxSide);
        }
    }
    [[nodiscard]] bool contains(CellPos c) const { return c.x >= 0 && c.y >= 0 && c.x < width && c.y < height; }
    [[nodiscard]] std::size_t flat(CellPos c) const
    {
        return static_cast<std::size_t>(c.x) * static_cast<std::size_t>(height) + static_cast<std::size_t>(c.y);
    }
};

// Collects the cells reached from `starts` through cells for which open(cell) holds; `take`
// decides which of the reached cells belong to the result.
template <typename Open, typename Take>
std::vector<CellPos> flood(const Bounds& b, std::vector<CellPos> pending, Open open, Take take)
{
    std::vector<char> seen(static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height), 0);
    std::vector<CellPos> result;
    for (const CellPos c : pending)
        seen[b.flat(c)] = 1;
    while (!pending.empty()) {
        const CellPos c = pending.back();
        pending.pop_back();
        if (take(c))
            result.push_back(c);
        const std::array<CellPos, 4> next{{{c.x - 1, c.y}, {c.x + 1, c.y}, {c.x, c.y - 1}, {c.x, c.y + 1}}};
        for (const CellPos n : next) {
            if (!b.contains(n) || seen[b.flat(n)] != 0 || !open(n))
                continue;
            seen[b.flat(n)] = 1;
            pending.push_back(n);
        }
    }
    return result;
}

template <typename Visit>
void forBorder(const Bounds& b, Visit visit)
{
    for (int x = 0; x < b.width; ++x) {
        visit(CellPos{x, 0});
        if (b.height > 1)
            visit(CellPos{x, b.height - 1});
    }
    for (int y = 1; y + 1 < b.height; ++y) {
        visit(CellPos{0, y});
        if (b.width > 1)
            visit(CellPos{b.width - 1, y});
    }
}

} // namespace

CellRect CellRect::spanning(CellPos a, CellPos b)
{
    return CellRect{std::min(a.x, b.x), std::min(a.y, b.y), std::abs(a.x - b.x) + 1, std::abs(a.y - b.y) + 1};
}

std::vector<CellPos> ChartRegion::line(const ChartModel& chart, CellPos from, CellPos to)
{
    const Bounds b(chart);
    std::vector<CellPos> cells;
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    CellPos c = from;
    for (;;) {
        if (b.contains(c))
            cells.push_back(c);
        if (c == to)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            c.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            c.y += sy;
        }
    }
    return cells;
}

std::vector<CellPos> ChartRegion::connected(const ChartModel& chart, CellPos seed)
{
    const Bounds b(chart);
    if (!b.contains(seed))
        return {};
    const int thread = chart.threadAt(seed.x, seed.y);
    const auto same = [&](CellPos c) { return chart.threadAt(c.x, c.y) == thread; };
    return flood(b, {seed}, same, [](CellPos) { return true; });
}

std::vector<CellPos> ChartRegion::rectangle(const ChartModel& chart, CellRect rect)
{
    const Bounds b(chart);
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.left + rect.width, b.width);
    const int bottom = std::min(rect.top + rect.height, b.height);
    std::vector<CellPos> cells;
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y)
            cells.push_back(CellPos{x, y});
    return cells;
}

std::optional<int> ChartRegion::borderThread(const ChartModel& chart)
{
    const Bounds b(chart);
    std::array<int, ChartModel::kThreadSlots> counts{};
    forBorder(b, [&](CellPos c) {
        const int t = chart.threadAt(c.x, c.y);
        if (t > 0 && t < ChartModel::kThreadSlots)
            ++counts[static_cast<std::size_t>(t)];
    });
    const auto most = std::max_element(counts.begin(), counts.end());
    if (*most == 0)
        return std::nullopt;
    return static_cast<int>(most - counts.begin());
}

std::vector<CellPos> ChartRegion::background(const ChartModel& chart, const ThreadTable& table,
    ColorValue reference, double tolerance)
{
    const Bounds b(chart);
    if (tolerance < 0)
        return {};
    // The decision per thread, made once: a chart has at most a few hundred threads.
    const Lab target = ColourSpace::labOf(reference);
    std::array<signed char, ChartModel::kThreadSlots> near{};
    const auto matches = [&](int thread) {
        if (thread <= 0 || thread >= ChartModel::kThreadSlots)
            return false;
        signed char& known = near[static_cast<std::size_t>(thread)];
        if (known == 0) {
            const ColorValue colour = table.colorOf(thread);
            const bool within = colour == reference
                || (tolerance > 0 && Ciede2000::difference(ColourSpace::labOf(colour), target) <= tolerance);
            known = within ? 1 : -1;
        }
        return known > 0;
    };
    const auto open = [&](CellPos c) {
        const int t = chart.threadAt(c.x, c.y);
        return t == ChartModel::kNoStitch || matches(t);
    };
    std::vector<CellPos> starts;
    forBorder(b, [&](CellPos c) {
        if (open(c))
            starts.push_back(c);
    });
    return flood(b, std::move(starts), open, [&](CellPos c) { return chart.threadAt(c.x, c.y) != ChartModel::kNoStitch; });
}

} // namespace kanvo
