#include "core/reduce/CalmDiffusion.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kanvo {

namespace {

// How much worse (by the rough distance, in CIEDE2000-like units) a neighbour's thread may be
// than the best thread and still be taken.
constexpr double kCalmTolerance = 0.5;

struct Error {
    float red = 0;
    float green = 0;
    float blue = 0;
};

// Linear light to the nearest sRGB level through a table of 4096 steps (within one level).
class SrgbLevels {
public:
    SrgbLevels()
    {
        for (int i = 0; i < kSteps; ++i)
            levels_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(
                ColourSpace::channelOfLinear(static_cast<float>(i) / (kSteps - 1)));
    }
    [[nodiscard]] int operator()(float linear) const
    {
        return levels_[static_cast<std::size_t>(linear * (kSteps - 1) + 0.5f)];
    }

private:
    static constexpr int kSteps = 4096;
    std::array<std::uint8_t, kSteps> levels_{};
};

// The CIELAB colour and nearest thread of recent target colours; both depend only on the
// colour, so the cache changes the speed and never the result.
class NearestCache {
public:
    struct Entry {
        ColorValue key = 0;
        int slot = 0;
        Lab lab;
    };

    explicit NearestCache(const ThreadMatcher& palette) : palette_(palette), entries_(kEntries) {}

    [[nodiscard]] const Entry& nearest(ColorValue color)
    {
        Entry& e = entries_[(color * 2654435761u) >> (32 - kBits)];
        if (e.key != (color | kValid)) {
            e.key = color | kValid;
            e.lab = ColourSpace::labOf(color);
            e.slot = palette_.roughNearest(e.lab);
        }
        return e;
    }

private:
    static constexpr int kBits = 15;
    static constexpr std::size_t kEntries = std::size_t{1} << kBits;
    static constexpr ColorValue kValid = 0x1000000u;
    const ThreadMatcher& palette_;
    std::vector<Entry> entries_;
};

// The thread of the stitch before or above when it is nearly as near to the target as the best.
int calmChoice(const ThreadMatcher& palette, const Lab& lab, int best, int before, int above)
{
    if (before == best && above == best)
        return best;
    double limit = palette.roughDifference(lab, best) + kCalmTolerance;
    int chosen = best;
    for (int neighbour : {before, above}) {
        if (neighbour == best || neighbour == chosen)
            continue;
        const double d = palette.roughDifference(lab, neighbour);
        if (d <= limit) {
            limit = d;
            chosen = neighbour;
        }
    }
    return chosen;
}

void spread(Error& to, const Error& error, float share)
{
    to.red += error.red * share;
    to.green += error.green * share;
    to.blue += error.blue * share;
}

} // namespace

std::vector<int> CalmDiffusion::run(std::span<const ColorValue> picture, int width, int height,
    const ThreadMatcher& palette, double strength, std::span<const std::uint8_t> cloth)
{
    const int clothSlot = palette.size();
    std::vector<int> slots(picture.size(), 0);
    std::vector<LinearRgb> threadLinear;
    for (int s = 0; s < palette.size(); ++s)
        threadLinear.push_back(ColourSpace::linearOf(palette.color(s)));
    static const SrgbLevels levels;
    NearestCache cache(palette);
    const float carried = static_cast<float>(strength);

    // Error rows with a guard cell at each end: [0] and [width + 1].
    std::vector<Error> current(static_cast<std::size_t>(width) + 2);
    std::vector<Error> next(current.size());
    for (int y = 0; y < height; ++y) {
        const bool leftToRight = y % 2 == 0;
        const int step = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), Error{});
        for (int k = 0; k < width; ++k) {
            const int x = leftToRight ? k : width - 1 - k;
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            if (!cloth.empty() && cloth[i] != 0) {
                slots[i] = clothSlot; // the error that reached it goes no further
                continue;
            }
            const LinearRgb source = ColourSpace::linearOf(picture[i]);
            const Error& e = current[static_cast<std::size_t>(x + 1)];
            const LinearRgb target{std::clamp(source.red + e.red, 0.0f, 1.0f),
                std::clamp(source.green + e.green, 0.0f, 1.0f), std::clamp(source.blue + e.blue, 0.0f, 1.0f)};
            const ColorValue targetColor = makeColor(levels(target.red), levels(target.green), levels(target.blue));
            const NearestCache::Entry& known = cache.nearest(targetColor);
            const int best = known.slot;
            // The neighbours already placed: the stitch before in this row and the one above.
            const bool hasBefore = x - step >= 0 && x - step < width;
            int before = hasBefore ? slots[i - static_cast<std::size_t>(step)] : best;
            int above = y > 0 ? slots[i - static_cast<std::size_t>(width)] : best;
            before = before == clothSlot ? best : before;
            above = above == clothSlot ? best : above;
            const int chosen = calmChoice(palette, known.lab, best, before, above);
            slots[i] = chosen;

            const LinearRgb& c = threadLinear[static_cast<std::size_t>(chosen)];
            const Error error{(target.red - c.red) * carried, (target.green - c.green) * carried,
                (target.blue - c.blue) * carried};
            spread(current[static_cast<std::size_t>(x + 1 + step)], error, 7.0f / 16.0f);
            spread(next[static_cast<std::size_t>(x + 1 - step)], error, 3.0f / 16.0f);
            spread(next[static_cast<std::size_t>(x + 1)], error, 5.0f / 16.0f);
            spread(next[static_cast<std::size_t>(x + 1 + step)], error, 1.0f / 16.0f);
        }
        std::swap(current, next);
    }
    return slots;
}

} // namespace kanvo
