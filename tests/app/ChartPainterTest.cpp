#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "app/chart/ChartPainter.h"
#include "core/chart/ChartLayout.h"
#include "core/chart/PrintLayout.h"
#include "CanvasInk.h"
#include "tests/core/chart/ChartTestSupport.h"

using namespace kanvo;

namespace {

std::vector<ColorValue> tableColors()
{
    std::vector<ColorValue> colors;
    for (int t = 1; t <= 452; ++t)
        colors.push_back(makeColor((t * 53) % 256, (t * 101) % 256, (t * 29 + 80) % 256));
    return colors;
}

ChartModel sampleModel(int gw, int gh, int threads)
{
    return test::makeModel(gw, gh, threads, [threads](int x, int y) { return (x / 3 + y / 4) % threads + 1; });
}

QRgb rgbOf(ColorValue c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }

// Dark pixels (all channels below 100) inside the cell box of stitch (x, y), the block lines' grey
// not counted. inside the cell box of stitch (x, y).
int darkPixelsInCell(const QImage& image, int gridTop, int x, int y)
{
    int dark = 0;
    for (int py = gridTop + 10 * y + 1; py <= gridTop + 10 * y + 9; ++py)
        for (int px = 40 + 10 * x + 1; px <= 40 + 10 * x + 9; ++px) {
            const QRgb p = image.pixel(px, py);
            const bool blockLine = p == qRgb(66, 66, 66);
            dark += !blockLine && qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100 ? 1 : 0;
        }
    return dark;
}

// Pixels inside the box (left, top, size x size) of white ink (red and green above 150, which
// neither dark block has) or of black ink (all channels below 100).
struct InkCount {
    int light = 0;
    int dark = 0;
};

InkCount inkInBox(const QImage& image, int left, int top, int size)
{
    InkCount count;
    for (int py = top; py < top + size; ++py)
        for (int px = left; px < left + size; ++px) {
            const QRgb p = image.pixel(px, py);
            count.light += qRed(p) > 150 && qGreen(p) > 150 ? 1 : 0;
            count.dark += qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100 ? 1 : 0;
        }
    return count;
}

// The 200 x 285 mm page at `scale` dots per mm, painted onto an image as a printer stands in.
QImage paintPage(const PrintLayout& layout, float scale)
{
    QImage page(800, 1140, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        ChartPainter painter(scale);
        painter.paint(p, layout.drawList());
    }
    return page;
}

// Block colours: black and navy want white symbols, pale yellow black ones.
constexpr ColorValue kDarkBlock = makeColor(0, 0, 0);
constexpr ColorValue kNavyBlock = makeColor(0, 0, 128);
constexpr ColorValue kLightBlock = makeColor(255, 255, 180);

} // namespace

class ChartPainterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void canvasPixels_data();
    void canvasPixels();
    void symbolsAreDrawnInTheirCells();
    void noTextIsCut_data();
    void noTextIsCut();
    void symbolsOnDarkBlocksAreWhite();
    void printedSymbolsOnDarkBlocksAreWhite();
    void glyphCacheMatchesDirectText();
    void metricsMeasureRealFonts();
    void printPageAtPrinterScale();
    void printToPdf();
    void writeSample();
    void strokesAndCirclesOnTheCanvas();
    void backStitchInTheThreadColour();

private:
    std::vector<ColorValue> colors_ = tableColors();
};

void ChartPainterTest::initTestCase()
{
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    QFont::insertSubstitution("宋体", "WenQuanYi Micro Hei");
    QFont::insertSubstitution("Arial", "Liberation Sans");
}

