#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/chart/PatternPdf.h"
#include "core/palette/SymbolSet.h"
#include "core/palette/ThreadTable.h"
#include "core/pattern/PatternLayout.h"
#include "ToolOutput.h"

using namespace kanvo;

namespace {

// A gw x gh chart whose stitch (x, y) has thread threadOf(x, y) (0: no stitch); thread t has
// symbol position t in the real symbol set.
template <typename F>
ChartModel chartOf(int gw, int gh, int threads, F threadOf)
{
    ChartModel model;
    model.gw = gw;
    model.gh = gh;
    model.colorIndex.assign(ChartModel::kMatrixSide * ChartModel::kMatrixSide, ChartModel::kNoStitch);
    for (int x = 0; x < gw; ++x)
        for (int y = 0; y < gh; ++y)
            model.colorIndex[static_cast<std::size_t>(x) * ChartModel::kMatrixSide + static_cast<std::size_t>(y)]
                = threadOf(x, y);
    model.xiuChr = loadxiuChr();
    model.chrIndex.assign(ChartModel::kThreadSlots, 0);
    for (int t = 1; t <= threads; ++t)
        model.chrIndex[static_cast<std::size_t>(t)] = t;
    model.xiutuTitle = "读回测试";
    return model;
}

const QString kPython = QStringLiteral("/usr/bin/python3");

// Prints every character of one page as "text x0 top x1 bottom" in PDF points from the top-left.
const char* const kCharBoxes = R"(
import sys
from pdfminer.high_level import extract_pages
from pdfminer.layout import LTChar
def walk(item):
    if isinstance(item, LTChar):
        yield item
    elif hasattr(item, '__iter__'):
        for child in item:
            yield from walk(child)
for page in extract_pages(sys.argv[1], page_numbers=[int(sys.argv[2]) - 1]):
    for c in walk(page):
        if c.get_text().strip():
            print(c.get_text(), c.x0, page.height - c.y1, c.x1, page.height - c.y0)
)";

// One character read back from a PDF page, its box in millimetres.
struct Glyph {
    QString text;
    double left, top, right, bottom;
};

std::vector<Glyph> glyphsOfPage(const QString& pdf, int page)
{
    const QString out = runTool(kPython, {"-c", kCharBoxes, pdf, QString::number(page)}).value_or(QString());
    std::vector<Glyph> glyphs;
    const double mm = 25.4 / 72.0;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() == 5)
            glyphs.push_back(Glyph{f[0], f[1].toDouble() * mm, f[2].toDouble() * mm, f[3].toDouble() * mm, f[4].toDouble() * mm});
    }
    return glyphs;
}

} // namespace

class PatternPdfTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void symbolsReadBackOnePerStitchInTheirCells_data();
    void symbolsReadBackOnePerStitchInTheirCells();
    void everySymbolHasItsOwnGlyph();
    void stoppedExportLeavesTheOldFile();
    void keyListsBackStitchLengthAndPagesStayVector();

private:
    QTemporaryDir dir_;
};

void PatternPdfTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        QSKIP("pdftotext and pdffonts (poppler-utils) are not installed");
    if (!runTool(kPython, {"-c", "import pdfminer.high_level"}))
        QSKIP("pdfminer (python3-pdfminer) is not installed");
}

void PatternPdfTest::symbolsReadBackOnePerStitchInTheirCells_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("firstThread");
    QTest::newRow("tint, Latin symbols") << static_cast<int>(PatternStyle::Tint) << 1;
    // Threads 70..: "X", "Y", "Z", "&", "[", "]", then Chinese symbols from "人".
    QTest::newRow("full colour, Latin and Chinese") << static_cast<int>(PatternStyle::FullColour) << 70;
}

