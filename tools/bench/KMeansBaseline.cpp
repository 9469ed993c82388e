#include "KMeansBaseline.h"

#include <algorithm>
#include <limits>
#include <map>
#include <random>

namespace kanvo {

namespace {

double distance2(const Lab& x, const Lab& y)
{
    return (x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b);
}

// k-means++ seeds from a fixed seed, then Lloyd rounds until no centre moves (at most 60).
std::vector<Lab> kMeans(const std::vector<Lab>& points, const std::vector<double>& weights, int k)
{
    std::mt19937 random(1);
    std::vector<Lab> centres;
    std::vector<double> nearest(points.size(), std::numeric_limits<double>::infinity());
    while (static_cast<int>(centres.size()) < k && centres.size() < points.size()) {
        double total = 0;
        for (std::size_t i = 0; i < points.size(); ++i)
            total += centres.empty() ? weights[i] : weights[i] * nearest[i];
        if (total <= 0)
            break;
        double at = total * (random() / 4294967296.0);
        std::size_t pick = points.size() - 1;
        for (std::size_t i = 0; i < points.size(); ++i) {
            at -= centres.empty() ? weights[i] : weights[i] * nearest[i];
            if (at < 0) {
                pick = i;
                break;
            }
        }
        centres.push_back(points[pick]);
        for (std::size_t i = 0; i < points.size(); ++i)
            nearest[i] = std::min(nearest[i], distance2(points[i], points[pick]));
    }
    for (int round = 0; round < 60; ++round) {
        std::vector<Lab> sums(centres.size());
        std::vector<double> totals(centres.size(), 0);
        for (std::size_t i = 0; i < points.size(); ++i) {
            std::size_t best = 0;
            for (std::size_t c = 1; c < centres.size(); ++c)
                if (distance2(points[i], centres[c]) < distance2(points[i], centres[best]))
                    best = c;
            sums[best].L += weights[i] * points[i].L;
            sums[best].a += weights[i] * points[i].a;
            sums[best].b += weights[i] * points[i].b;
            totals[best] += weights[i];
        }
        double moved = 0;
        for (std::size_t c = 0; c < centres.size(); ++c) {
            if (totals[c] == 0)
                continue;
            const Lab next{sums[c].L / totals[c], sums[c].a / totals[c], sums[c].b / totals[c]};
            moved = std::max(moved, distance2(next, centres[c]));
            centres[c] = next;
        }
        if (moved < 1e-6)
            break;
    }
    return centres;
}

} // namespace

KMeansBaseline::KMeansBaseline(std::span<const ColorValue> picture, int threads, const ThreadTable& table)
    : picture_(picture)
{
    std::map<ColorValue, double> counts;
    for (ColorValue c : picture)
        counts[c & 0xFFFFFFu] += 1;
    std::vector<Lab> points;
    std::vector<double> weights;
    for (const auto& [c, w] : counts) {
        points.push_back(ColourSpace::labOf(c));
        weights.push_back(w);
    }
    const int colours = static_cast<int>(points.size());
    // Centres that snap to the same thread leave the budget short: k grows by the shortfall
    // until the snapped centres give N threads or there are no more colours to split.
    const ThreadMatcher all(table);
    std::vector<int> chosen;
    for (int k = std::min(threads, colours);;) {
        chosen.clear();
        for (const Lab& c : kMeans(points, weights, k)) {
            const int thread = all.thread(all.nearestOfAll(c).slot);
            if (std::find(chosen.begin(), chosen.end(), thread) == chosen.end())
                chosen.push_back(thread);
        }
        if (static_cast<int>(chosen.size()) >= threads || k >= colours)
            break;
        k = std::min(colours, k + threads - static_cast<int>(chosen.size()));
    }
    // Then the least used thread goes, one at a time, until N are left.
    while (static_cast<int>(chosen.size()) > threads) {
        const ThreadMatcher set(table, chosen);
        std::vector<double> use(chosen.size(), 0);
        for (std::size_t i = 0; i < points.size(); ++i)
            use[static_cast<std::size_t>(set.nearest(points[i]).slot)] += weights[i];
        const auto least = std::min_element(use.begin(), use.end()) - use.begin();
        chosen.erase(std::find(chosen.begin(), chosen.end(), set.thread(static_cast<int>(least))));
    }
    palette_ = std::make_unique<ThreadMatcher>(table, chosen);
    for (int s = 0; s < palette_->size(); ++s)
        threadLinear_.push_back(ColourSpace::linearOf(palette_->color(s)));
}

std::vector<ColorValue> KMeansBaseline::nearest() const
{
    std::map<ColorValue, ColorValue> memo;
    std::vector<ColorValue> chart;
    chart.reserve(picture_.size());
    for (ColorValue c : picture_) {
        auto it = memo.find(c);
        if (it == memo.end())
            it = memo.emplace(c, palette_->color(palette_->nearest(ColourSpace::labOf(c)).slot)).first;
        chart.push_back(it->second);
    }
    return chart;
}

template <typename Choose>
std::vector<ColorValue> KMeansBaseline::diffused(int width, int height, bool clip, Choose&& choose) const
{
    std::vector<LinearRgb> work(picture_.size());
    for (std::size_t i = 0; i < picture_.size(); ++i)
        work[i] = ColourSpace::linearOf(picture_[i]);
    std::vector<ColorValue> chart(picture_.size());
    const auto push = [&](int x, int y, const LinearRgb& e, float share) {
        if (x < 0 || x >= width || y >= height)
            return;
        LinearRgb& t = work[static_cast<std::size_t>(y * width + x)];
        t.red += e.red * share;
        t.green += e.green * share;
        t.blue += e.blue * share;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            LinearRgb c = work[static_cast<std::size_t>(y * width + x)];
            if (clip)
                c = {std::clamp(c.red, 0.0f, 1.0f), std::clamp(c.green, 0.0f, 1.0f), std::clamp(c.blue, 0.0f, 1.0f)};
            const std::size_t best = static_cast<std::size_t>(choose(c));
            chart[static_cast<std::size_t>(y * width + x)] = palette_->color(static_cast<int>(best));
            const LinearRgb& t = threadLinear_[best];
            const LinearRgb e{c.red - t.red, c.green - t.green, c.blue - t.blue};
            push(x + 1, y, e, 7.0f / 16);
            push(x - 1, y + 1, e, 3.0f / 16);
            push(x, y + 1, e, 5.0f / 16);
            push(x + 1, y + 1, e, 1.0f / 16);
        }
    return chart;
}

std::vector<ColorValue> KMeansBaseline::floydSteinberg(int width, int height) const
{
    return diffused(width, height, true, [&](const LinearRgb& c) {
        const Lab lab = ColourSpace::labOf(c);
        int best = 0;
        for (int s = 1; s < palette_->size(); ++s)
            if (distance2(lab, palette_->lab(s)) < distance2(lab, palette_->lab(best)))
                best = s;
        return best;
    });
}

std::vector<ColorValue> KMeansBaseline::unclippedFloydSteinberg(int width, int height) const
{
    return diffused(width, height, false, [&](const LinearRgb& c) {
        const auto d = [&](const LinearRgb& t) {
            return (c.red - t.red) * (c.red - t.red) + (c.green - t.green) * (c.green - t.green)
                + (c.blue - t.blue) * (c.blue - t.blue);
        };
        int best = 0;
        for (int s = 1; s < palette_->size(); ++s)
            if (d(threadLinear_[static_cast<std::size_t>(s)]) < d(threadLinear_[static_cast<std::size_t>(best)]))
                best = s;
        return best;
    });
}

} // namespace kanvo
