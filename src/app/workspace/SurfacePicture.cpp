#include "app/workspace/SurfacePicture.h"

#include <QPainter>

namespace kanvo {

QImage SurfacePicture::stretched(const QImage& source, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    // The stretched picture covers the whole surface; its cloth (alpha 0) stays cloth.
    if (source.hasAlphaChannel())
        return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .convertToFormat(QImage::Format_ARGB32);
    QImage surface(width, height, QImage::Format_RGB32);
    surface.fill(Qt::white);
    if (!source.isNull()) {
        const QImage scaled = source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QPainter painter(&surface);
        painter.drawImage(QPoint(0, 0), scaled);
    }
    return surface;
}

} // namespace kanvo
