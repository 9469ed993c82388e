#include "core/reduce/ConfettiCleanup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/colour/Ciede2000.h"
#include "core/reduce/BlurredError.h"

namespace kanvo {

namespace {

// The next round visits the stitches this near a change: those whose neighbours, or nearest
// blurred stitches, it changed. Further out a change moves a cost too little to matter.
constexpr int kRevisitReach = 2;
// How the next round sees a stitch: not near a change, near one, or beside one (its region or
// the threads around it may have changed).
constexpr std::uint8_t kNear = 1;
constexpr std::uint8_t kBeside = 2;
// A merge that cost more than this many times its allowance is not weighed again for a change
// that is only near: that moves its cost by far less.
constexpr float kHopeless = 1.5f;
// The least fall in blurred error for which the descent changes a stitch: no trading back and
// forth over rounding.
constexpr double kDescentGain = 1e-4;

// The palette's threads, then white for the cloth slot.
std::vector<LinearRgb> linearThreads(const ThreadMatcher& palette)
{
    std::vector<LinearRgb> threads;
    for (int s = 0; s < palette.size(); ++s)
        threads.push_back(ColourSpace::linearOf(palette.color(s)));
    threads.push_back(ColourSpace::linearOf(ColorValue{0xFFFFFF}));
    return threads;
}

std::vector<LinearRgb> chartColours(const std::vector<int>& slots, const std::vector<LinearRgb>& threads)
{
    std::vector<LinearRgb> chart(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i)
        chart[i] = threads[static_cast<std::size_t>(slots[i])];
    return chart;
}

class Cleaner {
public:
    Cleaner(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
        const ThreadMatcher& palette)
        : slots_(slots), picture_(picture), width_(width), height_(height), palette_(palette),
          threads_(linearThreads(palette)), blurred_(picture, chartColours(slots, threads_), width, height),
          pictureLabs_(slots.size(), {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f}), seen_(slots.size(), 0),
          dirty_(slots.size(), kBeside), nextDirty_(slots.size(), 0), overAllowance_(slots.size(), 0.0f),
          changedNear_(slots.size(), 0), descentDue_(slots.size(), 1)
    {
    }

    // Merges of the confetti regions near the last round's changes, cheapest first; true when any
    // region changed.
    bool mergePass(double allowance)
    {
        ++stamp_;
        merges_.clear();
        for (std::size_t start = 0; start < slots_.size(); ++start) {
            const bool hopeless = dirty_[start] == kNear && overAllowance_[start] > kHopeless;
            if (!dirty_[start] || hopeless || isCloth(start) || seen_[start] == stamp_ || !collect(start))
                continue;
            const Choice choice = bestChoice();
            const auto over = static_cast<float>(choice.cost / (allowance * static_cast<double>(region_.size())));
            for (std::size_t i : region_)
                overAllowance_[i] = over;
            if (acceptable(choice, allowance))
                merges_.push_back({choice, start});
        }
        std::sort(merges_.begin(), merges_.end(), [](const Merge& x, const Merge& y) {
            return x.choice.cost < y.choice.cost || (x.choice.cost == y.choice.cost && x.start < y.start);
        });
        bool changed = false;
        for (const Merge& m : merges_) {
            ++stamp_;
            if (!collect(m.start))
                continue;
            // A change near the region since it was weighed may have changed its cost.
            const bool untouched =
                std::none_of(region_.begin(), region_.end(), [&](std::size_t i) { return changedNear_[i] != 0; });
            const Choice choice = untouched ? m.choice : bestChoice();
            if (untouched || acceptable(choice, allowance)) {
                merge(choice.slot);
                changed = true;
            }
        }
        std::fill(changedNear_.begin(), changedNear_.end(), 0);
        return changed;
    }

    // Swaps of the lone stitches near the last round's changes, cheapest for each confetti stitch
    // removed first; true when any stitch changed.
    bool swapPass(double allowance)
    {
        swaps_.clear();
        for (std::size_t p = 0; p < slots_.size(); ++p) {
            if (!dirty_[p] || isCloth(p) || !isAlone(p))
                continue;
            Swap best;
            forNeighbours(p, [&](std::size_t q) {
                // Where p's thread goes, it must meet its own; cloth stays where it is.
                if (isCloth(q) || !touches(q, slots_[p], p))
                    return;
                const Swap s = weighSwap(p, q);
                if (s.gain > 0 && s.net(allowance) < best.net(allowance))
                    best = s;
            });
            if (acceptable(best, allowance))
                swaps_.push_back(best);
        }
        std::sort(swaps_.begin(), swaps_.end(), [](const Swap& x, const Swap& y) {
            const double perX = x.cost / x.gain, perY = y.cost / y.gain;
            return perX < perY || (perX == perY && x.p < y.p);
        });
        bool changed = false;
        for (const Swap& s : swaps_) {
            if (slots_[s.p] != s.from || slots_[s.q] != s.to)
                continue;
            const bool untouched = !changedNear_[s.p] && !changedNear_[s.q];
            const Swap now = untouched ? s : weighSwap(s.p, s.q);
            if (untouched || acceptable(now, allowance)) {
                swap(now);
                changed = true;
            }
        }
        std::fill(changedNear_.begin(), changedNear_.end(), 0);
        return changed;
    }

