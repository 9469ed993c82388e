#include "GalleryPicture.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "app/platform/PictureDecoder.h"

namespace kanvo {

GalleryPicture GalleryPicture::load(const std::string& path, int width)
{
    GalleryPicture picture;
    const QString file = QString::fromStdString(path);
    picture.name = QFileInfo(file).completeBaseName().toStdString();
    const std::optional<QImage> decoded = PictureDecoder::decode(file);
    if (!decoded || decoded->isNull())
        return picture;
    const int height = std::max(1, static_cast<int>(std::lround(
        static_cast<double>(width) * decoded->height() / decoded->width())));
    QImage flat(decoded->size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, *decoded);
    }
    const QImage scaled = flat.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.width = width;
    picture.height = height;
    picture.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back(makeColor(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
    }
    return picture;
}

} // namespace kanvo