void ChartPainterTest::canvasPixels_data()
{
    QTest::addColumn<int>("px");
    QTest::addColumn<int>("dy"); // below gridTop
    QTest::addColumn<int>("stitchX"); // stitch whose block colour is expected, -1 for a line colour
    QTest::addColumn<int>("stitchY");
    QTest::addColumn<uint>("rgb");

    // corners of cell boxes (the symbols sit in the middle)
    QTest::newRow("cell 0,0 top-left") << 41 << 1 << 0 << 0 << 0u;
    QTest::newRow("cell 0,0 bottom-right") << 49 << 9 << 0 << 0 << 0u;
    QTest::newRow("cell 5,7") << 91 << 71 << 5 << 7 << 0u;
    QTest::newRow("cell 10,0 after the thick line") << 141 << 1 << 10 << 0 << 0u;
    QTest::newRow("cell 9,3 before the thick line") << 138 << 31 << 9 << 3 << 0u;
    QTest::newRow("thin vertical") << 40 << 5 << -1 << 0 << uint(qRgb(166, 166, 166));
    QTest::newRow("thin horizontal") << 45 << 0 << -1 << 0 << uint(qRgb(166, 166, 166));
    QTest::newRow("thin line into the margin") << 15 << 30 << -1 << 0 << uint(qRgb(166, 166, 166));
    QTest::newRow("thick vertical 140") << 140 << 5 << -1 << 0 << uint(qRgb(66, 66, 66));
    QTest::newRow("thick vertical 139") << 139 << 5 << -1 << 0 << uint(qRgb(66, 66, 66));
    QTest::newRow("thick horizontal") << 45 << 100 << -1 << 0 << uint(qRgb(66, 66, 66));
    QTest::newRow("outer border thin") << 240 << 105 << -1 << 0 << uint(qRgb(166, 166, 166));
    QTest::newRow("margin white") << 5 << 30 << -1 << 0 << uint(qRgb(255, 255, 255));
}

void ChartPainterTest::canvasPixels()
{
    QFETCH(int, px);
    QFETCH(int, dy);
    QFETCH(int, stitchX);
    QFETCH(int, stitchY);
    QFETCH(uint, rgb);

    const ChartModel model = sampleModel(20, 15, 5);
    ChartOptions options;
    options.mode = ChartMode::BlocksOnly;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, options, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    QVERIFY(image.width() >= 283); // wider where the notes need it
    QCOMPARE(image.height(), 150 + 14 * 6 + 260);

    const QRgb expected = stitchX >= 0
        ? rgbOf(colors_[static_cast<std::size_t>(model.threadAt(stitchX, stitchY)) - 1])
        : static_cast<QRgb>(rgb);
    QCOMPARE(image.pixel(px, layout.geometry().gridTop + dy) & 0xFFFFFFu, expected & 0xFFFFFFu);
}

void ChartPainterTest::noTextIsCut_data()
{
    QTest::addColumn<int>("gw");
    QTest::addColumn<QString>("title");
    QTest::newRow("one stitch wide") << 1 << QString();
    QTest::newRow("8 stitches") << 8 << QString();
    QTest::newRow("20 stitches") << 20 << QString();
    QTest::newRow("20 stitches, a long title") << 20 << QStringLiteral("我家的小猪和小狗在春天的花园里玩耍的绣图作品");
    QTest::newRow("45 stitches") << 45 << QString();
}

// The notes below the legend are longer than a narrow chart's grid is wide: with the real fonts,
// nothing may run into the canvas's right edge, and the texts must be there in full.
void ChartPainterTest::noTextIsCut()
{
    QFETCH(int, gw);
    QFETCH(QString, title);
    ChartModel model = sampleModel(gw, 15, 3);
    model.xiutuTitle = title.toStdString();
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, ChartOptions{}, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    const int ink = test::rightmostInkColumn(image);
    QVERIFY2(ink < image.width() - 5, qPrintable(QStringLiteral("ink to %1 of %2").arg(ink).arg(image.width())));
    if (gw <= 20) // the grid alone would have been 10 gw + 83 wide
        QVERIFY2(ink >= 10 * gw + 83, qPrintable(QStringLiteral("ink to %1").arg(ink)));
}

