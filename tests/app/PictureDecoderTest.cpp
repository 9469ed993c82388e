// PNG files made here byte by byte: interlaced pictures read pixel for pixel, and the file checks
// that come before libpng, on files libpng alone would read (a stray chunk before IHDR, a wrong
// checksum on a chunk it skips) and on files one byte short of whole.
#include <functional>

#include <QBuffer>
#include <QtTest>

#include <zlib.h>

#include "app/platform/PictureDecoder.h"

using namespace kanvo;

namespace {

// The colour of pixel (x, y) in every picture below: each pixel its own.
QRgb pixelAt(int x, int y) { return qRgb(20 * x + 3, 17 * y + 5, (x * 7 + y * 11) % 256); }

enum ColourType { Grey = 0, Rgb = 2, Rgba = 6 };

int channels(ColourType type) { return type == Grey ? 1 : type == Rgb ? 3 : 4; }

// What the picture holds at (x, y) once decoded to RGB32.
QRgb decodedAt(ColourType type, int x, int y)
{
    const QRgb c = pixelAt(x, y);
    return type == Grey ? qRgb(qRed(c), qRed(c), qRed(c)) : c;
}

QByteArray chunk(const char* type, const QByteArray& body)
{
    QByteArray out;
    const auto put = [&out](quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char(v >> shift));
    };
    put(quint32(body.size()));
    const QByteArray typed = QByteArray(type, 4) + body;
    out.append(typed);
    put(quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
    return out;
}

QByteArray header(quint32 width, quint32 height, ColourType type, bool interlaced)
{
    QByteArray body;
    for (const quint32 v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            body.append(char(v >> shift));
    body.append(char(8)).append(char(type)).append(char(0)).append(char(0)).append(char(interlaced ? 1 : 0));
    return chunk("IHDR", body);
}

// The filtered image data (filter 0 on every row): the rows of the picture, or of the seven
// Adam7 passes in turn, a pass without columns or rows contributing nothing.
QByteArray rows(int width, int height, ColourType type, bool interlaced)
{
    struct Pass {
        int x0, y0, dx, dy;
    };
    const std::vector<Pass> passes = interlaced
        ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
        : std::vector<Pass>{{0, 0, 1, 1}};
    QByteArray out;
    for (const Pass& p : passes) {
        if (p.x0 >= width)
            continue;
        for (int y = p.y0; y < height; y += p.dy) {
            out.append(char(0));
            for (int x = p.x0; x < width; x += p.dx) {
                const QRgb c = pixelAt(x, y);
                out.append(char(qRed(c)));
                if (channels(type) >= 3)
                    out.append(char(qGreen(c))).append(char(qBlue(c)));
                if (channels(type) == 4)
                    out.append(char(255));
            }
        }
    }
    return out;
}

QByteArray deflated(const QByteArray& data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()));
    out.resize(qsizetype(size));
    return out;
}

const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);

QByteArray png(int width, int height, ColourType type, bool interlaced)
{
    return kSignature + header(quint32(width), quint32(height), type, interlaced)
        + chunk("IDAT", deflated(rows(width, height, type, interlaced))) + chunk("IEND", {});
}

std::optional<QImage> decode(const QByteArray& bytes, PictureDecoder::Error* error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return PictureDecoder::decode(buffer, error);
}

} // namespace

Q_DECLARE_METATYPE(PictureDecoder::Error)

class PictureDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void interlacedPngIsReadWhole_data();
    void interlacedPngIsReadWhole();
    void pngChecksBeforeLibpng_data();
    void pngChecksBeforeLibpng();
};

void PictureDecoderTest::interlacedPngIsReadWhole_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("dataBytes"); // filtered image data, worked out pass by pass
    // 5 x 3 RGB: passes 1, 2 and 4 one pixel each (4 bytes), pass 3 empty, pass 5 one row of 3
    // pixels (10), pass 6 two rows of 2 (14), pass 7 one row of 5 (16): 52.
    QTest::newRow("5 x 3 RGB") << 5 << 3 << int(Rgb) << 52;
    // 1 x 1 grey: pass 1 only, a filter byte and one byte.
    QTest::newRow("1 x 1 grey") << 1 << 1 << int(Grey) << 2;
    // 3 x 10 grey: 4 + 0 (pass 2 starts at column 4) + 2 + 6 + 6 + 10 + 20.
    QTest::newRow("3 x 10 grey") << 3 << 10 << int(Grey) << 48;
    // 13 x 9 RGBA: 18 + 18 + 17 + 39 + 58 + 125 + 212.
    QTest::newRow("13 x 9 RGBA") << 13 << 9 << int(Rgba) << 487;
}

