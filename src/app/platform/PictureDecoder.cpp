#include "app/platform/PictureDecoder.h"

#include <cstdint>
#include <span>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <zlib.h>

#include "app/platform/DibImage.h"
#include "core/image/ClsDIB.h"

namespace kanvo {

namespace {

std::optional<QImage> fail(PictureDecoder::Error* out, PictureDecoder::Error e)
{
    if (out != nullptr)
        *out = e;
    return std::nullopt;
}

// libjpeg takes a file that ends inside its picture for a warning ("Premature end of JPEG file"),
// fills the rest with grey and reports success; Qt passes the warning on as a log message. The
// watch catches that message during one decode (everything else goes on to the handler before).
class PrematureEndWatch {
public:
    PrematureEndWatch()
    {
        seen_ = false;
        previous_ = qInstallMessageHandler(&PrematureEndWatch::handle);
    }
    ~PrematureEndWatch() { qInstallMessageHandler(previous_); }
    PrematureEndWatch(const PrematureEndWatch&) = delete;
    PrematureEndWatch& operator=(const PrematureEndWatch&) = delete;

    [[nodiscard]] static bool seen() { return seen_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && message.contains(QLatin1String("Premature end"), Qt::CaseInsensitive)) {
            seen_ = true;
            return;
        }
        if (previous_ != nullptr)
            previous_(type, context, message);
    }

    static inline bool seen_ = false;
    static inline QtMessageHandler previous_ = nullptr;
};

// A GIF is complete when the data sub-blocks of its first picture end with their terminator
// before the file does; Qt's decoder shows a picture cut inside them as if it were whole.
bool gifFirstFrameComplete(const QByteArray& bytes)
{
    const auto at = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const qsizetype size = bytes.size();
    qsizetype i = 13; // header and logical screen descriptor
    if (size < i)
        return false;
    if (at(10) & 0x80)
        i += 3 * (qsizetype(1) << ((at(10) & 0x07) + 1));
    const auto skipSubBlocks = [&](qsizetype& pos) {
        while (pos < size && at(pos) != 0)
            pos += 1 + at(pos);
        if (pos >= size)
            return false;
        ++pos; // the terminator
        return true;
    };
    while (i < size) {
        const unsigned char block = at(i);
        if (block == 0x21) { // extension: label, then sub-blocks
            i += 2;
            if (!skipSubBlocks(i))
                return false;
        } else if (block == 0x2C) { // image descriptor, local colour table, LZW code size, data
            if (i + 10 > size)
                return false;
            const unsigned char flags = at(i + 9);
            i += 10;
            if (flags & 0x80)
                i += 3 * (qsizetype(1) << ((flags & 0x07) + 1));
            ++i;
            return skipSubBlocks(i);
        } else {
            return false; // the trailer or garbage before any picture
        }
    }
    return false;
}

// A PNG is whole when its chunks follow the signature one after another up to IEND, each within
// the file and with its checksum right, IHDR first and at least one IDAT. libpng passes over a
// damaged chunk that is not needed for the pixels and may stop reading before IEND, so a file
// cut or garbled there would otherwise be shown.
bool pngComplete(const QByteArray& bytes)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    const auto word = [data](qsizetype i) {
        return (quint32(data[i]) << 24) | (quint32(data[i + 1]) << 16) | (quint32(data[i + 2]) << 8) | data[i + 3];
    };
    if (!bytes.startsWith(QByteArrayView(kSignature, 8)))
        return false;
    bool sawData = false;
    for (qsizetype i = 8; i + 12 <= size;) {
        const quint32 length = word(i);
        if (length > 0x7FFFFFFFu || qsizetype(length) > size - i - 12)
            return false;
        const QByteArrayView type(bytes.constData() + i + 4, 4);
        if ((i == 8) != (type == "IHDR"))
            return false;
        if (crc32(0, data + i + 4, 4 + length) != word(i + 8 + length))
            return false;
        if (type == "IDAT")
            sawData = true;
        if (type == "IEND")
            return sawData;
        i += 12 + length;
    }
    return false; // cut before IEND
}

// BMP files go through the program's own reader, which refuses what Qt's would show half grey:
// pixel data past the end of the file, RLE runs past their row, RLE data without its end.
std::optional<QImage> decodeBmp(const QByteArray& bytes, PictureDecoder::Error* error)
{
    ClsDIB dib;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!dib.loadFromMemory(std::span<const std::uint8_t>(data, static_cast<std::size_t>(bytes.size()))))
        return fail(error, PictureDecoder::Error::Corrupt);
    if (qint64(dib.Width()) * dib.Height() * 4 > qint64(PictureDecoder::kAllocationLimitMB) * 1024 * 1024)
        return fail(error, PictureDecoder::Error::TooLarge);
    QImage image = DibImage::toQImage(dib);
    if (image.isNull())
        return fail(error, PictureDecoder::Error::TooLarge);
    return image;
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
    if (format != "bmp" && format != "jpeg" && format != "jpg" && format != "gif" && format != "png")
        return fail(error, Error::UnsupportedFormat);

    const QSize size = reader.size();
    if (size.isValid()) {
        // Checked here as well so the refusal is reported as such, not as a corrupt file.
        const qint64 bytes = qint64(size.width()) * size.height() * 4;
        if (bytes > qint64(kAllocationLimitMB) * 1024 * 1024)
            return fail(error, Error::TooLarge);
    }

    // The whole file is read at once (our BMP reader, the GIF check): no picture the limit lets
    // through needs a file larger than the limit.
    const qint64 limit = qint64(kAllocationLimitMB) * 1024 * 1024;
    if (device.size() > limit)
        return fail(error, Error::TooLarge);
    if (!device.seek(0))
        return fail(error, Error::Corrupt);
    const QByteArray bytes = device.readAll();
    if (format == "bmp")
        return decodeBmp(bytes, error);
    if (format == "gif" && !gifFirstFrameComplete(bytes))
        return fail(error, Error::Corrupt);
    if (format == "png" && !pngComplete(bytes))
        return fail(error, Error::Corrupt);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader decoder(&buffer, format);
    QImage image;
    const PrematureEndWatch watch;
    if (!decoder.read(&image) || image.isNull() || PrematureEndWatch::seen())
        return fail(error, Error::Corrupt);
    return image.convertToFormat(QImage::Format_RGB32);
}

QString PictureDecoder::errorText(Error error)
{
    switch (error) {
    case Error::None: return QStringLiteral("no error");
    case Error::CannotOpen: return QStringLiteral("the file cannot be opened");
    case Error::UnsupportedFormat: return QStringLiteral("the file is not a BMP, JPEG, GIF or PNG picture");
    case Error::TooLarge: return QStringLiteral("the picture is too large");
    case Error::Corrupt: return QStringLiteral("the picture cannot be decoded");
    }
    return QStringLiteral("unknown error");
}

} // namespace kanvo
