#include "core/reduce/ThreadPaletteReducer.h"

#include <algorithm>

#include "core/colour/ThreadMatcher.h"
#include "core/reduce/CalmDiffusion.h"
#include "core/reduce/ColourSamples.h"
#include "core/reduce/ConfettiCleanup.h"
#include "core/reduce/ThreadPaletteChooser.h"

namespace kanvo {

namespace {

// Without diffusion every distinct colour takes its nearest chosen thread once.
std::vector<int> nearestSlots(std::span<const ColorValue> picture, const ColourSamples& colours,
    const ThreadMatcher& palette)
{
    const auto distinct = colours.distinctColors();
    std::vector<int> slotOfDistinct(distinct.size());
    for (std::size_t i = 0; i < distinct.size(); ++i)
        slotOfDistinct[i] = palette.quickNearest(ColourSpace::labOf(distinct[i]));
    std::vector<int> slots(picture.size());
    for (std::size_t i = 0; i < picture.size(); ++i)
        slots[i] = slotOfDistinct[static_cast<std::size_t>(colours.distinctIndexOf(picture[i]))];
    return slots;
}

} // namespace

std::vector<ColorValue> ThreadPaletteReducer::reduce(std::span<const ColorValue> picture, int width, int height,
    const ThreadReductionSettings& settings, const ThreadTable& table)
{
    if (width <= 0 || height <= 0 || picture.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    picture = picture.first(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int budget = std::clamp(settings.threads, ThreadReductionSettings::kMinThreads,
        ThreadReductionSettings::kMaxThreads);
    const int dither = std::clamp(settings.dither, 0, ThreadReductionSettings::kMaxDither);
    const int cleanup = std::clamp(settings.cleanup, 0, ThreadReductionSettings::kMaxCleanup);

    const ColourSamples colours(picture);
    const ThreadMatcher allThreads(table);
    const std::vector<int> chosen = ThreadPaletteChooser(colours.samples(), allThreads).choose(budget);
    const ThreadMatcher palette(table, chosen);

    std::vector<int> slots = dither == 0
        ? nearestSlots(picture, colours, palette)
        : CalmDiffusion::run(picture, width, height, palette, dither / static_cast<double>(ThreadReductionSettings::kMaxDither));
    ConfettiCleanup::run(slots, picture, width, height, palette, cleanup);

    std::vector<ColorValue> reduced(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i)
        reduced[i] = palette.color(slots[i]);
    return reduced;
}

} // namespace kanvo
