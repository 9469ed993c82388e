#pragma once

#include <QImage>

#include "core/reduce/PixelSurface.h"

namespace kanvo {

// Views a QImage's pixel memory as a PixelSurface for the reduction pipeline. Images of 32-bit
// RGB/ARGB and 24-bit RGB/BGR formats are viewed as they are (a Format_ARGB32 image with its
// alpha as the cloth marks); any other format is first turned
// into Format_RGB32 in place (same size, same colours). The view is valid until the image is
// changed from elsewhere; a null image gives an empty surface.
class SurfaceAdapter {
public:
    [[nodiscard]] static PixelSurface view(QImage& image);
};

} // namespace kanvo
