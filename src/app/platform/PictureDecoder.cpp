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

// The bytes of filtered image data a PNG's header announces: a filter byte and the packed
// pixels of every row, over the seven passes when interlaced. Zero for a header libpng refuses.
qint64 pngImageDataSize(quint32 width, quint32 height, int bitDepth, int colourType, bool interlaced)
{
    int channels = 0;
    switch (colourType) {
    case 0: channels = 1; break;
    case 2: channels = 3; break;
    case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return 0;
    }
    const auto rowsBytes = [&](qint64 columns, qint64 rows) {
        return columns == 0 || rows == 0 ? 0 : rows * (1 + (columns * channels * bitDepth + 7) / 8);
    };
    if (!interlaced)
        return rowsBytes(width, height);
    struct Pass {
        int x0, y0, dx, dy;
    };
    static constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2},
                                      {0, 1, 1, 2}};
    qint64 total = 0;
    for (const Pass& p : kAdam7)
        total += rowsBytes((qint64(width) + p.dx - 1 - p.x0) / p.dx, (qint64(height) + p.dy - 1 - p.y0) / p.dy);
    return total;
}

// Whether the zlib stream of a PNG's image data holds at least `expected` bytes and ends
// within the data. Only counted, never kept: libpng decodes the pixels afterwards.
bool pngImageDataComplete(const QByteArray& compressed, qint64 expected)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    unsigned char scratch[16384];
    qint64 produced = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = scratch;
        stream.avail_out = sizeof scratch;
        result = inflate(&stream, Z_NO_FLUSH);
        produced += qint64(sizeof scratch - stream.avail_out);
        if (result == Z_BUF_ERROR && stream.avail_in == 0)
            break; // the data ends inside the stream
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && produced >= expected;
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

// A PNG is whole when its chunks follow the signature one after another up to IEND, each within
// the file and with its checksum right, IHDR first, and its image data inflates to every row the
// header announces. libpng passes over a damaged chunk that is not needed for the pixels, may
// stop reading before IEND, and prints its own refusals on stderr, past Qt's messages: the
// checks come before libpng sees the file. A picture too large is told as such before anything
// is inflated.
PictureDecoder::Error PictureDecoder::checkPng(const QByteArray& bytes)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    const auto word = [data](qsizetype i) {
        return (quint32(data[i]) << 24) | (quint32(data[i + 1]) << 16) | (quint32(data[i + 2]) << 8) | data[i + 3];
    };
    if (!bytes.startsWith(QByteArrayView(kSignature, 8)))
        return Error::Corrupt;
    qint64 expected = 0;
    QByteArray imageData;
    for (qsizetype i = 8; i + 12 <= size;) {
        const quint32 length = word(i);
        if (length > 0x7FFFFFFFu || qsizetype(length) > size - i - 12)
            return Error::Corrupt;
        const QByteArrayView type(bytes.constData() + i + 4, 4);
        if ((i == 8) != (type == "IHDR") || crc32(0, data + i + 4, 4 + length) != word(i + 8 + length))
            return Error::Corrupt;
        const qsizetype body = i + 8;
        if (type == "IHDR") {
            if (length != 13)
                return Error::Corrupt;
            const quint32 width = word(body);
            const quint32 height = word(body + 4);
            if (qint64(width) * height * 4 > qint64(kAllocationLimitMB) * 1024 * 1024)
                return Error::TooLarge;
            expected = pngImageDataSize(width, height, data[body + 8], data[body + 9], data[body + 12] == 1);
            if (width == 0 || height == 0 || expected == 0)
                return Error::Corrupt;
        } else if (type == "IDAT") {
            imageData.append(bytes.constData() + body, length);
        } else if (type == "IEND") {
            return pngImageDataComplete(imageData, expected) ? Error::None : Error::Corrupt;
        }
        i += 12 + length;
    }
    return Error::Corrupt; // cut before IEND
}

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

    // The whole file is read at once (our BMP reader, the GIF and PNG checks): no picture the
    // limit lets through needs a file larger than the limit.
    const qint64 limit = qint64(kAllocationLimitMB) * 1024 * 1024;
    if (device.size() > limit)
        return fail(error, Error::TooLarge);
    if (!device.seek(0))
        return fail(error, Error::Corrupt);
    const QByteArray bytes = device.readAll();
    if (format == "png") {
        if (const Error damage = checkPng(bytes); damage != Error::None)
            return fail(error, damage);
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The announced size is checked here as well, so that the refusal is reported as such, not
    // as a corrupt file.
    const QSize size = QImageReader(&buffer, format).size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > limit)
        return fail(error, Error::TooLarge);
    if (format == "bmp")
        return decodeBmp(bytes, error);
    if (format == "gif" && !gifFirstFrameComplete(bytes))
        return fail(error, Error::Corrupt);

    buffer.seek(0);
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
