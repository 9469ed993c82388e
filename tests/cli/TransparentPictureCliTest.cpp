// kanvo-cli chart on pictures with transparent backgrounds (PNG alpha, PNG tRNS, GIF): the
// transparent pixels are bare cloth, never stitched, whatever the method.

#include <cmath>
#include <functional>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "ToolOutput.h"

using namespace kanvo;

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

// Distance of pixel (x, y)'s centre from the middle of the 40 x 30 picture.
double distance(int x, int y) { return std::hypot(x + 0.5 - 20.0, y + 0.5 - 15.0); }

// A red disc of radius 10, a rim to 11 at alpha 200 (over half: stitched), one to 12 at alpha
// 100 (under half: cloth), then nothing. Transparent pixels hold black, which a decoder that
// drops the alpha would stitch as DMC 310.
int discAlpha(int x, int y)
{
    const double d = distance(x, y);
    return d <= 10 ? 255 : d <= 11 ? 200 : d <= 12 ? 100 : 0;
}

QImage alphaDisc()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, qRgba(discAlpha(x, y) > 0 ? 255 : 0, 0, 0, discAlpha(x, y)));
    return image;
}

// The same disc to radius 11, as a palette with one fully transparent entry (a tRNS chunk).
int hardAlpha(int x, int y) { return distance(x, y) <= 11 ? 255 : 0; }

QImage paletteDisc()
{
    QImage image(kWidth, kHeight, QImage::Format_Indexed8);
    image.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0)});
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, hardAlpha(x, y) ? 1 : 0);
    return image;
}

// paletteDisc() as a GIF89a with colour 0 transparent. Qt writes no GIF, so the file is put
// together here: the image data is LZW with a clear code before every second pixel, which keeps
// the codes at 3 bits and needs no dictionary.
QByteArray gifDisc()
{
    QByteArray gif("GIF89a");
    const auto word = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char(v >> 8));
    };
    word(kWidth);
    word(kHeight);
    gif.append(char(0x81)); // global colour table of 4 entries
    gif.append(char(0));
    gif.append(char(0));
    gif.append(QByteArray("\x00\x00\x00\xFF\x00\x00\x00\x00\x00\x00\x00\x00", 12));
    gif.append(QByteArray("\x21\xF9\x04\x01\x00\x00\x00\x00", 8)); // transparent colour 0
    gif.append(char(0x2C));
    word(0);
    word(0);
    word(kWidth);
    word(kHeight);
    gif.append(char(0));
    gif.append(char(2)); // LZW minimum code size: clear 4, end 5
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 3;
        while (count >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < kWidth * kHeight; ++i) {
        if (i % 2 == 0)
            code(4);
        code(hardAlpha(i % kWidth, i / kWidth) ? 1 : 0);
    }
    code(5);
    if (count > 0)
        data.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));
    gif.append(char(0x3B));
    return gif;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TransparentPictureCliTest : public QObject {
    Q_OBJECT

private slots:
    void transparentPixelsAreCloth_data();
    void transparentPixelsAreCloth();
};

void TransparentPictureCliTest::transparentPixelsAreCloth_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("softRim"); // the alpha-200 and alpha-100 rims of alphaDisc()
    for (const char* method : {"none", "216", "2bit", "1bit", "threads"}) {
        QTest::addRow("png alpha, %s", method) << "alpha.png" << method << true;
        QTest::addRow("gif, %s", method) << "disc.gif" << method << false;
    }
    QTest::addRow("png tRNS, threads") << "trns.png" << "threads" << false;
}

void TransparentPictureCliTest::transparentPixelsAreCloth()
{
    QFETCH(QString, file);
    QFETCH(QString, method);
    QFETCH(bool, softRim);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(alphaDisc().save(folder.filePath("alpha.png"), "PNG"));
    QVERIFY(paletteDisc().save(folder.filePath("trns.png"), "PNG"));
    QFile gif(folder.filePath("disc.gif"));
    QVERIFY(gif.open(QIODevice::WriteOnly));
    gif.write(gifDisc());
    gif.close();

    const std::function<int(int, int)> alpha = softRim ? discAlpha : hardAlpha;
    int opaque = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            opaque += alpha(x, y) >= 128 ? 1 : 0;
    // pi * r^2 and a little: the radius-11 disc of 40 x 30.
    QVERIFY2(opaque > 360 && opaque < 400, qPrintable(QString::number(opaque)));

    const QString grid = folder.filePath("grid.csv");
    const QString legend = folder.filePath("legend.csv");
    const auto out = runTool(QStringLiteral(KANVO_CLI),
        {"chart", folder.filePath(file), "-o", folder.filePath("chart.png"), "--width", "40", "--height", "30",
            "--method", method, "--threads", "2", "--rare", "0", "--grid", grid, "--legend", legend});
    QVERIFY(out.has_value());

    // Cell by cell: a thread exactly where the picture is at least half opaque.
    const QStringList rows = QString::fromUtf8(fileBytes(grid)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), kHeight);
    int stitched = 0;
    for (int y = 0; y < kHeight; ++y) {
        const QStringList cells = rows[y].split(',');
        QCOMPARE(cells.size(), kWidth);
        for (int x = 0; x < kWidth; ++x) {
            const bool hasStitch = cells[x] != QLatin1String("0");
            QVERIFY2(hasStitch == (alpha(x, y) >= 128), qPrintable(QStringLiteral("cell %1, %2: %3").arg(x).arg(y).arg(cells[x])));
            stitched += hasStitch ? 1 : 0;
        }
    }
    QCOMPARE(stitched, opaque);

    // The legend counts the stitched cells only; neither black nor the white of the cloth is a
    // thread of a red disc.
    int counted = 0;
    const QStringList entries = QString::fromUtf8(fileBytes(legend)).split('\n', Qt::SkipEmptyParts).mid(1);
    for (const QString& entry : entries) {
        const QString thread = entry.section(',', 1, 1).trimmed();
        if (method != QLatin1String("1bit") && method != QLatin1String("2bit")) // these dither red with black
            QVERIFY2(thread != QLatin1String("310"), qPrintable(entry));
        if (method == QLatin1String("threads"))
            QVERIFY2(thread != QLatin1String("5200") && thread != QLatin1String("3865"), qPrintable(entry));
        counted += entry.section(',', 2).toInt();
    }
    QCOMPARE(counted, opaque);
}

QTEST_MAIN(TransparentPictureCliTest)
#include "TransparentPictureCliTest.moc"