    // Each stitch due takes the neighbouring thread that lowers the blurred error the most,
    // unless that leaves more lone stitches around it. Repeats over the stitches near changes
    // until nothing changes or `passes` are done.
    void descend(int passes)
    {
        for (int pass = 0; pass < passes; ++pass) {
            bool changed = false;
            for (std::size_t p = 0; p < slots_.size(); ++p) {
                if (!descentDue_[p] || isCloth(p))
                    continue;
                descentDue_[p] = 0;
                changed = descendAt(p) || changed;
            }
            if (!changed)
                return;
        }
    }

    // The stitches near this round's changes are the next round's to visit.
    void endRound()
    {
        dirty_.swap(nextDirty_);
        std::fill(nextDirty_.begin(), nextDirty_.end(), 0);
    }

private:
    struct Choice {
        int slot = -1;
        double cost = std::numeric_limits<double>::infinity();
    };
    struct Merge {
        Choice choice;
        std::size_t start = 0;
    };
    // Stitch p (thread `from`) and its neighbour q (thread `to`) trading threads.
    struct Swap {
        std::size_t p = 0, q = 0;
        int from = -1, to = -1;
        int gain = 0; // confetti stitches fewer around p and q
        double cost = std::numeric_limits<double>::infinity();
        [[nodiscard]] double net(double allowance) const { return cost - allowance * gain; }
    };

    [[nodiscard]] bool isCloth(std::size_t i) const { return slots_[i] == palette_.size(); }
    [[nodiscard]] int xOf(std::size_t i) const { return static_cast<int>(i % static_cast<std::size_t>(width_)); }
    [[nodiscard]] int yOf(std::size_t i) const { return static_cast<int>(i / static_cast<std::size_t>(width_)); }

    template <typename F>
    void forNeighbours(std::size_t i, F&& f) const
    {
        const int x = xOf(i);
        const int y = yOf(i);
        if (x > 0)
            f(i - 1);
        if (x + 1 < width_)
            f(i + 1);
        if (y > 0)
            f(i - static_cast<std::size_t>(width_));
        if (y + 1 < height_)
            f(i + static_cast<std::size_t>(width_));
    }

    // Whether stitch i has a neighbour other than `except` of thread `slot`.
    [[nodiscard]] bool touches(std::size_t i, int slot, std::size_t except) const
    {
        bool found = false;
        forNeighbours(i, [&](std::size_t n) { found = found || (n != except && slots_[n] == slot); });
        return found;
    }

    [[nodiscard]] bool isAlone(std::size_t i) const { return !touches(i, slots_[i], i); }

    // The region holding `start` into region_, marked as seen; false when it is larger than
    // confetti (the fill stops as soon as it knows).
    bool collect(std::size_t start)
    {
        region_.clear();
        const int slot = slots_[start];
        seen_[start] = stamp_;
        region_.push_back(start);
        for (std::size_t k = 0; k < region_.size() && region_.size() <= ConfettiCleanup::kLargestRegion; ++k) {
            forNeighbours(region_[k], [&](std::size_t n) {
                if (seen_[n] != stamp_ && slots_[n] == slot) {
                    seen_[n] = stamp_;
                    region_.push_back(n);
                }
            });
        }
        return region_.size() <= ConfettiCleanup::kLargestRegion;
    }

    [[nodiscard]] BlurredError::Change regionChange() const
    {
        BlurredError::Change change;
        for (std::size_t i : region_) {
            change.stitches[static_cast<std::size_t>(change.count)] = i;
            change.signs[static_cast<std::size_t>(change.count++)] = 1.0f;
        }
        return change;
    }

    [[nodiscard]] LinearRgb difference(int from, int to) const
    {
        const LinearRgb& a = threads_[static_cast<std::size_t>(from)];
        const LinearRgb& b = threads_[static_cast<std::size_t>(to)];
        return {b.red - a.red, b.green - a.green, b.blue - a.blue};
    }

