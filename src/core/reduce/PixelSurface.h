#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/common/Color.h"

namespace kanvo {

// A non-owning view of a picture held elsewhere (the main window's zoomed picture surface):
// `height` rows of `stride` bytes, top row first, each pixel `bytesPerPixel` bytes with its red,
// green and blue byte at the given offsets inside the pixel. Other bytes of a pixel (alpha,
// padding) are left alone by writes, so the picture's transparency outlives its reduction. Coordinates are pixels, origin top-left.
//
// The view is only valid while the picture it looks at is neither resized nor reallocated; code
// that lets window events run in between must fetch a new view afterwards.
struct PixelSurface {
    std::span<std::uint8_t> bytes; // at least (height - 1) * stride + width * bytesPerPixel bytes
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    int bytesPerPixel = 4;
    int redByte = 2; // the defaults describe 32-bit blue, green, red, x pixels
    int greenByte = 1;
    int blueByte = 0;
    // The byte of the pixel's opacity (0 transparent .. 255 opaque), or -1 when every pixel is
    // opaque. A pixel under half opaque is bare cloth: no stitch.
    int alphaByte = -1;

    [[nodiscard]] bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // The colour at (x, y); the caller checks contains().
    [[nodiscard]] ColorValue at(int x, int y) const
    {
        const std::uint8_t* p = pixelAddress(x, y);
        return makeColor(p[redByte], p[greenByte], p[blueByte]);
    }
    // Whether the pixel at (x, y) is bare cloth; the caller checks contains().
    [[nodiscard]] bool isCloth(int x, int y) const { return alphaByte >= 0 && pixelAddress(x, y)[alphaByte] < 128; }
    void set(int x, int y, ColorValue color)
    {
        std::uint8_t* p = pixelAddress(x, y);
        p[redByte] = static_cast<std::uint8_t>(redOf(color));
        p[greenByte] = static_cast<std::uint8_t>(greenOf(color));
        p[blueByte] = static_cast<std::uint8_t>(blueOf(color));
    }
    [[nodiscard]] std::uint8_t* pixelAddress(int x, int y) const
    {
        return bytes.data() + static_cast<std::ptrdiff_t>(y) * stride
            + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    }
};

} // namespace kanvo
