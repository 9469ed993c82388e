#include "core/reduce/ConfettiCleanup.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>

#include "core/colour/Ciede2000.h"
#include "core/colour/LocalCiede2000.h"
#include "core/reduce/StitchBlur.h"

namespace kanvo {

namespace {

// Blurred stitches within this many stitches of a region count toward the cost of changing it:
// they hold 97 % of the blur's weight, at half the work of the whole reach.
constexpr int kCostReach = 2;
// A change reaches the blurred chart this far, and so the cost of regions this far from it.
constexpr int kChangeReach = StitchBlur::kRadius + kCostReach;

// CIELAB as floats, for the many colours the cost weighs.
struct QuickLab {
    float L, a, b;
};

// The cube root to about 1e-4, by a first guess from the float's bits and one Halley step.
float cubeRoot(float t)
{
    const float y = std::bit_cast<float>(std::bit_cast<std::uint32_t>(t) / 3 + 709921077u);
    const float cube = y * y * y;
    return y * (cube + 2.0f * t) / (2.0f * cube + t);
}

float labCurve(float t)
{
    constexpr float kEpsilon = 216.0f / 24389.0f;
    constexpr float kKappa = 24389.0f / 27.0f;
    return t > kEpsilon ? cubeRoot(t) : (kKappa * t + 16.0f) / 116.0f;
}

// ColourSpace::labOf in floats with a quicker cube root: within a hundredth of a unit.
QuickLab quickLab(const LinearRgb& c)
{
    const float fx = labCurve((0.4124564f * c.red + 0.3575761f * c.green + 0.1804375f * c.blue) / 0.95047f);
    const float fy = labCurve(0.2126729f * c.red + 0.7151522f * c.green + 0.0721750f * c.blue);
    const float fz = labCurve((0.0193339f * c.red + 0.1191920f * c.green + 0.9503041f * c.blue) / 1.08883f);
    return {116.0f * fy - 16.0f, 500.0f * (fx - fy), 200.0f * (fy - fz)};
}

struct Window {
    int left, top, right, bottom; // inclusive
};

class Cleaner {
public:
    Cleaner(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
        const ThreadMatcher& palette)
        : slots_(slots), picture_(picture), width_(width), height_(height), palette_(palette),
          across_(StitchBlur::axisWeights(width)), down_(StitchBlur::axisWeights(height)),
          seen_(slots.size(), 0), dirty_(slots.size(), 1), nextDirty_(slots.size(), 0)
    {
        for (int s = 0; s < palette.size(); ++s)
            threadLinear_.push_back(ColourSpace::linearOf(palette.color(s)));
        const std::vector<LinearRgb> softPicture = StitchBlur::blurred(picture, width, height);
        std::vector<LinearRgb> chart(slots.size());
        for (std::size_t i = 0; i < slots.size(); ++i)
            chart[i] = threadLinear_[static_cast<std::size_t>(slots[i])];
        soft_ = StitchBlur::blurred(chart, width, height);
        forms_.reserve(slots.size());
        target_.resize(slots.size());
        error_.resize(slots.size());
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const Lab lab = ColourSpace::labOf(softPicture[i]);
            forms_.emplace_back(lab);
            target_[i] = {static_cast<float>(lab.L), static_cast<float>(lab.a), static_cast<float>(lab.b)};
            error_[i] = errorAt(i, soft_[i]);
        }
    }