void ChartPainterTest::symbolsAreDrawnInTheirCells()
{
    ChartModel model = sampleModel(20, 15, 5);
    model.chrIndex[5] = 0; // thread 5 has no symbol
    ChartOptions options;
    options.mode = ChartMode::SymbolsOnly;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, options, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    const int top = layout.geometry().gridTop;
    int withSymbol = 0;
    int without = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) {
            const int dark = darkPixelsInCell(image, top, x, y);
            if (model.threadAt(x, y) == 5) {
                QVERIFY2(dark == 0, qPrintable(QString("cell %1,%2 has %3 dark pixels").arg(x).arg(y).arg(dark)));
                ++without;
            } else {
                QVERIFY2(dark >= 3, qPrintable(QString("cell %1,%2 has %3 dark pixels").arg(x).arg(y).arg(dark)));
                ++withSymbol;
            }
        }
    QVERIFY(withSymbol > 0 && without > 0);
}

void ChartPainterTest::symbolsOnDarkBlocksAreWhite()
{
    // Threads 1 black, 2 navy, 3 pale yellow in column stripes; the saved bitmap is this canvas.
    const std::vector<ColorValue> colors{kDarkBlock, kNavyBlock, kLightBlock};
    const ChartModel model = test::makeModel(12, 4, 3, [](int x, int) { return x / 4 + 1; });
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors, options, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    const int top = layout.geometry().gridTop;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x) {
            const InkCount ink = inkInBox(image, 40 + 10 * x + 1, top + 10 * y + 1, 9);
            const QString cell = QStringLiteral("cell %1,%2: light %3 dark %4").arg(x).arg(y).arg(ink.light).arg(ink.dark);
            if (x < 8)
                QVERIFY2(ink.light >= 3, qPrintable(cell)); // a white symbol on black or navy
            else
                QVERIFY2(ink.dark >= 3, qPrintable(cell)); // a black symbol on pale yellow
        }
}

void ChartPainterTest::printedSymbolsOnDarkBlocksAreWhite()
{
    // A small chart prints with big cells; the printed blocks are the stitch colours.
    const ChartModel model = test::makeModel(12, 4, 2, [](int x, int) { return x < 6 ? 1 : 2; });
    StitchMatrix stitches;
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 4; ++y)
            stitches.set(x, y, x < 6 ? kDarkBlock : kLightBlock);
    ChartOptions options;
    options.mode = ChartMode::BlocksOnly; // symbols are printed in every mode
    const float scale = 4.0f;
    const ChartPainter::Metrics metrics(25.4f / 72.0f, scale);
    const auto layout = PrintLayout::build(model, stitches, options, 200.0f, 285.0f, metrics);
    QVERIFY(layout.has_value());
    const PrintGeometry& g = layout->geometry();
    const QImage page = paintPage(*layout, scale);
    const int size = static_cast<int>(g.cell * scale) - 4;
    QVERIFY(size > 12);
    for (int x = 0; x < 12; ++x) {
        const int left = static_cast<int>((g.gridLeft + g.cell * static_cast<float>(x)) * scale) + 2;
        const int top = static_cast<int>((g.gridTop + g.cell) * scale) + 2;
        const InkCount ink = inkInBox(page, left, top, size);
        const QString cell = QStringLiteral("cell %1: light %2 dark %3").arg(x).arg(ink.light).arg(ink.dark);
        if (x < 6)
            QVERIFY2(ink.light >= 3, qPrintable(cell));
        else
            QVERIFY2(ink.dark >= 3, qPrintable(cell));
    }

    // Without blocks the paper is white under every symbol: all of them black.
    options.mode = ChartMode::SymbolsOnly;
    const auto plain = PrintLayout::build(model, stitches, options, 200.0f, 285.0f, metrics);
    QVERIFY(plain.has_value());
    const DrawList& list = plain->drawList();
    int symbols = 0;
    for (const DrawSection& section : list.sections())
        for (std::size_t i = section.begin; section.stage == DrawStage::Symbols && i < section.end; ++i)
            if (const auto* text = std::get_if<TextOp>(&list.ops()[i])) {
                QCOMPARE(text->color, ChartLayout::kBlack);
                ++symbols;
            }
    QCOMPARE(symbols, 12 * 4);
}

