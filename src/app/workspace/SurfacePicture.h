#pragma once

#include <QImage>

namespace kanvo {

// The zoomed picture surface's pixels as the main window and the headless workspace make them.
class SurfacePicture {
public:
    // A white Format_RGB32 surface of width x height pixels with the whole source stretched onto
    // it by nearest pixel (pixels are dropped or repeated, never blended). A null image for an
    // empty size. A source with an alpha channel gives a Format_ARGB32 surface with the same
    // alpha, pixel for pixel.
    [[nodiscard]] static QImage stretched(const QImage& source, int width, int height);
};

} // namespace kanvo
