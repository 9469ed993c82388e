#pragma once

#include <cstdint>

namespace kanvo {

// A colour value holds 24-bit RGB as 0x00BBGGRR: red in the lowest byte, blue in the third,
// top byte 0. This is the layout every colour table, matrix and thread entry uses.
using ColorValue = std::uint32_t;

[[nodiscard]] constexpr int redOf(ColorValue c) { return static_cast<int>(c & 0xFFu); }
[[nodiscard]] constexpr int greenOf(ColorValue c) { return static_cast<int>((c >> 8) & 0xFFu); }
[[nodiscard]] constexpr int blueOf(ColorValue c) { return static_cast<int>((c >> 16) & 0xFFu); }

// Builds a colour value from channels 0..255 (values are masked to a byte).
[[nodiscard]] constexpr ColorValue makeColor(int red, int green, int blue)
{
    return (static_cast<ColorValue>(red) & 0xFFu) | ((static_cast<ColorValue>(green) & 0xFFu) << 8)
        | ((static_cast<ColorValue>(blue) & 0xFFu) << 16);
}

// Unweighted squared RGB distance, 0..195075.
[[nodiscard]] constexpr int colorDistance(ColorValue a, ColorValue b)
{
    const int dr = redOf(a) - redOf(b);
    const int dg = greenOf(a) - greenOf(b);
    const int db = blueOf(a) - blueOf(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace kanvo
