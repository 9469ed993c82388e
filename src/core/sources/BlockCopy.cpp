#include "core/sources/BlockCopy.h"

#include <algorithm>

namespace kanvo {

bool BlockCopy::holds(std::size_t words, int width, int height, std::size_t stride)
{
    if (width < 0 || height < 0 || stride < static_cast<std::size_t>(width))
        return false;
    if (width == 0 || height == 0)
        return true;
    return words >= stride * static_cast<std::size_t>(height - 1) + static_cast<std::size_t>(width);
}

bool BlockCopy::copy(const ConstPixels& from, int fromX, int fromY, int width, int height,
                     const Pixels& to, int toX, int toY, std::uint32_t fill)
{
    if (width < 0 || height < 0 || !holds(from.words.size(), from.width, from.height, from.stride)
        || !holds(to.words.size(), to.width, to.height, to.stride))
        return false;

    // Block columns that land inside the destination, then those of them that the source has.
    const int firstColumn = std::max(0, -toX);
    const int endColumn = std::min(width, to.width - toX);
    if (firstColumn >= endColumn)
        return true;
    const int sourceFirst = std::clamp(-fromX, firstColumn, endColumn);
    const int sourceEnd = std::clamp(from.width - fromX, sourceFirst, endColumn);

    for (int row = std::max(0, -toY); row < height && toY + row < to.height; ++row) {
        // Pointers only ever address pixels inside the buffers: columns are offsets from the
        // first column that is copied or filled.
        std::uint32_t* out = to.words.data() + static_cast<std::size_t>(toY + row) * to.stride
            + static_cast<std::size_t>(toX + firstColumn);
        const int sourceRow = fromY + row;
        if (sourceRow < 0 || sourceRow >= from.height) {
            std::fill(out, out + (endColumn - firstColumn), fill);
            continue;
        }
        std::fill(out, out + (sourceFirst - firstColumn), fill);
        if (sourceEnd > sourceFirst) {
            const std::uint32_t* in = from.words.data() + static_cast<std::size_t>(sourceRow) * from.stride
                + static_cast<std::size_t>(fromX + sourceFirst);
            std::copy(in, in + (sourceEnd - sourceFirst), out + (sourceFirst - firstColumn));
        }
        std::fill(out + (sourceEnd - firstColumn), out + (endColumn - firstColumn), fill);
    }
    return true;
}

} // namespace kanvo
