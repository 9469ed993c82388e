#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/common/Color.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// Paints the editor's zoom view: kZoom pixels per stitch, stitch (x0 + px / 4, y0 + py / 4) for
// the block at (px, py), with light-grey lines on every pixel row and column that is a multiple
// of 4; each stitch shows its colour on the 3 x 3 pixels inside its lines. Stitches outside the
// matrix are white.
class ZoomViewRenderer {
public:
    static constexpr int kZoom = 4;
    static constexpr ColorValue kLineColor = makeColor(200, 200, 200);

    // Writes a width x height view into pixels, a row-major buffer of 32-bit words 0xFFRRGGBB
    // (QImage::Format_RGB32) holding height rows of stride words each. False, writing nothing,
    // when the buffer is too small or a size is negative.
    [[nodiscard]] static bool render(const StitchMatrix& matrix, int x0, int y0, int width, int height,
        std::span<std::uint32_t> pixels, std::size_t stride);

    // The stitch under view pixel (px, py): x0 + px / 4, y0 + py / 4.
    [[nodiscard]] static constexpr int stitchColumn(int x0, int px) { return x0 + px / kZoom; }
    [[nodiscard]] static constexpr int stitchRow(int y0, int py) { return y0 + py / kZoom; }
};

} // namespace kanvo
