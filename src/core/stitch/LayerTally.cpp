#include "core/stitch/LayerTally.h"

#include "core/palette/ChartModel.h"
#include "core/stitch/StitchGeometry.h"

namespace kanvo {

LayerTally::LayerTally(const StitchLayers& layers) : counts_(ChartModel::kThreadSlots)
{
    for (const PartStitch& p : layers.parts) {
        const int corners = StitchGeometry::cornerCount(p.corners);
        Counts& counts = add(p.thread);
        ++counts.partStitches;
        counts.corners += corners;
        ++total_.partStitches;
        total_.corners += corners;
    }
    for (const BackStitch& b : layers.backs) {
        const double length = StitchGeometry::length(b);
        Counts& counts = add(b.thread);
        ++counts.backStitches;
        counts.backLength += length;
        ++total_.backStitches;
        total_.backLength += length;
    }
    for (const Ornament& o : layers.ornaments) {
        const bool knot = o.kind == OrnamentKind::Knot;
        Counts& counts = add(o.thread);
        (knot ? counts.knots : counts.beads) += 1;
        (knot ? total_.knots : total_.beads) += 1;
    }
}

LayerTally::Counts& LayerTally::add(int thread)
{
    if (thread <= 0 || thread >= static_cast<int>(counts_.size()))
        return discarded_ = Counts{}; // no thread: counted in the total only
    Counts& counts = counts_[static_cast<std::size_t>(thread)];
    if (!counts.any())
        threads_.push_back(thread);
    return counts;
}

const LayerTally::Counts& LayerTally::of(int thread) const
{
    if (thread <= 0 || thread >= static_cast<int>(counts_.size()))
        return none_;
    return counts_[static_cast<std::size_t>(thread)];
}

} // namespace kanvo
