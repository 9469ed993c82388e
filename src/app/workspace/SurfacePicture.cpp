#include "app/workspace/SurfacePicture.h"

#include <QPainter>

namespace kanvo {

QImage SurfacePicture::stretched(const QImage& source, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
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
