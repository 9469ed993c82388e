#include "core/edit/LayerFinder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kanvo {

namespace {

double squared(double x) { return x * x; }

double distanceSquared(StitchPoint a, StitchPoint b) { return squared(a.x - b.x) + squared(a.y - b.y); }

// From p to the nearest point of the segment a-b.
double segmentDistanceSquared(StitchPoint p, StitchPoint a, StitchPoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    return distanceSquared(p, StitchPoint{a.x + t * dx, a.y + t * dy});
}

// The centre of a corner's quadrant in cell (x, y).
StitchPoint quadrantCentre(int x, int y, std::uint8_t corner)
{
    const bool right = (corner & (kTopRight | kBottomRight)) != 0;
    const bool bottom = (corner & (kBottomLeft | kBottomRight)) != 0;
    return {x + (right ? 0.75 : 0.25), y + (bottom ? 0.75 : 0.25)};
}

} // namespace

std::optional<LayerHit> LayerFinder::find(const StitchLayers& layers, StitchPoint at,
    const std::function<bool(StitchLayerKind)>& shown)
{
    const auto isShown = [&](StitchLayerKind kind) { return !shown || shown(kind); };
    // Later elements are drawn over earlier ones: on a tie the later wins.
    const auto nearest = [](const auto& list, double reach, const auto& distance) -> std::optional<std::size_t> {
        std::optional<std::size_t> best;
        double bestDistance = reach * reach;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (const double d = distance(list[i]); d <= bestDistance) {
                best = i;
                bestDistance = d;
            }
        return best;
    };
    if (isShown(StitchLayerKind::Ornament))
        if (const auto i = nearest(layers.ornaments, kOrnamentReach, [&](const Ornament& o) { return distanceSquared(at, o.at); }))
            return LayerHit{StitchLayerKind::Ornament, *i};
    if (isShown(StitchLayerKind::Back))
        if (const auto i = nearest(layers.backs, kBackReach,
                [&](const BackStitch& b) { return segmentDistanceSquared(at, b.from, b.to); }))
            return LayerHit{StitchLayerKind::Back, *i};
    if (isShown(StitchLayerKind::Part)) {
        const int x = static_cast<int>(std::floor(at.x));
        const int y = static_cast<int>(std::floor(at.y));
        // Any corner of the cell is within 0.5 * sqrt(2) of a point in it.
        if (const auto i = nearest(layers.parts, 1.0, [&](const PartStitch& p) {
                double d = std::numeric_limits<double>::max();
                if (p.x != x || p.y != y)
                    return d;
                for (const std::uint8_t corner : {kTopLeft, kTopRight, kBottomLeft, kBottomRight})
                    if ((p.corners & corner) != 0)
                        d = std::min(d, distanceSquared(at, quadrantCentre(x, y, corner)));
                return d;
            }))
            return LayerHit{StitchLayerKind::Part, *i};
    }
    return std::nullopt;
}

int LayerFinder::threadOf(const StitchLayers& layers, LayerHit hit)
{
    switch (hit.kind) {
    case StitchLayerKind::Part:
        return layers.parts[hit.index].thread;
    case StitchLayerKind::Back:
        return layers.backs[hit.index].thread;
    case StitchLayerKind::Ornament:
        return layers.ornaments[hit.index].thread;
    }
    return 0;
}

StitchPoint LayerFinder::snap(StitchPoint at, int gw, int gh)
{
    const auto half = [](double v, int side) { return std::clamp(std::round(v * 2) / 2, 0.0, static_cast<double>(side)); };
    return {half(at.x, gw), half(at.y, gh)};
}

Corner LayerFinder::cornerAt(StitchPoint at)
{
    const bool right = at.x - std::floor(at.x) >= 0.5;
    const bool bottom = at.y - std::floor(at.y) >= 0.5;
    if (bottom)
        return right ? kBottomRight : kBottomLeft;
    return right ? kTopRight : kTopLeft;
}

} // namespace kanvo
