#pragma once

#include <optional>

#include <QImage>

#include "core/image/ClsDIB.h"

namespace kanvo {

// The one conversion between the image buffer (ClsDIB: bottom row first, 24-bit pixels stored
// blue, green, red) and QImage (top row first).
class DibImage {
public:
    // A QImage::Format_RGB32 copy of the buffer. Buffers of another depth than 24 are turned into
    // colours first (through their colour table). A null QImage for an empty buffer or when
    // memory runs out.
    [[nodiscard]] static QImage toQImage(const ClsDIB& dib);
    // A 24-bit buffer of the same size holding the image's colours (alpha dropped); empty when
    // the image is null or the buffer cannot be made.
    [[nodiscard]] static std::optional<ClsDIB> fromQImage(const QImage& image);
};

} // namespace kanvo
