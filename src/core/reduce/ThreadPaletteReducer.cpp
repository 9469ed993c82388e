#include "core/reduce/ThreadPaletteReducer.h"

#include "core/palette/NearestThread.h"

namespace kanvo {

// First version: every stitch takes its nearest thread. The budget, the perceptual matching,
// the diffusion and the clean-up follow.
std::vector<ColorValue> ThreadPaletteReducer::reduce(std::span<const ColorValue> picture,
    int width, int height, const ThreadReductionSettings& /*settings*/, const ThreadTable& table)
{
    std::vector<ColorValue> reduced(picture.begin(), picture.end());
    (void)width;
    (void)height;
    const NearestThread& search = NearestThread::forTable(table);
    for (ColorValue& c : reduced)
        c = table.colorOf(search.nearest(c));
    return reduced;
}

} // namespace kanvo