    // The threads of the stitches beside the region into neighbours_.
    void collectNeighbours()
    {
        const int own = slots_[region_.front()];
        neighbours_.clear();
        for (std::size_t i : region_)
            forNeighbours(i, [&](std::size_t n) {
                const bool known = std::find(neighbours_.begin(), neighbours_.end(), slots_[n]) != neighbours_.end();
                if (slots_[n] != own && !known && !isCloth(n))
                    neighbours_.push_back(slots_[n]);
            });
    }

    // The neighbouring thread that costs the region the least blurred error.
    Choice bestChoice()
    {
        const int own = slots_[region_.front()];
        collectNeighbours();
        // Lowest slot first among equals, so the result does not depend on the walk order.
        std::sort(neighbours_.begin(), neighbours_.end());
        Choice best;
        if (!neighbours_.empty())
            blurred_.weigh(regionChange());
        for (int slot : neighbours_) {
            const double cost = blurred_.cost(difference(own, slot));
            if (cost < best.cost)
                best = {slot, cost};
        }
        return best;
    }

    [[nodiscard]] Lab meanPictureLab() const
    {
        double red = 0, green = 0, blue = 0;
        for (std::size_t i : region_) {
            const LinearRgb c = ColourSpace::linearOf(picture_[i]);
            red += c.red;
            green += c.green;
            blue += c.blue;
        }
        const float count = static_cast<float>(region_.size());
        return ColourSpace::labOf(LinearRgb{static_cast<float>(red) / count, static_cast<float>(green) / count,
            static_cast<float>(blue) / count});
    }

    // Call right after bestChoice() for the same region.
    [[nodiscard]] bool acceptable(const Choice& choice, double allowance)
    {
        if (choice.slot < 0)
            return false;
        if (choice.cost < 0)
            return true;
        const double allowed = allowance * static_cast<double>(region_.size());
        return choice.cost <= allowed && !isHighlight() && !isStrongContrast();
    }

    // Stitch i of the picture in CIELAB, worked out when first asked for.
    Lab pictureLab(std::size_t i)
    {
        std::array<float, 3>& lab = pictureLabs_[i];
        if (std::isnan(lab[0])) {
            const Lab exact = ColourSpace::labOf(picture_[i]);
            lab = {static_cast<float>(exact.L), static_cast<float>(exact.a), static_cast<float>(exact.b)};
        }
        return {lab[0], lab[1], lab[2]};
    }

    [[nodiscard]] bool isHighlight()
    {
        if (region_.size() != 1)
            return false;
        double around = 0;
        int count = 0;
        forNeighbours(region_[0], [&](std::size_t n) {
            if (isCloth(n))
                return;
            around += pictureLab(n).L;
            ++count;
        });
        return count > 0 && pictureLab(region_[0]).L - around / count >= ConfettiCleanup::kHighlightLift;
    }

    // A dot or thin line of strong contrast: no neighbouring thread near the region's picture colour.
    [[nodiscard]] bool isStrongContrast()
    {
        const Lab colour = region_.size() == 1 ? pictureLab(region_[0]) : meanPictureLab();
        return std::none_of(neighbours_.begin(), neighbours_.end(), [&](int slot) {
            return Ciede2000::difference(colour, palette_.lab(slot)) <= ConfettiCleanup::kEdgeDifference;
        });
    }

    void merge(int slot)
    {
        const BlurredError::Change change = regionChange();
        blurred_.apply(change, difference(slots_[region_.front()], slot));
        for (std::size_t i : region_)
            slots_[i] = slot;
        markChanged(change);
    }

    // Lone stitches among p, q and their neighbours: those a swap of p and q can change.
    [[nodiscard]] int aloneNear(std::size_t p, std::size_t q) const
    {
        std::array<std::size_t, 8> near{};
        auto end = near.begin();
        const auto add = [&](std::size_t i) {
            if (std::find(near.begin(), end, i) == end)
                *end++ = i;
        };
        add(p);
        add(q);
        forNeighbours(p, add);
        forNeighbours(q, add);
        return static_cast<int>(std::count_if(near.begin(), end, [&](std::size_t i) { return !isCloth(i) && isAlone(i); }));
    }

    // Stitch p takes the neighbouring thread that lowers the blurred error the most, if any.
    bool descendAt(std::size_t p)
    {
        if (blurred_.errorAt(p) < ConfettiCleanup::kDescentError)
            return false;
        region_.assign({p});
        collectNeighbours();
        if (neighbours_.empty())
            return false;
        const int own = slots_[p];
        std::sort(neighbours_.begin(), neighbours_.end());
        blurred_.weigh(regionChange());
        Choice best{-1, -kDescentGain};
        for (int slot : neighbours_) {
            const double cost = blurred_.cost(difference(own, slot));
            if (cost < best.cost)
                best = {slot, cost};
        }
        if (best.slot < 0)
            return false;
        const int before = aloneAround(p);
        slots_[p] = best.slot;
        const int after = aloneAround(p);
        slots_[p] = own;
        if (after > before)
            return false;
        merge(best.slot);
        return true;
    }

