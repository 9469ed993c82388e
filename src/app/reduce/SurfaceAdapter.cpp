#include "app/reduce/SurfaceAdapter.h"

#include <QSysInfo>

namespace kanvo {

PixelSurface SurfaceAdapter::view(QImage& image)
{
    PixelSurface surface;
    if (image.isNull())
        return surface;
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        break;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        break;
    default:
        image.convertTo(QImage::Format_RGB32);
        break;
    }
    // Format_RGB32 pixels are the words 0xAARRGGBB: blue comes first in memory on little-endian
    // machines.
    switch (image.format()) {
    case QImage::Format_RGB888:
        surface.bytesPerPixel = 3;
        surface.redByte = 0;
        surface.greenByte = 1;
        surface.blueByte = 2;
        break;
    case QImage::Format_BGR888:
        surface.bytesPerPixel = 3;
        surface.redByte = 2;
        surface.greenByte = 1;
        surface.blueByte = 0;
        break;
    default:
        surface.bytesPerPixel = 4;
        surface.redByte = littleEndian ? 2 : 1;
        surface.greenByte = littleEndian ? 1 : 2;
        surface.blueByte = littleEndian ? 0 : 3;
        // The surface of a picture with cloth carries it in its alpha.
        if (image.format() == QImage::Format_ARGB32)
            surface.alphaByte = littleEndian ? 3 : 0;
        break;
    }
    // bits() detaches a shared image, so the writes reach this image only.
    surface.bytes = std::span<std::uint8_t>(image.bits(), static_cast<std::size_t>(image.sizeInBytes()));
    surface.width = image.width();
    surface.height = image.height();
    surface.stride = image.bytesPerLine();
    return surface;
}

} // namespace kanvo
