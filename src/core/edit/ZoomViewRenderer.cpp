#include "core/edit/ZoomViewRenderer.h"

#include <algorithm>

#include "core/workspace/StitchGridRenderer.h"

namespace kanvo {

bool ZoomViewRenderer::render(const StitchMatrix& matrix, int x0, int y0, int width, int height,
    std::span<std::uint32_t> pixels, std::size_t stride)
{
    if (width < 0 || height < 0)
        return false;
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    if (h > 0 && (stride < w || pixels.size() < (h - 1) * stride + w))
        return false;

    const std::uint32_t line = StitchGridRenderer::toRgb32(kLineColor);
    const std::uint32_t white = StitchGridRenderer::toRgb32(0xFFFFFF);
    for (int py = 0; py < height; ++py) {
        std::uint32_t* row = pixels.data() + static_cast<std::size_t>(py) * stride;
        if (py % kZoom == 0) {
            std::fill(row, row + w, line);
            continue;
        }
        const int sy = stitchRow(y0, py);
        for (int px = 0; px < width; ++px) {
            if (px % kZoom == 0) {
                row[px] = line;
                continue;
            }
            const int sx = stitchColumn(x0, px);
            row[px] = StitchMatrix::contains(sx, sy) ? StitchGridRenderer::toRgb32(matrix.at(sx, sy)) : white;
        }
    }
    return true;
}

} // namespace kanvo
