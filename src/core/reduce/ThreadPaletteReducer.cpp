#include "core/reduce/ThreadPaletteReducer.h"

#include <algorithm>

#include "core/colour/ThreadMatcher.h"
#include "core/reduce/CalmDiffusion.h"
#include "core/reduce/ColourSamples.h"
#include "core/reduce/ConfettiCleanup.h"
#include "core/reduce/ThreadPaletteChooser.h"

namespace kanvo {

namespace {

// The colour bare cloth is seen as.
constexpr ColorValue kClothColour = 0xFFFFFF;

// Without diffusion every distinct colour takes its nearest chosen thread once; cloth takes the
// slot past the palette.
std::vector<int> nearestSlots(std::span<const ColorValue> picture, const ColourSamples& colours,
    const ThreadMatcher& palette, std::span<const std::uint8_t> cloth)
{
    const auto distinct = colours.distinctColors();
    std::vector<int> slotOfDistinct(distinct.size());
    for (std::size_t i = 0; i < distinct.size(); ++i)
        slotOfDistinct[i] = palette.quickNearest(ColourSpace::labOf(distinct[i]));
    std::vector<int> slots(picture.size());
    for (std::size_t i = 0; i < picture.size(); ++i)
        slots[i] = !cloth.empty() && cloth[i] != 0
            ? palette.size()
            : slotOfDistinct[static_cast<std::size_t>(colours.distinctIndexOf(picture[i]))];
    return slots;
}

} // namespace

std::vector<ColorValue> ThreadPaletteReducer::reduce(std::span<const ColorValue> picture, int width, int height,
    const ThreadReductionSettings& settings, const ThreadTable& table, std::span<const std::uint8_t> cloth)
{
    if (width <= 0 || height <= 0 || picture.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    picture = picture.first(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int budget = std::clamp(settings.threads, ThreadReductionSettings::kMinThreads,
        ThreadReductionSettings::kMaxThreads);
    const int dither = std::clamp(settings.dither, 0, ThreadReductionSettings::kMaxDither);
    const int cleanup = std::clamp(settings.cleanup, 0, ThreadReductionSettings::kMaxCleanup);

    // With cloth, the threads are chosen from the stitched pixels alone, and the blurred error
    // sees the cloth as it will look: white.
    const bool anyCloth = cloth.size() >= picture.size()
        && std::any_of(cloth.begin(), cloth.begin() + static_cast<std::ptrdiff_t>(picture.size()),
            [](std::uint8_t c) { return c != 0; });
    cloth = anyCloth ? cloth.first(picture.size()) : std::span<const std::uint8_t>{};
    std::vector<ColorValue> seen;
    std::vector<ColorValue> stitched;
    if (!cloth.empty()) {
        seen.assign(picture.begin(), picture.end());
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (cloth[i] != 0)
                seen[i] = kClothColour;
            else
                stitched.push_back(seen[i]);
        }
        if (stitched.empty())
            return std::vector<ColorValue>(picture.size(), kClothColour);
        picture = seen;
    }

    const ColourSamples colours(cloth.empty() ? picture : std::span<const ColorValue>(stitched));
    const ThreadMatcher allThreads(table);
    const std::vector<int> chosen = ThreadPaletteChooser(colours.samples(), allThreads).choose(budget);
    const ThreadMatcher palette(table, chosen);

    std::vector<int> slots = dither == 0
        ? nearestSlots(picture, colours, palette, cloth)
        : CalmDiffusion::run(picture, width, height, palette,
              dither / static_cast<double>(ThreadReductionSettings::kMaxDither), cloth);
    ConfettiCleanup::run(slots, picture, width, height, palette, cleanup);

    std::vector<ColorValue> reduced(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i)
        reduced[i] = slots[i] == palette.size() ? kClothColour : palette.color(slots[i]);
    return reduced;
}

} // namespace kanvo
