#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/common/Color.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// Paints the grid display canvas: every stitch as a (cellSize - 1)-pixel square of its colour,
// with one-pixel lines of kLineColor at every multiple of cellSize (left and top edges
// included, right and bottom edges not).
class StitchGridRenderer {
public:
    static constexpr ColorValue kLineColor = makeColor(32, 32, 32);

    // Canvas size in pixels for columns x rows stitches.
    [[nodiscard]] static constexpr int canvasWidth(int columns, int cellSize) { return columns * cellSize; }
    [[nodiscard]] static constexpr int canvasHeight(int rows, int cellSize) { return rows * cellSize; }

    // Writes the canvas of columns x rows stitches (clamped to 0..321) into pixels, a row-major
    // buffer of 32-bit words 0xFFRRGGBB (the layout of QImage::Format_RGB32) holding at least
    // canvasHeight rows of stride words each; stride >= canvasWidth. cellSize >= 2.
    // Returns false, writing nothing, when the buffer is too small or an argument is out of range.
    [[nodiscard]] static bool render(const StitchMatrix& matrix, int columns, int rows,
                                     std::span<std::uint32_t> pixels, std::size_t stride,
                                     int cellSize = 4);

    // 0x00BBGGRR to 0xFFRRGGBB.
    [[nodiscard]] static constexpr std::uint32_t toRgb32(ColorValue c)
    {
        return 0xFF000000u | (static_cast<std::uint32_t>(redOf(c)) << 16)
            | (static_cast<std::uint32_t>(greenOf(c)) << 8) | static_cast<std::uint32_t>(blueOf(c));
    }
};

} // namespace kanvo
