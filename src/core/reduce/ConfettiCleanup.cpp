#include "core/reduce/ConfettiCleanup.h"

#include <algorithm>
#include <limits>

#include "core/colour/Ciede2000.h"

namespace kanvo {

namespace {

class RegionWalker {
public:
    RegionWalker(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height)
        : slots_(slots), picture_(picture), width_(width), height_(height), seen_(slots.size(), 0)
    {
    }

    // One pass over all regions; true when any region changed thread.
    bool pass(const ThreadMatcher& palette, int maxRegion)
    {
        ++stamp_;
        bool changed = false;
        for (std::size_t start = 0; start < slots_.size(); ++start) {
            if (seen_[start] == stamp_)
                continue;
            collect(start);
            if (static_cast<int>(region_.size()) <= maxRegion)
                changed = merge(palette) || changed;
        }
        return changed;
    }

private:
    // Flood fill of the region holding `start` into region_, marked as seen.
    void collect(std::size_t start)
    {
        region_.clear();
        const int slot = slots_[start];
        seen_[start] = stamp_;
        region_.push_back(start);
        for (std::size_t k = 0; k < region_.size(); ++k) {
            forNeighbours(region_[k], [&](std::size_t n) {
                if (seen_[n] != stamp_ && slots_[n] == slot) {
                    seen_[n] = stamp_;
                    region_.push_back(n);
                }
            });
        }
    }

    template <typename F>
    void forNeighbours(std::size_t i, F&& f) const
    {
        const int x = static_cast<int>(i % static_cast<std::size_t>(width_));
        const int y = static_cast<int>(i / static_cast<std::size_t>(width_));
        if (x > 0)
            f(i - 1);
        if (x + 1 < width_)
            f(i + 1);
        if (y > 0)
            f(i - static_cast<std::size_t>(width_));
        if (y + 1 < height_)
            f(i + static_cast<std::size_t>(width_));
    }

    [[nodiscard]] bool isHighlight() const
    {
        if (region_.size() != 1)
            return false;
        double around = 0;
        int count = 0;
        forNeighbours(region_[0], [&](std::size_t n) {
            around += ColourSpace::labOf(picture_[n]).L;
            ++count;
        });
        return count > 0
            && ColourSpace::labOf(picture_[region_[0]]).L - around / count >= ConfettiCleanup::kHighlightLift;
    }

    bool merge(const ThreadMatcher& palette)
    {
        const int own = slots_[region_.front()];
        neighbours_.clear();
        double red = 0, green = 0, blue = 0;
        for (std::size_t i : region_) {
            const LinearRgb c = ColourSpace::linearOf(picture_[i]);
            red += c.red;
            green += c.green;
            blue += c.blue;
            forNeighbours(i, [&](std::size_t n) {
                if (slots_[n] != own && std::find(neighbours_.begin(), neighbours_.end(), slots_[n]) == neighbours_.end())
                    neighbours_.push_back(slots_[n]);
            });
        }
        if (neighbours_.empty() || isHighlight())
            return false;
        const double count = static_cast<double>(region_.size());
        const Lab colour = ColourSpace::labOf(LinearRgb{static_cast<float>(red / count),
            static_cast<float>(green / count), static_cast<float>(blue / count)});
        // Lowest slot first among equals, so the result does not depend on the walk order.
        std::sort(neighbours_.begin(), neighbours_.end());
        int best = -1;
        double bestDifference = std::numeric_limits<double>::infinity();
        for (int slot : neighbours_) {
            const double d = Ciede2000::difference(colour, palette.lab(slot));
            if (d < bestDifference) {
                bestDifference = d;
                best = slot;
            }
        }
        if (bestDifference > ConfettiCleanup::kEdgeDifference)
            return false;
        // The stitches now belong to the neighbour's region: unmark them so that region is
        // measured whole when the walk reaches it.
        for (std::size_t i : region_) {
            slots_[i] = best;
            seen_[i] = 0;
        }
        return true;
    }

    std::vector<int>& slots_;
    std::span<const ColorValue> picture_;
    int width_;
    int height_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
    std::vector<std::size_t> region_;
    std::vector<int> neighbours_;
};

} // namespace

void ConfettiCleanup::run(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
    const ThreadMatcher& palette, int maxRegion)
{
    if (maxRegion <= 0 || slots.empty())
        return;
    RegionWalker walker(slots, picture, width, height);
    // Every merge joins two regions, so the passes end; the bound only guards against surprises.
    for (int pass = 0; pass < 64 && walker.pass(palette, maxRegion); ++pass) {
    }
}

} // namespace kanvo
