#include "app/platform/PictureDecoder.h"

#include <QFile>
#include <QImageReader>

namespace kanvo {

namespace {

std::optional<QImage> fail(PictureDecoder::Error* out, PictureDecoder::Error e)
{
    if (out != nullptr)
        *out = e;
    return std::nullopt;
}

} // namespace

std::optional<QImage> PictureDecoder::decode(const QString& path, Error* error)
{
    if (error != nullptr)
        *error = Error::None;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, Error::CannotOpen);
    return decode(file, error);
}

std::optional<QImage> PictureDecoder::decode(QIODevice& device, Error* error)
{
    if (error != nullptr)
        *error = Error::None;
    // The limit is process-wide in Qt; setting it on every decode keeps it in force even if some
    // other code changed it.
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format != "bmp" && format != "jpeg" && format != "jpg" && format != "gif")
        return fail(error, Error::UnsupportedFormat);

    const QSize size = reader.size();
    if (size.isValid()) {
        // Checked here as well so the refusal is reported as such, not as a corrupt file.
        const qint64 bytes = qint64(size.width()) * size.height() * 4;
        if (bytes > qint64(kAllocationLimitMB) * 1024 * 1024)
            return fail(error, Error::TooLarge);
    }

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return fail(error, Error::Corrupt);
    return image.convertToFormat(QImage::Format_RGB32);
}

QString PictureDecoder::errorText(Error error)
{
    switch (error) {
    case Error::None: return QStringLiteral("no error");
    case Error::CannotOpen: return QStringLiteral("the file cannot be opened");
    case Error::UnsupportedFormat: return QStringLiteral("the file is not a BMP, JPEG or GIF picture");
    case Error::TooLarge: return QStringLiteral("the picture is too large");
    case Error::Corrupt: return QStringLiteral("the picture cannot be decoded");
    }
    return QStringLiteral("unknown error");
}

} // namespace kanvo
