#include "core/stitch/StitchTotals.h"

#include <bit>
#include <cmath>
#include <map>

namespace kanvo {

double backStitchLength(const BackStitch& back)
{
    return std::hypot(back.to.x - back.from.x, back.to.y - back.from.y);
}

std::vector<ThreadLayerTotals> layerTotals(const StitchLayers& layers)
{
    std::map<int, ThreadLayerTotals> byThread;
    const auto of = [&byThread](int thread) -> ThreadLayerTotals& {
        ThreadLayerTotals& t = byThread[thread];
        t.thread = thread;
        return t;
    };
    for (const PartStitch& part : layers.parts)
        of(part.thread).partCorners += std::popcount(static_cast<unsigned>(part.corners & 0x0F));
    for (const BackStitch& back : layers.backs) {
        ThreadLayerTotals& t = of(back.thread);
        t.backLength += backStitchLength(back);
        ++t.backStitches;
    }
    for (const Ornament& o : layers.ornaments)
        ++(o.kind == OrnamentKind::Knot ? of(o.thread).knots : of(o.thread).beads);
    std::vector<ThreadLayerTotals> totals;
    totals.reserve(byThread.size());
    for (const auto& [thread, t] : byThread)
        totals.push_back(t);
    return totals;
}

} // namespace kanvo
