#include "app/platform/DibImage.h"

#include <cstdint>

namespace kanvo {

QImage DibImage::toQImage(const ClsDIB& dib)
{
    if (dib.empty())
        return {};
    const ClsDIB* source = &dib;
    ClsDIB converted;
    if (dib.ColorBit() != 24) {
        // The buffer's own blit turns indices and 16/32-bit pixels into colours.
        if (!converted.Create(dib.Width(), dib.Height(), 24, true)
            || !converted.GethDC(dib, 0, 0, 0, 0, 0, 0))
            return {};
        source = &converted;
    }
    QImage image(source->Width(), source->Height(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int r = 0; r < source->Height(); ++r) {
        const auto row = source->rowFromTop(r);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(r));
        for (int x = 0; x < source->Width(); ++x) {
            const std::uint8_t* p = row.data() + 3 * x;
            out[x] = qRgb(p[2], p[1], p[0]);
        }
    }
    return image;
}

std::optional<ClsDIB> DibImage::fromQImage(const QImage& image)
{
    if (image.isNull())
        return std::nullopt;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    ClsDIB dib;
    // Every pixel is written below and new buffers start zeroed, so no second clearing pass.
    if (!dib.Create(rgb.width(), rgb.height(), 24, false))
        return std::nullopt;
    // The size is read once: a saved chart canvas has millions of pixels.
    const int width = rgb.width();
    const int height = rgb.height();
    for (int r = 0; r < height; ++r) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(r));
        auto row = dib.rowFromTop(r);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = row.data() + 3 * x;
            p[0] = static_cast<std::uint8_t>(qBlue(in[x]));
            p[1] = static_cast<std::uint8_t>(qGreen(in[x]));
            p[2] = static_cast<std::uint8_t>(qRed(in[x]));
        }
    }
    return dib;
}

} // namespace kanvo