// A 12 x 9 chart of 12 threads in diagonal stripes with a hole of unstitched cells, on one chart
// page of 6 mm cells: the text of that page, read back with pdftotext, is exactly one symbol per
// stitch, each centred in its own cell, and nothing in the hole.
void PatternPdfTest::symbolsReadBackOnePerStitchInTheirCells()
{
    QFETCH(int, style);
    QFETCH(int, firstThread);
    const int gw = 12;
    const int gh = 9;
    const auto threadOf = [&](int x, int y) {
        if (x >= 4 && x < 7 && y >= 3 && y < 5)
            return int(ChartModel::kNoStitch);
        return firstThread + (x + y) % 12;
    };
    const ChartModel model = chartOf(gw, gh, firstThread + 11, threadOf);
    ThreadTable table;
    table.loadColor();
    PatternOptions options;
    options.style = static_cast<PatternStyle>(style);
    options.cellMm = 6.0f;
    const PatternLayout layout = PatternLayout::build(model, table, options);
    QCOMPARE(layout.paging().pages.size(), std::size_t(1));
    const QString pdf = dir_.filePath(QStringLiteral("pattern-%1.pdf").arg(firstThread));
    PatternPdf writer;
    QCOMPARE(writer.write(layout, pdf), PatternPdf::Result::Written);

    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
    // Every font is embedded, with a map back to Unicode.
    const QStringList fonts = runTool(QStringLiteral("pdffonts"), {pdf}).value_or(QString()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(fonts.size() >= 3);
    for (const QString& line : fonts.mid(2)) {
        const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
        QVERIFY2(fields.size() >= 5 && fields[fields.size() - 5] == "yes" && fields[fields.size() - 3] == "yes",
            qPrintable(line));
    }

    const PatternGeometry& g = layout.geometry();
    int stitches = 0;
    QString expectedText;
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
            if (threadOf(x, y) != ChartModel::kNoStitch)
                expectedText += QString::fromStdString(std::string(model.symbolOf(threadOf(x, y))));
    QSet<int> cells;
    for (const Glyph& w : glyphsOfPage(pdf, 3)) {
        const double cx = (w.left + w.right) / 2.0;
        const double cy = (w.top + w.bottom) / 2.0;
        if (cx < g.gridLeft || cy < g.gridTop || cx > g.gridLeft + gw * g.cell || cy > g.gridTop + gh * g.cell)
            continue;
        const int x = static_cast<int>((cx - g.gridLeft) / g.cell);
        const int y = static_cast<int>((cy - g.gridTop) / g.cell);
        const QString where = QStringLiteral("%1 at %2,%3").arg(w.text).arg(x).arg(y);
        QVERIFY2(threadOf(x, y) != ChartModel::kNoStitch, qPrintable(where));
        const std::string_view symbol = model.symbolOf(threadOf(x, y));
        QCOMPARE(w.text, QString::fromUtf8(symbol.data(), static_cast<int>(symbol.size())));
        QVERIFY2(!cells.contains(y * gw + x), qPrintable(where));
        cells.insert(y * gw + x);
        // Centred: the word's middle within a sixth of a cell of the cell's middle.
        QVERIFY2(std::abs(cx - (g.gridLeft + (x + 0.5) * g.cell)) < g.cell / 6, qPrintable(where));
        QVERIFY2(std::abs(cy - (g.gridTop + (y + 0.5) * g.cell)) < g.cell / 6, qPrintable(where));
        ++stitches;
    }
    QCOMPARE(stitches, gw * gh - 6);
    // pdftotext finds the same characters in the grid and nothing else, however it joins them
    // into words.
    const QString bbox = runTool(QStringLiteral("pdftotext"), {"-bbox", "-f", "3", "-l", "3", pdf, "-"}).value_or(QString());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QString gridText;
    for (auto it = word.globalMatch(bbox); it.hasNext();) {
        const auto m = it.next();
        const double mm = 25.4 / 72.0;
        const double cx = (m.captured(1).toDouble() + m.captured(3).toDouble()) / 2.0 * mm;
        const double cy = (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2.0 * mm;
        if (cx > g.gridLeft && cy > g.gridTop && cx < g.gridLeft + gw * g.cell && cy < g.gridTop + gh * g.cell)
            gridText += m.captured(5).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    auto sorted = [](QString text) {
        std::sort(text.begin(), text.end());
        return text;
    };
    QCOMPARE(sorted(gridText), sorted(expectedText));

}

// Every distinct symbol of the set maps to a glyph of its own in the pattern's font.
void PatternPdfTest::everySymbolHasItsOwnGlyph()
{
    QFont font(QString::fromUtf8(PatternLayout::kFontFamily));
    font.setPixelSize(40);
    const QRawFont raw = QRawFont::fromFont(font);
    QVERIFY(raw.isValid());
    QVERIFY2(raw.familyName().contains(QStringLiteral("WenQuanYi")), qPrintable(raw.familyName()));
    QSet<QString> symbols;
    for (const std::string& s : loadxiuChr())
        symbols.insert(QString::fromStdString(s));
    QCOMPARE(symbols.size(), 230); // 241 less the 11 repeated Chinese characters
    QSet<quint32> glyphs;
    for (const QString& s : symbols) {
        const QList<quint32> ids = raw.glyphIndexesForString(s);
        QCOMPARE(ids.size(), 1);
        QVERIFY2(ids[0] != 0, qPrintable(s));
        glyphs.insert(ids[0]);
    }
    QCOMPARE(glyphs.size(), symbols.size());
}

void PatternPdfTest::stoppedExportLeavesTheOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old pattern");
    }
    ThreadTable table;
    table.loadColor();
    const PatternLayout layout = PatternLayout::build(chartOf(100, 100, 5, [](int x, int) { return 1 + x % 5; }),
        table, PatternOptions{});
    PatternPdf writer;
    int sections = 0;
    writer.progress = [&](int done, int) { sections = done; };
    writer.stopRequested = [&] { return sections >= 20; };
    QCOMPARE(writer.write(layout, pdf), PatternPdf::Result::Stopped);
    QCOMPARE(sections, 20);
    QFile kept(pdf);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old pattern"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.pdf")});
}