    // One pass over the regions near the last pass's changes, cheapest change first; true when
    // any region changed.
    bool pass(double allowance)
    {
        ++stamp_;
        proposals_.clear();
        for (std::size_t start = 0; start < slots_.size(); ++start) {
            if (!dirty_[start] || seen_[start] == stamp_ || !collect(start))
                continue;
            const Choice choice = bestChoice();
            if (acceptable(choice, allowance))
                proposals_.push_back({choice, start});
        }
        std::sort(proposals_.begin(), proposals_.end(), [](const Proposal& x, const Proposal& y) {
            return x.choice.cost < y.choice.cost || (x.choice.cost == y.choice.cost && x.start < y.start);
        });
        bool changed = false;
        for (const Proposal& p : proposals_) {
            ++stamp_;
            if (!collect(p.start))
                continue;
            // A change near the region since it was weighed may have changed its cost.
            const bool untouched = std::none_of(region_.begin(), region_.end(), [&](std::size_t i) { return nextDirty_[i] != 0; });
            const Choice choice = untouched ? p.choice : bestChoice();
            if (untouched || acceptable(choice, allowance)) {
                change(choice.slot);
                changed = true;
            }
        }
        dirty_.swap(nextDirty_);
        std::fill(nextDirty_.begin(), nextDirty_.end(), 0);
        return changed;
    }

private:
    [[nodiscard]] int xOf(std::size_t i) const { return static_cast<int>(i % static_cast<std::size_t>(width_)); }
    [[nodiscard]] int yOf(std::size_t i) const { return static_cast<int>(i / static_cast<std::size_t>(width_)); }
    [[nodiscard]] std::size_t at(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

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

    // The stitches within `reach` of the region, inside the picture.
    [[nodiscard]] Window around(int reach) const
    {
        Window w{width_, height_, -1, -1};
        for (std::size_t i : region_) {
            w.left = std::min(w.left, xOf(i));
            w.right = std::max(w.right, xOf(i));
            w.top = std::min(w.top, yOf(i));
            w.bottom = std::max(w.bottom, yOf(i));
        }
        return {std::max(0, w.left - reach), std::max(0, w.top - reach), std::min(width_ - 1, w.right + reach),
            std::min(height_ - 1, w.bottom + reach)};
    }

    // The weight the region's stitches together have in the blurred stitch (x, y).
    [[nodiscard]] float weightAt(int x, int y) const
    {
        float weight = 0;
        for (std::size_t i : region_) {
            const int dx = x - xOf(i);
            const int dy = y - yOf(i);
            if (dx >= -StitchBlur::kRadius && dx <= StitchBlur::kRadius && dy >= -StitchBlur::kRadius
                && dy <= StitchBlur::kRadius)
                weight += across_[static_cast<std::size_t>(xOf(i))][static_cast<std::size_t>(dx + StitchBlur::kRadius)]
                    * down_[static_cast<std::size_t>(yOf(i))][static_cast<std::size_t>(dy + StitchBlur::kRadius)];
        }
        return weight;
    }

    [[nodiscard]] static LinearRgb moved(const LinearRgb& c, const LinearRgb& change, float weight)
    {
        return {c.red + weight * change.red, c.green + weight * change.green, c.blue + weight * change.blue};
    }

    [[nodiscard]] LinearRgb changeTo(int slot) const
    {
        const LinearRgb& from = threadLinear_[static_cast<std::size_t>(slots_[region_.front()])];
        const LinearRgb& to = threadLinear_[static_cast<std::size_t>(slot)];
        return {to.red - from.red, to.green - from.green, to.blue - from.blue};
    }

    // CIEDE2000 between the blurred picture at stitch i and the blurred chart colour `seen`.
    [[nodiscard]] float errorAt(std::size_t i, const LinearRgb& seen) const
    {
        const QuickLab lab = quickLab(seen);
        return forms_[i].difference(lab.L - target_[i].L, lab.a - target_[i].a, lab.b - target_[i].b);
    }

    // The window around the region that its cost covers, and the region's blur weight at each
    // stitch of it, row by row: the same for every thread the region might take.
    void weighWindow()
    {
        costWindow_ = around(kCostReach);
        weights_.clear();
        for (int y = costWindow_.top; y <= costWindow_.bottom; ++y)
            for (int x = costWindow_.left; x <= costWindow_.right; ++x)
                weights_.push_back(weightAt(x, y));
    }

    // How much the blurred error around the region grows when it takes thread `slot`; after
    // weighWindow().
    [[nodiscard]] double costOf(int slot) const
    {
        const LinearRgb change = changeTo(slot);
        const Window& w = costWindow_;
        float cost = 0;
        std::size_t k = 0;
        for (int y = w.top; y <= w.bottom; ++y)
            for (int x = w.left; x <= w.right; ++x, ++k) {
                const std::size_t j = at(x, y);
                cost += errorAt(j, moved(soft_[j], change, weights_[k])) - error_[j];
            }
        return cost;
    }

    void change(int slot)
    {
        const LinearRgb change = changeTo(slot);
        const Window w = around(StitchBlur::kRadius);
        for (int y = w.top; y <= w.bottom; ++y)
            for (int x = w.left; x <= w.right; ++x) {
                const std::size_t j = at(x, y);
                soft_[j] = moved(soft_[j], change, weightAt(x, y));
                error_[j] = errorAt(j, soft_[j]);
            }
        const Window near = around(kChangeReach);
        for (int y = near.top; y <= near.bottom; ++y)
            std::fill_n(nextDirty_.begin() + static_cast<std::ptrdiff_t>(at(near.left, y)), near.right - near.left + 1, 1);
        for (std::size_t i : region_)
            slots_[i] = slot;
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

    // A dot or thin line of strong contrast: no neighbouring thread near the region's picture colour.
    [[nodiscard]] bool isStrongContrast() const
    {
        double red = 0, green = 0, blue = 0;
        for (std::size_t i : region_) {
            const LinearRgb c = ColourSpace::linearOf(picture_[i]);
            red += c.red;
            green += c.green;
            blue += c.blue;
        }
        const float count = static_cast<float>(region_.size());
        const Lab colour = ColourSpace::labOf(LinearRgb{static_cast<float>(red) / count,
            static_cast<float>(green) / count, static_cast<float>(blue) / count});
        return std::none_of(neighbours_.begin(), neighbours_.end(), [&](int slot) {
            return Ciede2000::difference(colour, palette_.lab(slot)) <= ConfettiCleanup::kEdgeDifference;
        });
    }

    struct Choice {
        int slot = -1;
        double cost = std::numeric_limits<double>::infinity();
    };
    struct Proposal {
        Choice choice;
        std::size_t start = 0;
    };

    // The neighbouring thread that costs the region the least blurred error.
    Choice bestChoice()
    {
        const int own = slots_[region_.front()];
        neighbours_.clear();
        for (std::size_t i : region_)
            forNeighbours(i, [&](std::size_t n) {
                if (slots_[n] != own && std::find(neighbours_.begin(), neighbours_.end(), slots_[n]) == neighbours_.end())
                    neighbours_.push_back(slots_[n]);
            });
        // Lowest slot first among equals, so the result does not depend on the walk order.
        std::sort(neighbours_.begin(), neighbours_.end());
        Choice best;
        if (!neighbours_.empty())
            weighWindow();
        for (int slot : neighbours_) {
            const double cost = costOf(slot);
            if (cost < best.cost)
                best = {slot, cost};
        }
        return best;
    }

    // Call right after bestChoice() for the same region.
    [[nodiscard]] bool acceptable(const Choice& choice, double allowance) const
    {
        if (choice.slot < 0)
            return false;
        if (choice.cost < 0)
            return true;
        const double allowed = allowance * static_cast<double>(region_.size());
        return choice.cost <= allowed && !isHighlight() && !isStrongContrast();
    }

    std::vector<int>& slots_;
    std::span<const ColorValue> picture_;
    int width_;
    int height_;
    const ThreadMatcher& palette_;
    StitchBlur::AxisWeights across_;
    StitchBlur::AxisWeights down_;
    std::vector<LinearRgb> threadLinear_;
    // Stitch by stitch: the blurred chart, the blurred picture in CIELAB, CIEDE2000 near it, and
    // the difference between the two.
    std::vector<LinearRgb> soft_;
    std::vector<QuickLab> target_;
    std::vector<LocalCiede2000> forms_;
    std::vector<float> error_;
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
    std::vector<std::uint8_t> dirty_;
    std::vector<std::uint8_t> nextDirty_;
    std::vector<std::size_t> region_;
    std::vector<int> neighbours_;
    std::vector<Proposal> proposals_;
    Window costWindow_{};
    std::vector<float> weights_;
};

} // namespace

void ConfettiCleanup::run(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
    const ThreadMatcher& palette, int level)
{
    if (level <= 0 || slots.empty())
        return;
    Cleaner cleaner(slots, picture, width, height, palette);
    for (int pass = 0; pass < kPasses && cleaner.pass(level * kCostPerLevel); ++pass) {
    }
}

} // namespace kanvo