    // Lone stitches among p and its neighbours.
    [[nodiscard]] int aloneAround(std::size_t p) const
    {
        int count = isAlone(p) ? 1 : 0;
        forNeighbours(p, [&](std::size_t n) { count += !isCloth(n) && isAlone(n); });
        return count;
    }

    [[nodiscard]] static BlurredError::Change swapChange(std::size_t p, std::size_t q)
    {
        return {{p, q}, {1.0f, -1.0f}, 2};
    }

    Swap weighSwap(std::size_t p, std::size_t q)
    {
        Swap s{p, q, slots_[p], slots_[q]};
        const int before = aloneNear(p, q);
        std::swap(slots_[p], slots_[q]);
        s.gain = before - aloneNear(p, q);
        std::swap(slots_[p], slots_[q]);
        if (s.gain > 0) {
            blurred_.weigh(swapChange(p, q));
            s.cost = blurred_.cost(difference(s.from, s.to));
        }
        return s;
    }

    // A swap moves both stitches' threads by a stitch: not where either is detail, unless the
    // chart gets closer to the picture.
    [[nodiscard]] bool acceptable(const Swap& s, double allowance)
    {
        return s.gain > 0 && s.net(allowance) <= 0 && (s.cost <= 0 || (!isDetail(s.p) && !isDetail(s.q)));
    }

    // Whether the stitch is detail of the picture: a highlight, or a dot or thin line of strong
    // contrast that its own thread draws. A stitch of a mix, which no one thread matches, is not.
    [[nodiscard]] bool isDetail(std::size_t i)
    {
        region_.assign({i});
        collectNeighbours();
        return isHighlight()
            || (Ciede2000::difference(pictureLab(i), palette_.lab(slots_[i])) <= ConfettiCleanup::kEdgeDifference
                && isStrongContrast());
    }

    void swap(const Swap& s)
    {
        blurred_.apply(swapChange(s.p, s.q), difference(s.from, s.to));
        std::swap(slots_[s.p], slots_[s.q]);
        markChanged(swapChange(s.p, s.q));
    }

    void markChanged(const BlurredError::Change& change)
    {
        mark(changedNear_, blurred_.around(change, BlurredError::kChangeReach), 1);
        mark(descentDue_, blurred_.around(change, StitchBlur::kRadius + BlurredError::kMergeReach), 1);
        mark(nextDirty_, blurred_.around(change, kRevisitReach), kNear);
        mark(nextDirty_, blurred_.around(change, 1), kBeside);
    }

    // Raises the marks in window `w` to at least `value`.
    void mark(std::vector<std::uint8_t>& marks, const BlurredError::Window& w, std::uint8_t value) const
    {
        for (int y = w.top; y <= w.bottom; ++y)
            for (int x = w.left; x <= w.right; ++x) {
                std::uint8_t& m = marks[static_cast<std::size_t>(y * width_ + x)];
                m = std::max(m, value);
            }
    }

    std::vector<int>& slots_;
    std::span<const ColorValue> picture_;
    int width_;
    int height_;
    const ThreadMatcher& palette_;
    std::vector<LinearRgb> threads_;
    BlurredError blurred_;
    // NaN until worked out.
    std::vector<std::array<float, 3>> pictureLabs_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
    // Stitches to visit this round, and near this round's changes for the next.
    std::vector<std::uint8_t> dirty_;
    std::vector<std::uint8_t> nextDirty_;
    // Each confetti stitch's dearest merge when last weighed, in allowances.
    std::vector<float> overAllowance_;
    // Stitches near a change this pass, whose costs may have changed since weighed.
    std::vector<std::uint8_t> changedNear_;
    // Stitches near a change since the descent last weighed them.
    std::vector<std::uint8_t> descentDue_;
    std::vector<std::size_t> region_;
    std::vector<int> neighbours_;
    std::vector<Merge> merges_;
    std::vector<Swap> swaps_;
};

} // namespace

void ConfettiCleanup::run(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
    const ThreadMatcher& palette, int level)
{
    if (level <= 0 || slots.empty())
        return;
    const double allowance = level * kCostPerLevel;
    Cleaner cleaner(slots, picture, width, height, palette);
    cleaner.descend(kDescentPasses);
    for (int round = 0; round < kPasses; ++round) {
        const bool merged = cleaner.mergePass(allowance);
        const bool swapped = cleaner.swapPass(allowance);
        cleaner.endRound();
        if (!merged && !swapped)
            break;
    }
    cleaner.descend(kDescentPasses);
}

} // namespace kanvo
