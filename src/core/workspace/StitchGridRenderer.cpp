#include "core/workspace/StitchGridRenderer.h"

#include <algorithm>

namespace kanvo {

bool StitchGridRenderer::render(const StitchMatrix& matrix, int columns, int rows,
                                std::span<std::uint32_t> pixels, std::size_t stride, int cellSize)
{
    if (cellSize < 2 || columns < 0 || rows < 0)
        return false;
    columns = std::min(columns, StitchMatrix::kSize);
    rows = std::min(rows, StitchMatrix::kSize);
    const auto width = static_cast<std::size_t>(canvasWidth(columns, cellSize));
    const auto height = static_cast<std::size_t>(canvasHeight(rows, cellSize));
    if (stride < width || (height > 0 && pixels.size() < (height - 1) * stride + width))
        return false;

    const std::uint32_t line = toRgb32(kLineColor);
    const auto cell = static_cast<std::size_t>(cellSize);
    for (int y = 0; y < rows; ++y) {
        std::uint32_t* top = pixels.data() + static_cast<std::size_t>(y) * cell * stride;
        std::fill(top, top + width, line);
        // One stitch row is cellSize - 1 identical pixel rows: build the first, copy the rest.
        std::uint32_t* first = top + stride;
        for (int x = 0; x < columns; ++x) {
            std::uint32_t* p = first + static_cast<std::size_t>(x) * cell;
            p[0] = line;
            std::fill(p + 1, p + cell, toRgb32(matrix.at(x, y)));
        }
        for (std::size_t r = 2; r < cell; ++r)
            std::copy(first, first + width, top + r * stride);
    }
    return true;
}

} // namespace kanvo
