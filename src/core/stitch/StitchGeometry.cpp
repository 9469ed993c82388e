#include "core/stitch/StitchGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kanvo {

bool StitchGeometry::inside(StitchPoint point, int gw, int gh)
{
    // Written so that NaN is outside.
    return point.x >= 0 && point.y >= 0 && point.x <= gw && point.y <= gh;
}

bool StitchGeometry::inside(const PartStitch& part, int gw, int gh)
{
    const int corners = part.corners & 15;
    return part.x >= 0 && part.y >= 0 && part.x < gw && part.y < gh && corners != 0 && corners != 15
        && corners == part.corners;
}

bool StitchGeometry::inside(const BackStitch& back, int gw, int gh)
{
    return inside(back.from, gw, gh) && inside(back.to, gw, gh);
}

bool StitchGeometry::inside(const Ornament& ornament, int gw, int gh) { return inside(ornament.at, gw, gh); }

double StitchGeometry::length(const BackStitch& back)
{
    return std::hypot(back.to.x - back.from.x, back.to.y - back.from.y);
}

int StitchGeometry::cornerCount(std::uint8_t corners) { return std::popcount(static_cast<unsigned>(corners & 15)); }

int StitchGeometry::removeOutside(StitchLayers& layers, int gw, int gh)
{
    const auto outside = [gw, gh](const auto& element) { return !inside(element, gw, gh); };
    return static_cast<int>(std::erase_if(layers.parts, outside) + std::erase_if(layers.backs, outside)
        + std::erase_if(layers.ornaments, outside));
}

} // namespace kanvo