void ChartPainterTest::glyphCacheMatchesDirectText()
{
    const ChartModel model = sampleModel(30, 20, 12);
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, options, metrics);
    const int w = layout.geometry().canvasWidth;
    const int h = layout.geometry().canvasHeight;

    const QImage cached = ChartPainter::renderCanvas(layout.drawList(), w, h);
    QImage direct(w, h, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter p(&direct);
        ChartPainter painter(1.0f);
        painter.setGlyphCacheEnabled(false);
        painter.paint(p, layout.drawList());
    }
    long differing = 0;
    int worst = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb a = cached.pixel(x, y);
            const QRgb b = direct.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                std::abs(qBlue(a) - qBlue(b))});
            worst = std::max(worst, d);
            differing += d > 8 ? 1 : 0;
        }
    QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ, worst by %2").arg(differing).arg(worst)));
}

void ChartPainterTest::metricsMeasureRealFonts()
{
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const FontSpec song{"宋体", 9.0f, false};
    QVERIFY(metrics.height(song) >= 10.0f && metrics.height(song) <= 24.0f);
    QVERIFY(metrics.width("我的绣图", song) > metrics.width("我的", song));
    // at 10 device pixels per mm, a 9-point line measures a few millimetres
    const ChartPainter::Metrics mm(25.4f / 72.0f, 10.0f);
    QVERIFY(mm.height(song) > 2.5f && mm.height(song) < 8.0f);
}

void ChartPainterTest::printPageAtPrinterScale()
{
    // the 200 x 285 mm page at 4 dots per mm, painted onto an image as a printer stands in; the
    // symbols are bigger than the cells on paper, so this chart has none
    ChartModel model = sampleModel(80, 80, 12);
    std::fill(model.chrIndex.begin(), model.chrIndex.end(), 0);
    StitchMatrix stitches;
    stitches.fill(makeColor(10, 120, 200));
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const float scale = 4.0f;
    const ChartPainter::Metrics metrics(25.4f / 72.0f, scale);
    const auto layout = PrintLayout::build(model, stitches, options, 200.0f, 285.0f, metrics);
    QVERIFY(layout.has_value());
    const PrintGeometry& g = layout->geometry();
    const QImage page = paintPage(*layout, scale);
    if (!qEnvironmentVariableIsEmpty("KANVO_PRINT_SAMPLE"))
        page.save(qEnvironmentVariable("KANVO_PRINT_SAMPLE"), "PNG");
    // the middle of stitch (3, 3)
    const int bx = static_cast<int>((g.gridLeft + 3.5f * g.cell) * scale);
    const int by = static_cast<int>((g.gridTop + 3.5f * g.cell) * scale);
    QCOMPARE(page.pixel(bx, by) & 0xFFFFFFu, qRgb(10, 120, 200) & 0xFFFFFFu);
    // a thick block line (2 dots) at column boundary 10
    const int lx = static_cast<int>(std::lround((g.gridLeft + 10 * g.cell) * scale));
    const int ly = static_cast<int>((g.gridTop + 2.5f * g.cell) * scale);
    bool thick = false;
    for (int x = lx - 1; x <= lx + 1; ++x)
        thick = thick || (page.pixel(x, ly) & 0xFFFFFFu) == (qRgb(66, 66, 66) & 0xFFFFFFu);
    QVERIFY(thick);
    // the footer lands below the table
    QVERIFY(g.tableBottom + 48.0f < 285.0f);
}

void ChartPainterTest::printToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("chart.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    const QRectF area = printer.pageRect(QPrinter::Millimeter);
    const float scale = static_cast<float>(printer.resolution() / 25.4);
    const ChartPainter::Metrics metrics(25.4f / 72.0f, scale);
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    StitchMatrix stitches;
    stitches.fill(makeColor(200, 80, 80));
    const auto layout = PrintLayout::build(sampleModel(40, 40, 6), stitches, options, static_cast<float>(area.width()),
        static_cast<float>(area.height()), metrics);
    QVERIFY(layout.has_value());
    {
        QPainter p(&printer);
        ChartPainter painter(scale);
        painter.paint(p, layout->drawList());
    }
    QVERIFY(QFileInfo(path).size() > 1000);
}