// Back stitches of thread 5 along 10 cell sides on 14 CT fabric: 10 x 2.54 / 14 = 1.814 cm,
// printed with one decimal. Every page is drawn without a single picture.
void PatternPdfTest::keyListsBackStitchLengthAndPagesStayVector()
{
    ChartModel model = chartOf(12, 9, 4, [](int x, int y) { return 1 + (x + y) % 4; });
    model.chrIndex[5] = 5;
    model.layers.backs = {BackStitch{{0, 0}, {6, 0}, 5}, BackStitch{{6, 0}, {6, 4}, 5}};
    model.layers.parts = {PartStitch{3, 3, kHalfSlash, 2}};
    model.layers.ornaments = {Ornament{{2, 2}, OrnamentKind::Knot, 5}};
    ThreadTable table;
    table.loadColor();
    PatternOptions options;
    options.cellMm = 6.0f;
    const PatternLayout layout = PatternLayout::build(model, table, options);
    const QString pdf = dir_.filePath(QStringLiteral("layers.pdf"));
    PatternPdf writer;
    QCOMPARE(writer.write(layout, pdf), PatternPdf::Result::Written);

    const QString key = runTool(QStringLiteral("pdftotext"), {"-f", "2", "-l", "2", pdf, "-"}).value_or(QString());
    const QString number = QStringLiteral("DMC %1").arg(table.dmc(5).cindex);
    QVERIFY2(key.contains(QStringLiteral("回针")), qPrintable(key));
    QVERIFY2(key.contains(QStringLiteral("1.8 cm")), qPrintable(key));
    QVERIFY2(key.count(number) == 2, qPrintable(key)); // its back stitches and its knot
    QVERIFY2(key.contains(QStringLiteral("法式结")), qPrintable(key));
    const QString images = runTool(QStringLiteral("pdfimages"), {"-list", pdf}).value_or(QStringLiteral("missing"));
    QCOMPARE(images.split('\n', Qt::SkipEmptyParts).size(), 2); // the two header lines only
}

QTEST_MAIN(PatternPdfTest)
#include "PatternPdfTest.moc"