void PictureDecoderTest::interlacedPngIsReadWhole()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, type);
    QFETCH(int, dataBytes);
    const auto colourType = ColourType(type);
    QCOMPARE(rows(width, height, colourType, true).size(), qsizetype(dataBytes));
    const QByteArray file = png(width, height, colourType, true);
    QCOMPARE(PictureDecoder::checkPng(file), PictureDecoder::Error::None);
    PictureDecoder::Error error = PictureDecoder::Error::None;
    const std::optional<QImage> image = decode(file, &error);
    QVERIFY2(image.has_value(), qPrintable(PictureDecoder::errorText(error)));
    QCOMPARE(image->size(), QSize(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            QCOMPARE(image->pixel(x, y), decodedAt(colourType, x, y));
}

void PictureDecoderTest::pngChecksBeforeLibpng_data()
{
    using Error = PictureDecoder::Error;
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Error>("expected");
    const QByteArray head = kSignature + header(6, 4, Rgb, false);
    const QByteArray data = chunk("IDAT", deflated(rows(6, 4, Rgb, false)));
    const QByteArray end = chunk("IEND", {});
    QByteArray badText = chunk("tEXt", QByteArray("Title\0x", 7));
    badText[badText.size() - 1] = char(badText.back() ^ 1);

    QTest::newRow("whole") << head + data + end << Error::None;
    QTest::newRow("whole, interlaced") << png(5, 3, Rgb, true) << Error::None;
    // libpng reads these two; the checks do not.
    QTest::newRow("private chunk before IHDR")
        << kSignature + chunk("prVt", "x") + header(6, 4, Rgb, false) + data + end << Error::Corrupt;
    QTest::newRow("wrong checksum on a text chunk") << head + badText + data + end << Error::Corrupt;
    QTest::newRow("no IEND") << head + data << Error::Corrupt;
    QTest::newRow("IEND cut short") << head + data + end.left(end.size() - 1) << Error::Corrupt;
    QTest::newRow("IHDR only") << head + end << Error::Corrupt;
    // Whole chunks and a whole zlib stream, one byte of image data short.
    const QByteArray rowsShort = rows(6, 4, Rgb, false).chopped(1);
    QTest::newRow("last byte of the rows missing") << head + chunk("IDAT", deflated(rowsShort)) + end << Error::Corrupt;
    const QByteArray passesShort = rows(5, 3, Rgb, true).chopped(1);
    QTest::newRow("interlaced, last byte of pass 7 missing")
        << kSignature + header(5, 3, Rgb, true) + chunk("IDAT", deflated(passesShort)) + end << Error::Corrupt;
    QTest::newRow("zlib stream not ended")
        << head + chunk("IDAT", deflated(rows(6, 4, Rgb, false)).chopped(4)) + end << Error::Corrupt;
    QTest::newRow("no rows announced") << kSignature + header(0, 4, Rgb, false) + data + end << Error::Corrupt;
    // 10000 x 10000 x 4 bytes is past the allocation limit: refused before inflating anything.
    QTest::newRow("too large") << kSignature + header(10000, 10000, Rgb, false) + data + end << Error::TooLarge;
}

void PictureDecoderTest::pngChecksBeforeLibpng()
{
    QFETCH(QByteArray, file);
    QFETCH(PictureDecoder::Error, expected);
    QCOMPARE(PictureDecoder::checkPng(file), expected);
    // The picture loading refuses for the same reason.
    PictureDecoder::Error error = PictureDecoder::Error::None;
    const std::optional<QImage> image = decode(file, &error);
    QCOMPARE(image.has_value(), expected == PictureDecoder::Error::None);
    QCOMPARE(error, expected);
}

QTEST_MAIN(PictureDecoderTest)
#include "PictureDecoderTest.moc"