void ChartPainterTest::writeSample()
{
    // A chart of every kind of mark, written as a PNG (to KANVO_CHART_SAMPLE when set).
    ChartModel model = test::makeModel(
        46, 34, 14, [](int x, int y) { return ((x - 23) * (x - 23) + (y - 17) * (y - 17)) / 40 % 14 + 1; });
    for (ThreadEntry& entry : model.threadList)
        entry.color = colors_[static_cast<std::size_t>(entry.index) - 1];
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, options, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    QTemporaryDir dir;
    const QByteArray target = qgetenv("KANVO_CHART_SAMPLE");
    const QString path = target.isEmpty() ? dir.filePath("sample.png") : QString::fromLocal8Bit(target);
    QVERIFY(image.save(path, "PNG"));
}

void ChartPainterTest::strokesAndCirclesOnTheCanvas()
{
    const ColorValue red = makeColor(200, 0, 0);
    const ColorValue blue = makeColor(0, 0, 200);
    DrawList list;
    // A stroke 4 units wide along y = 20 from x = 10 to 50: rows 18..21, and its round caps reach
    // 2 units past the ends.
    list.stroke({10, 20, 50, 20}, red, 4.0f);
    // A circle of radius 10 around (60, 60) with a black edge 2 wide.
    list.circle(60, 60, 10, blue, makeColor(0, 0, 0), 2.0f);
    const QImage image = ChartPainter::renderCanvas(list, 100, 100);
    QCOMPARE(image.pixel(30, 18), rgbOf(red));
    QCOMPARE(image.pixel(30, 21), rgbOf(red));
    QCOMPARE(image.pixel(9, 20), rgbOf(red)); // inside the cap: (9.5, 20.5) is 1.6 from (10, 20)
    QCOMPARE(image.pixel(30, 24), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(5, 20), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(60, 60), rgbOf(blue));
    QVERIFY(qRed(image.pixel(60, 50)) < 80 && qBlue(image.pixel(60, 50)) < 80); // the edge at the top
    QCOMPARE(image.pixel(60, 47), qRgb(255, 255, 255));

    // At a quarter scale the stroke would be one unit wide; its least device width keeps it 2
    // pixels: (10, 20) to (50, 20) covers rows 19 and 20.
    DrawList thin;
    thin.stroke({40, 80, 200, 80}, red, 4.0f, 2.0f);
    QImage small(100, 100, QImage::Format_RGB32);
    small.fill(Qt::white);
    QPainter painter(&small);
    ChartPainter(0.25f).paint(painter, thin);
    painter.end();
    QCOMPARE(small.pixel(30, 19), rgbOf(red));
    QCOMPARE(small.pixel(30, 20), rgbOf(red));
    QCOMPARE(small.pixel(30, 22), qRgb(255, 255, 255));
}

void ChartPainterTest::backStitchInTheThreadColour()
{
    ChartModel model = sampleModel(20, 15, 5);
    // From (1, 3) to (6, 3): along the thin grid line y = gridTop + 30, two pixels wide (rows
    // gridTop + 29 and + 30), x from 50 to 100.
    model.layers.backs.push_back(BackStitch{{1, 3}, {6, 3}, 7});
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    const ChartLayout layout = ChartLayout::build(model, colors_, options, metrics);
    const QImage image = ChartPainter::renderCanvas(layout.drawList(), layout.geometry().canvasWidth,
        layout.geometry().canvasHeight);
    const int top = layout.geometry().gridTop;
    const QRgb thread = rgbOf(colors_[6]);
    for (const int x : {52, 75, 98}) {
        QCOMPARE(image.pixel(x, top + 29), thread);
        QCOMPARE(image.pixel(x, top + 30), thread);
    }
    QVERIFY(image.pixel(75, top + 33) != thread);
    QVERIFY(image.pixel(110, top + 30) != thread);
}

QTEST_MAIN(ChartPainterTest)
#include "ChartPainterTest.moc"
