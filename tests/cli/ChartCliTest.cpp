// kanvo-cli chart, run as a separate process, against the program's own windows driven in this
// process: the same picture and settings must give the very same saved chart and legend.

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordingMessageBoxes.h"
#include "ToolOutput.h"
#include "app/chart/ChartPrinter.h"
#include "app/chart/ChartWindow.h"
#include "app/platform/FontSubstitutions.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/chart/ChartMode.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/workspace/RunState.h"

using namespace kanvo;

namespace {

// Table colours the legend test builds on: entry 34 is thread 310, entry 1 thread 150,
// entry 452 thread 5200.
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kThread150 = qRgb(0xAB, 0x02, 0x49);
const QRgb kWhite = qRgb(255, 255, 255);

// The settings of one chart, as the windows take them.
struct Settings {
    std::optional<int> width;
    std::optional<int> height;
    bool whole = false;
    std::optional<int> zoom;
    QString method = QStringLiteral("216");
    int colorBit = 16;
    int strength = 0;
    int rare = 5;
    ChartMode mode = ChartMode::SymbolsOnly;
    int blockW = 10;
    int blockH = 10;
    QString title;
};

QString modeName(ChartMode mode)
{
    switch (mode) {
    case ChartMode::BlocksAndSymbols: return QStringLiteral("both");
    case ChartMode::BlocksOnly: return QStringLiteral("blocks");
    case ChartMode::SymbolsOnly: break;
    }
    return QStringLiteral("symbols");
}

QStringList cliArgs(const Settings& s)
{
    QStringList args;
    if (s.width)
        args << "--width" << QString::number(*s.width);
    if (s.height)
        args << "--height" << QString::number(*s.height);
    if (s.whole)
        args << "--whole";
    if (s.zoom)
        args << "--zoom" << QString::number(*s.zoom);
    args << "--method" << s.method << "--merge" << QString::number(s.strength) << "--rare" << QString::number(s.rare)
         << "--mode" << modeName(s.mode) << "--block" << QString::number(s.blockW) << QString::number(s.blockH);
    if (!s.title.isEmpty())
        args << "--title" << s.title;
    return args;
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KANVO_CLI), args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint32 le32(const QByteArray& b, int at)
{
    return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24);
}

// 40 x 20: ten black columns, then white, with four pixels of thread 150 in the top row.
QImage exactPicture()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(kWhite);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, kBlack);
    for (int x = 15; x < 19; ++x)
        image.setPixel(x, 0, kThread150);
    return image;
}

// 40 x 20 of five table colours: columns in bands of ten of threads 310, 150, 699 and 797
// above four rows of thread 5200.
QImage bandsPicture()
{
    const QRgb bands[] = {kBlack, kThread150, qRgb(0x00, 0x5B, 0x23), qRgb(0x23, 0x3F, 0x8B)};
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, y < 16 ? bands[x / 10] : kWhite);
    return image;
}

// n copies of field, comma-separated.
QString repeated(const QString& field, int n)
{
    QStringList fields;
    for (int i = 0; i < n; ++i)
        fields << field;
    return fields.join(',');
}

// 400 x 200: black, thread 150 and white in three vertical bands.
QImage widePicture()
{
    QImage image(400, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            image.setPixel(x, y, x < 100 ? kBlack : x < 200 ? kThread150 : kWhite);
    return image;
}

// 300 x 260 of smooth colour, a photograph's worth of shades.
QImage photoPicture()
{
    QImage image(300, 260, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 255) / 299, (y * 255) / 259, ((x + y) * 3) % 256));
    return image;
}

} // namespace

Q_DECLARE_METATYPE(Settings)

class ChartCliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void bitmapEqualsWindowSave_data();
    void bitmapEqualsWindowSave();
    void pdfEqualsWindowPrint();
    void pngHoldsTheCanvas();
    void legendOfExactThreads_data();
    void legendOfExactThreads();
    void patternKeyListsEveryThread();
    void fittingSetsTheGrid_data();
    void fittingSetsTheGrid();
    void badArgumentsFail_data();
    void badArgumentsFail();
    void gridOfExactColours_data();
    void gridOfExactColours();
    void threadMethodKeepsItsBudget();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void unwritableOutputWritesNothing_data();
    void unwritableOutputWritesNothing();
    void projectFileIsReadAsItsChart();
    void projectLayersSurviveTheCommandLine();
    void paddingHoldsNoStitch();
    void englishPatternTexts();
    void languageMustBeZhOrEn_data();
    void languageMustBeZhOrEn();

private:
    // The window's chart: the picture as the start-up picture, the settings, "效果预览->",
    // "生成", "生成", then "保存" to bmp (and "打印" to pdf when given). Returns the chart window's
    // model legend as CSV.
    QString windowChart(const QString& picture, const Settings& settings, const QString& bmp,
        const QString& pdf = QString());
    QString picturePath(const QString& name) const;

    QTemporaryDir* folder = nullptr;
    QString previousFolder;
    RecordingMessageBoxes boxes;
};

void ChartCliTest::initTestCase()
{
    // The program's own fonts, as its start-up sets them up (the command does the same).
    installFontSubstitutions();
    (void)loadFontAliasFile();
    qRegisterMetaType<Settings>();
}

void ChartCliTest::init()
{
    folder = new QTemporaryDir;
    QVERIFY(folder->isValid());
    previousFolder = QDir::currentPath();
    QVERIFY(exactPicture().save(folder->filePath("exact.bmp"), "BMP"));
    QVERIFY(exactPicture().save(folder->filePath("exact.png"), "PNG"));
    QVERIFY(bandsPicture().save(folder->filePath("bands.bmp"), "BMP"));
    QVERIFY(widePicture().save(folder->filePath("wide.bmp"), "BMP"));
    QVERIFY(photoPicture().save(folder->filePath("photo.jpg"), "JPEG", 90));
    boxes = RecordingMessageBoxes();
    MessageBoxes::setCurrent(&boxes);
}

void ChartCliTest::cleanup()
{
    MessageBoxes::setCurrent(nullptr);
    QDir::setCurrent(previousFolder);
    delete folder;
}

QString ChartCliTest::picturePath(const QString& name) const
{
    if (name == QLatin1String("logo.dll"))
        return QStringLiteral(KANVO_ASSETS_DIR "/logo.dll");
    if (name == QLatin1String("photo.gif")) {
        // Qt writes no GIF; ImageMagick makes one from the JPEG.
        const QString gif = folder->filePath(name);
        if (!QFile::exists(gif) && !runTool(QStringLiteral("convert"), {folder->filePath("photo.jpg"), gif}))
            return QString();
        return gif;
    }
    return folder->filePath(name);
}

QString ChartCliTest::windowChart(const QString& picture, const Settings& s, const QString& bmp, const QString& pdf)
{
    // The main window loads "logo.dll" from its working folder first.
    QTemporaryDir work;
    if (!work.isValid() || !QFile::copy(picture, work.filePath("logo.dll")) || !QDir::setCurrent(work.path()))
        return QStringLiteral("no working folder");
    RunState state;
    WindowHub hub;
    MainWindow window(state, hub);
    connectWindows(window, hub);
    window.load();
    window.show();
    if (s.width)
        window.findChild<QScrollBar*>(QStringLiteral("wChange"))->setValue(*s.width);
    if (s.height)
        window.findChild<QScrollBar*>(QStringLiteral("hChange"))->setValue(*s.height);
    if (s.whole)
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command11")), Qt::LeftButton);
    if (s.zoom)
        window.findChild<QScrollBar*>(QStringLiteral("zoom"))->setValue(*s.zoom);
    // what the chart settings window's OK writes
    state.chart.xiutuTitle = s.title.toStdString();
    state.ColorBit = s.colorBit;
    state.blockW = s.blockW;
    state.blockH = s.blockH;
    state.mergeTol = s.strength * 20;
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    window.generateChart();
    auto* chart = window.findChild<ChartWindow*>();
    if (chart == nullptr)
        return QStringLiteral("no chart window");
    chart->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentText(QString::fromUtf8(chartModeText(s.mode).data()));
    chart->findChild<QComboBox*>(QStringLiteral("Combo2"))->setEditText(QString::number(s.rare));
    QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    if (!state.chart.chartReady || !chart->saveChartTo(bmp))
        return QStringLiteral("no chart saved");
    if (!pdf.isEmpty()) {
        chart->printer().choosePrinter = [&](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPageSize(QPageSize(QPageSize::A4));
            return true;
        };
        chart->printer().choosePrintKind = [](float) { return ChartPrinter::PrintChoice{}; }; // one page
        chart->printChart();
    }
    QString csv = QStringLiteral("symbol,thread,count\n");
    for (const ThreadEntry& e : state.chart.threadList)
        csv += QStringLiteral("%1,%2,%3\n")
                   .arg(QString::fromUtf8(state.chart.symbolOf(e.index).data(),
                       static_cast<int>(state.chart.symbolOf(e.index).size())))
                   .arg(loadedThreadTable().dmc(e.index).cindex)
                   .arg(e.count);
    QDir::setCurrent(folder->path());
    return csv;
}

void ChartCliTest::bitmapEqualsWindowSave_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<Settings>("settings");
    Settings s;
    QTest::newRow("start-up picture, window defaults") << "logo.dll" << s;
    s.mode = ChartMode::BlocksAndSymbols;
    s.strength = 50;
    s.rare = 0;
    s.blockW = 8;
    s.blockH = 12;
    s.title = QStringLiteral("小猫 绣图");
    QTest::newRow("start-up picture, blocks and symbols, merged, own blocks and title") << "logo.dll" << s;
    s = Settings();
    s.width = 60;
    s.height = 40;
    s.method = QStringLiteral("3bit");
    s.colorBit = 3;
    s.mode = ChartMode::BlocksOnly;
    QTest::newRow("jpeg, 60 x 40, 8 colours, blocks only") << "photo.jpg" << s;
    s = Settings();
    s.whole = true;
    s.method = QStringLiteral("高清黑白图片");
    s.colorBit = 4;
    QTest::newRow("bmp, whole picture, 16 greys by the settings text") << "wide.bmp" << s;
    s = Settings();
    s.whole = true;
    s.zoom = 200;
    s.method = QStringLiteral("2bit");
    s.colorBit = 2;
    s.mode = ChartMode::BlocksAndSymbols;
    QTest::newRow("bmp, whole picture zoomed to 200, 4 greys") << "wide.bmp" << s;
    s = Settings();
    s.zoom = 150;
    s.method = QStringLiteral("8bit");
    s.colorBit = 8;
    QTest::newRow("gif, part of the picture zoomed to 150, 256 colours") << "photo.gif" << s;
    s = Settings();
    s.method = QStringLiteral("none");
    s.colorBit = 0;
    s.rare = 0;
    QTest::newRow("exact thread colours, no reduction") << "exact.bmp" << s;
    s = Settings();
    s.method = QStringLiteral("1bit");
    s.colorBit = 1;
    s.height = 16;
    QTest::newRow("jpeg, black and white, lowest grid") << "photo.jpg" << s;
}

void ChartCliTest::bitmapEqualsWindowSave()
{
    QFETCH(QString, picture);
    QFETCH(Settings, settings);
    const QString input = picturePath(picture);
    if (input.isEmpty())
        QSKIP("ImageMagick's convert is needed to make the GIF");
    const QString cliBmp = folder->filePath("cli.bmp");
    const QString cliCsv = folder->filePath("cli.csv");
    const Run r = runCli(QStringList{"chart", input, "-o", cliBmp, "--legend", cliCsv} + cliArgs(settings));
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.err, QString());

    const QString windowBmp = folder->filePath("window.bmp");
    const QString windowCsv = windowChart(input, settings, windowBmp);
    QCOMPARE(boxes.texts.value(0), QStringLiteral("  绣图文件保存成功在") + windowBmp);

    const QByteArray cli = fileBytes(cliBmp);
    const QByteArray win = fileBytes(windowBmp);
    QVERIFY(cli.size() > 54);
    QCOMPARE(cli.size(), win.size());
    QVERIFY2(cli == win, "the command's bitmap differs from the window's");
    QCOMPARE(QString::fromUtf8(fileBytes(cliCsv)), windowCsv);
}

void ChartCliTest::pdfEqualsWindowPrint()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    Settings s;
    s.mode = ChartMode::BlocksAndSymbols;
    s.title = QStringLiteral("打印测试");
    const QString input = picturePath("logo.dll");
    const QString cliPdf = folder->filePath("cli.pdf");
    const Run r = runCli(QStringList{"chart", input, "-o", cliPdf} + cliArgs(s));
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString windowPdf = folder->filePath("window.pdf");
    (void)windowChart(input, s, folder->filePath("window.bmp"), windowPdf);
    QVERIFY(QFile::exists(windowPdf));
    // no temporary file is left beside the document
    QCOMPARE(QDir(folder->path()).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden), QStringList());

    const QString info = runTool(QStringLiteral("pdfinfo"), {cliPdf}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("打印测试")), qPrintable(info));
    // The pages look the same, pixel for pixel.
    QVERIFY(runTool(QStringLiteral("pdftoppm"), {"-r", "72", "-png", "-singlefile", cliPdf, folder->filePath("cli")}));
    QVERIFY(runTool(QStringLiteral("pdftoppm"), {"-r", "72", "-png", "-singlefile", windowPdf, folder->filePath("window")}));
    const QImage a(folder->filePath("cli.png"));
    const QImage b(folder->filePath("window.png"));
    QVERIFY(!a.isNull());
    QCOMPARE(a.size(), QSize(595, 842));
    QVERIFY(a == b);
}

void ChartCliTest::pngHoldsTheCanvas()
{
    const QString input = picturePath("exact.bmp");
    const QString png = folder->filePath("chart.png");
    const QString bmp = folder->filePath("chart.bmp");
    QCOMPARE(runCli({"chart", input, "-o", png, "--method", "none"}).exitCode, 0);
    QCOMPARE(runCli({"chart", input, "-o", bmp, "--method", "none"}).exitCode, 0);
    const QByteArray head = fileBytes(png).left(8);
    QCOMPARE(head, QByteArray("\x89PNG\r\n\x1a\n", 8));
    const QImage fromPng(png, "PNG");
    const QImage fromBmp(bmp, "BMP");
    // 117 stitches: 10 x 117 + 83 pixels wide
    QCOMPARE(fromPng.width(), 1253);
    QCOMPARE(fromPng.convertToFormat(QImage::Format_RGB32), fromBmp.convertToFormat(QImage::Format_RGB32));
    // the same resolution as the saved bitmap: round(1253 x 2834 / 570) or the height's share
    const QByteArray b = fileBytes(bmp);
    QCOMPARE(fromPng.dotsPerMeterX(), le32(b, 38));
    const double d = std::max(std::nearbyint(1253 * 2834.0 / 570), std::nearbyint(fromBmp.height() * 2125.5 / 570));
    QCOMPARE(le32(b, 38), static_cast<qint32>(d));
    QCOMPARE(le32(b, 42), static_cast<qint32>(d));
}

void ChartCliTest::legendOfExactThreads_data()
{
    QTest::addColumn<QString>("rare");
    QTest::addColumn<QString>("expected");
    // Grid 117 x 20 at natural size; the 77 columns beyond the 40-pixel picture hold no stitch.
    // First stitches row by row: 310 at (0,0), 5200 at (10,0), 150 at (15,0): symbols a, b, c in
    // that order. 310: 10 x 20 = 200; 150: 4; 5200: 40 x 20 - 204 = 596.
    QTest::newRow("default threshold 5 drops thread 150; the symbols keep their places")
        << "5" << "symbol,thread,count\na,310,200\nb,5200,596\n";
    QTest::newRow("threshold 0 lists every thread")
        << "0" << "symbol,thread,count\na,310,200\nb,5200,596\nc,150,4\n";
    QTest::newRow("threshold 201 keeps only white") << "201" << "symbol,thread,count\nb,5200,596\n";
}

void ChartCliTest::legendOfExactThreads()
{
    QFETCH(QString, rare);
    QFETCH(QString, expected);
    const QString csv = folder->filePath("legend.csv");
    const Run r = runCli({"chart", picturePath("exact.bmp"), "-o", folder->filePath("c.bmp"), "--method", "none",
        "--rare", rare, "--legend", csv});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(QString::fromUtf8(fileBytes(csv)), expected);
}

// One run writes the chart, the legend and the pattern of the same chart. The legend's rare
// threshold leaves thread 150 out; the pattern's key lists it all the same, in symbol order:
// symbol, thread number, stitches, skeins (200, 2136 and 4 stitches each take one skein).
void ChartCliTest::patternKeyListsEveryThread()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString csv = folder->filePath("legend.csv");
    const QString pdf = folder->filePath("pattern.pdf");
    const QString bmp = folder->filePath("c.bmp");
    const Run r = runCli({"chart", picturePath("exact.bmp"), "-o", bmp, "--method", "none", "--legend", csv,
        "--pattern", pdf, "--paper", "Letter", "--fabric", "18", "--cell-mm", "4", "--overlap", "3"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(QFile::exists(bmp));
    QCOMPARE(QString::fromUtf8(fileBytes(csv)), QStringLiteral("symbol,thread,count\na,310,200\nb,5200,596\n"));

    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    QVERIFY2(info.contains(QStringLiteral("(letter)")), qPrintable(info));
    const QString cover = runTool(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", pdf, "-"}).value_or(QString());
    QVERIFY2(cover.contains(QStringLiteral("尺寸：117 × 20 针")), qPrintable(cover));
    // 117 / 18 inches = 16.5 cm, 20 / 18 inches = 2.8 cm
    QVERIFY2(cover.contains(QStringLiteral("在 18 CT 绣布上：16.5 × 2.8 cm（6.5 × 1.1 英寸）")), qPrintable(cover));
    QVERIFY2(cover.contains(QStringLiteral("绣线：3 种")) && cover.contains(QStringLiteral("针数：800")), qPrintable(cover));
    const QString key = runTool(QStringLiteral("pdftotext"), {"-layout", "-f", "2", "-l", "2", pdf, "-"}).value_or(QString());
    const QRegularExpression rows(QStringLiteral(
        "a\\s+DMC 310\\s+200\\s+1\\s*\\n[^\\n]*b\\s+DMC 5200\\s+596\\s+1\\s*\\n[^\\n]*c\\s+DMC 150\\s+4\\s+1\\s*\\n"));
    QVERIFY2(key.contains(rows), qPrintable(key));
}

void ChartCliTest::fittingSetsTheGrid_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("gw");
    QTest::addColumn<int>("gh");
    // wide.bmp is 400 x 200 (height / width 0.5); exact.bmp 40 x 20.
    QTest::newRow("part mode: width 117, the picture's height") << "wide.bmp" << QStringList{} << 117 << 200;
    QTest::newRow("part mode, small picture: height 20") << "exact.bmp" << QStringList{} << 117 << 20;
    QTest::newRow("--width --height") << "wide.bmp" << QStringList{"--width", "30", "--height", "16"} << 30 << 16;
    QTest::newRow("the main window's largest grid") << "wide.bmp" << QStringList{"--width", "230", "--height", "250"} << 230 << 250;
    // Past the main window's bars the grid may grow to the largest chart.
    QTest::newRow("the largest chart") << "wide.bmp" << QStringList{"--width", "320", "--height", "320"} << 320 << 320;
    QTest::newRow("a wide grid keeps the fitted height") << "wide.bmp" << QStringList{"--width", "300"} << 300 << 200;
    QTest::newRow("a tall grid keeps the width 117") << "wide.bmp" << QStringList{"--height", "251"} << 117 << 251;
    // whole mode: the grid takes 117 x 117 x 0.5 = 58.5, rounded half to even
    QTest::newRow("--whole") << "wide.bmp" << QStringList{"--whole"} << 117 << 58;
    QTest::newRow("--whole --zoom 200") << "wide.bmp" << QStringList{"--whole", "--zoom", "200"} << 200 << 100;
    QTest::newRow("--whole --zoom 33: height 16.5 to 16") << "wide.bmp" << QStringList{"--whole", "--zoom", "33"} << 33 << 16;
    // 40 pixels wide: the zoom bar cannot take the grid of 117, so "全图" leaves it; zoom 36 fits
    QTest::newRow("--whole --zoom 36 on a small picture") << "exact.bmp" << QStringList{"--whole", "--zoom", "36"} << 36 << 18;
    QTest::newRow("--zoom in part mode keeps the grid") << "wide.bmp" << QStringList{"--zoom", "250"} << 117 << 200;
}

void ChartCliTest::fittingSetsTheGrid()
{
    QFETCH(QString, picture);
    QFETCH(QStringList, args);
    QFETCH(int, gw);
    QFETCH(int, gh);
    const QString bmp = folder->filePath("fit.bmp");
    const QString csv = folder->filePath("fit.csv");
    const Run r = runCli(QStringList{"chart", picturePath(picture), "-o", bmp, "--method", "none", "--rare", "0",
        "--legend", csv} + args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QByteArray b = fileBytes(bmp);
    QVERIFY(b.size() > 54);
    // As wide as the grid; a grid narrower than 60 stitches may be widened for the notes below it.
    if (gw >= 60)
        QCOMPARE(le32(b, 18), 10 * gw + 83);
    else
        QVERIFY(le32(b, 18) >= 10 * gw + 83);
    // Every stitch is counted once in the legend; cells of a grid reaching past the picture hold
    // none.
    int total = 0;
    const QStringList lines = QString::fromUtf8(fileBytes(csv)).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1))
        total += line.section(',', 2).toInt();
    QVERIFY2(total > 0 && total <= gw * gh, qPrintable(QString::number(total)));
    // Height 10 gh + 14 x 3 B + 260, B bands of P - 1 threads, P = (10 gw) div 38 - 1 (at least 2).
    const int threads = static_cast<int>(lines.size()) - 1;
    const int perBand = std::max(10 * gw / 38 - 1, 2) - 1;
    const int bands = (threads + perBand - 1) / perBand;
    QCOMPARE(le32(b, 22), 10 * gh + 14 * 3 * bands + 260);
}

void ChartCliTest::badArgumentsFail_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString in = QStringLiteral("@in");
    const QString out = QStringLiteral("@out");
    QTest::newRow("unknown option") << QStringList{"chart", in, "-o", out, "--colour"} << "unknown option \"--colour\"";
    QTest::newRow("width not a number") << QStringList{"chart", in, "-o", out, "--width", "12x"}
                                        << "--width needs a whole number from 16 to 320, not \"12x\"";
    QTest::newRow("width too small") << QStringList{"chart", in, "-o", out, "--width", "15"} << "--width needs";
    QTest::newRow("height too large") << QStringList{"chart", in, "-o", out, "--height", "321"} << "--height needs";
    QTest::newRow("merge negative") << QStringList{"chart", in, "-o", out, "--merge", "-1"} << "--merge needs";
    QTest::newRow("rare beyond 16 bits") << QStringList{"chart", in, "-o", out, "--rare", "40000"} << "--rare needs";
    QTest::newRow("block with one value") << QStringList{"chart", in, "-o", out, "--block", "8"}
                                          << "option --block needs two values";
    QTest::newRow("block zero") << QStringList{"chart", in, "-o", out, "--block", "0", "10"} << "--block needs";
    QTest::newRow("unknown method") << QStringList{"chart", in, "-o", out, "--method", "16bit"} << "unknown method";
    QTest::newRow("unknown mode") << QStringList{"chart", in, "-o", out, "--mode", "colour"} << "unknown mode";
    QTest::newRow("value missing") << QStringList{"chart", in, "-o", out, "--title"} << "option --title needs a value";
    QTest::newRow("nothing to write") << QStringList{"chart", in} << "nothing to write";
    QTest::newRow("empty output name") << QStringList{"chart", in, "-o", ""} << "option -o needs a file name";
    QTest::newRow("unknown paper") << QStringList{"chart", in, "-o", out, "--pattern", "p.pdf", "--paper", "A5"}
                                   << "unknown paper \"A5\" (use A4 or Letter)";
    QTest::newRow("fabric too fine") << QStringList{"chart", in, "--pattern", "p.pdf", "--fabric", "41"} << "--fabric needs";
    QTest::newRow("cell too small") << QStringList{"chart", in, "--pattern", "p.pdf", "--cell-mm", "1.4"}
                                    << "--cell-mm needs a cell side in millimetres from 1.5 to 10, not \"1.4\"";
    QTest::newRow("cell not a number") << QStringList{"chart", in, "--pattern", "p.pdf", "--cell-mm", "3mm"} << "--cell-mm needs";
    QTest::newRow("overlap too large") << QStringList{"chart", in, "--pattern", "p.pdf", "--overlap", "11"} << "--overlap needs";
    QTest::newRow("pattern without a name") << QStringList{"chart", in, "--pattern"} << "option --pattern needs a value";
    QTest::newRow("no input") << QStringList{"chart", "-o", out} << "missing input picture";
    QTest::newRow("unknown output format") << QStringList{"chart", in, "-o", "chart.jpg"} << "name it .bmp, .png, .pdf or .oxs";
    QTest::newRow("missing input file") << QStringList{"chart", "@missing", "-o", out} << "cannot read";
    QTest::newRow("input not a picture") << QStringList{"chart", "@text", "-o", out}
                                         << "the file is not a BMP, JPEG, GIF or PNG picture";
    QTest::newRow("zoom beyond the picture") << QStringList{"chart", in, "-o", out, "--whole", "--zoom", "41"}
                                             << "zoom 41 lies outside this picture's zoom range 32 to 40";
    QTest::newRow("threads too few") << QStringList{"chart", in, "-o", out, "--threads", "1"}
                                     << "--threads needs a whole number from 2 to 120, not \"1\"";
    QTest::newRow("threads too many") << QStringList{"chart", in, "-o", out, "--threads", "121"} << "--threads needs";
    QTest::newRow("dither above 100") << QStringList{"chart", in, "-o", out, "--dither", "101"}
                                      << "--dither needs a whole number from 0 to 100";
    QTest::newRow("cleanup too large") << QStringList{"chart", in, "-o", out, "--cleanup", "51"}
                                       << "--cleanup needs a whole number from 0 to 50";
    QTest::newRow("background not a number") << QStringList{"chart", in, "-o", out, "--background", "white"}
                                              << "--background needs a colour difference (CIEDE2000) from 0 to 100";
    QTest::newRow("background above 100") << QStringList{"chart", in, "-o", out, "--background", "101"}
                                          << "--background needs";
    QTest::newRow("grid without a name") << QStringList{"chart", in, "-o", out, "--grid", ""}
                                         << "option --grid needs a file name";
    QTest::newRow("too many colours") << QStringList{"chart", "@photo", "-o", out, "--method", "none"}
                                      << "too many colours: the grid holds more than 500 distinct colours";
    // Pictures the decoders would read only in part are refused, not charted half grey.
    QTest::newRow("jpeg cut in half") << QStringList{"chart", "@cut:photo.jpg", "-o", out}
                                      << "the picture cannot be decoded";
    QTest::newRow("bmp cut in half") << QStringList{"chart", "@cut:exact.bmp", "-o", out}
                                     << "the picture cannot be decoded";
    QTest::newRow("png cut in half") << QStringList{"chart", "@cut:exact.png", "-o", out}
                                     << "the picture cannot be decoded";
}

void ChartCliTest::badArgumentsFail()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const QString out = folder->filePath("out.bmp");
    const QString text = folder->filePath("notes.bmp");
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture\n");
    }
    for (QString& a : args) {
        if (a == "@in")
            a = picturePath("exact.bmp");
        else if (a == "@out")
            a = out;
        else if (a == "@missing")
            a = folder->filePath("missing.bmp");
        else if (a == "@text")
            a = text;
        else if (a == "@photo")
            a = picturePath("photo.jpg");
        else if (a.startsWith(QStringLiteral("@cut:"))) {
            const QString name = a.mid(5);
            QFile whole(picturePath(name));
            QVERIFY(whole.open(QIODevice::ReadOnly));
            a = folder->filePath(QStringLiteral("cut-") + name);
            QFile cut(a);
            QVERIFY(cut.open(QIODevice::WriteOnly));
            cut.write(whole.readAll().chopped(static_cast<int>(whole.size() / 2)));
        }
    }
    const Run r = runCli(args);
    QCOMPARE(r.exitCode, 2);
    // one line naming the command; a command line it cannot run adds where to look
    QVERIFY2(r.err.startsWith(QStringLiteral("kanvo-cli chart: ")), qPrintable(r.err));
    const QStringList lines = r.err.split('\n');
    QVERIFY2(lines.first().contains(message), qPrintable(r.err));
    static const QStringList kRunFailures{"cannot read", "the file is not", "zoom 41", "too many colours",
        "cannot be decoded"};
    const bool runFailure = std::any_of(kRunFailures.begin(), kRunFailures.end(),
        [&](const QString& m) { return message.contains(m); });
    if (runFailure)
        QCOMPARE(lines, (QStringList{lines.first(), QString()}));
    else
        QCOMPARE(lines, (QStringList{lines.first(), "Try 'kanvo-cli chart --help' for more information.", QString()}));
    QCOMPARE(r.out, QString());
    QVERIFY(!QFile::exists(out));
    QVERIFY(!QFile::exists(folder->filePath("chart.jpg")));
}

void ChartCliTest::gridOfExactColours_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    // exact.bmp at the default grid of 117 x 20: ten columns of 310, thread 150 at columns 15 to
    // 18 of the top row, white to the picture's right edge at column 39, and beyond it 77 columns
    // of padding that hold no stitch.
    QString exact = repeated("310", 10) + ',' + repeated("5200", 5) + ',' + repeated("150", 4) + ','
        + repeated("5200", 21) + ',' + repeated("0", 77) + '\n';
    for (int y = 1; y < 20; ++y)
        exact += repeated("310", 10) + ',' + repeated("5200", 30) + ',' + repeated("0", 77) + '\n';
    QTest::newRow("no reduction") << QStringList{"exact.bmp", "--method", "none"} << exact;
    QTest::newRow("png") << QStringList{"exact.png", "--method", "none"} << exact;
    // The border holds white (5200) 56 times and 310 38 times: the white joined to the border
    // goes, through the empty padding too; the red 150 on the top edge and the 310 stay.
    QString unstitched = repeated("310", 10) + ',' + repeated("0", 5) + ',' + repeated("150", 4) + ','
        + repeated("0", 21 + 77) + '\n';
    for (int y = 1; y < 20; ++y)
        unstitched += repeated("310", 10) + ',' + repeated("0", 30 + 77) + '\n';
    QTest::newRow("background removed") << QStringList{"exact.bmp", "--method", "none", "--background", "2.5"}
                                        << unstitched;
    QTest::newRow("background 0 is off") << QStringList{"exact.bmp", "--method", "none", "--background", "0"} << exact;
    // Five table colours within a budget of five, no diffusion, no clean-up: nothing changes.
    QString bands;
    for (int y = 0; y < 16; ++y)
        bands += QStringList{repeated("310", 10), repeated("150", 10), repeated("699", 10), repeated("797", 10)}.join(',')
            + '\n';
    for (int y = 16; y < 20; ++y)
        bands += repeated("5200", 40) + '\n';
    QTest::newRow("threads") << QStringList{"bands.bmp", "--width", "40", "--height", "20", "--method", "threads",
        "--threads", "5", "--dither", "0", "--cleanup", "0"} << bands;
}

void ChartCliTest::gridOfExactColours()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const QString grid = folder->filePath("grid.csv");
    args[0] = picturePath(args[0]);
    // --grid alone is enough: no chart picture is needed, and none is written.
    QStringList files = QDir(folder->path()).entryList(QDir::Files) << "grid.csv";
    const Run r = runCli(QStringList{"chart", "--grid", grid} + args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(QString::fromUtf8(fileBytes(grid)), expected);
    QStringList written = QDir(folder->path()).entryList(QDir::Files);
    files.sort();
    written.sort();
    QCOMPARE(written, files);
}

void ChartCliTest::threadMethodKeepsItsBudget()
{
    // A photograph of thousands of shades in six threads: the legend, rare threads included,
    // lists at most six, and the grid is the legend's threads, stitch for stitch.
    const QString legend = folder->filePath("legend.csv");
    const QString grid = folder->filePath("grid.csv");
    const Run r = runCli({"chart", picturePath("photo.jpg"), "-o", folder->filePath("c.png"), "--width", "40",
        "--height", "30", "--method", "threads", "--threads", "6", "--rare", "0", "--legend", legend, "--grid", grid});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QMap<QString, int> listed;
    const QStringList entries = QString::fromUtf8(fileBytes(legend)).split('\n', Qt::SkipEmptyParts).mid(1);
    for (const QString& line : entries)
        listed[line.section(',', 1, 1)] = line.section(',', 2).toInt();
    QVERIFY(listed.size() >= 2 && listed.size() <= 6);
    const QStringList rows = QString::fromUtf8(fileBytes(grid)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 30);
    QMap<QString, int> counted;
    for (const QString& row : rows) {
        const QStringList stitches = row.split(',');
        QCOMPARE(stitches.size(), 40);
        for (const QString& thread : stitches)
            ++counted[thread];
    }
    QCOMPARE(counted, listed);
}

void ChartCliTest::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("bmp") << "bmp";
    QTest::newRow("png") << "png";
    QTest::newRow("pdf") << "pdf";
}

void ChartCliTest::failedWriteKeepsOldFile()
{
    QFETCH(QString, extension);
    const QString input = picturePath("exact.bmp");
    // An existing chart stays as it was when the run fails before writing.
    const QString old = folder->filePath("old." + extension);
    {
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the old chart");
    }
    Run r = runCli({"chart", folder->filePath("missing.bmp"), "-o", old});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(fileBytes(old), QByteArray("the old chart"));
    r = runCli({"chart", input, "-o", old, "--whole", "--zoom", "1000"});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(fileBytes(old), QByteArray("the old chart"));

    // A folder in the way of the output: nothing is written, no temporary file is left.
    const QString blocked = folder->filePath("blocked." + extension);
    QVERIFY(QDir().mkdir(blocked));
    r = runCli({"chart", input, "-o", blocked});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("cannot write")), qPrintable(r.err));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(QFileInfo(blocked).isDir());
    // A folder that does not exist.
    r = runCli({"chart", input, "-o", folder->filePath("nowhere/chart." + extension)});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("cannot write")), qPrintable(r.err));
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("part")), QStringList());
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("tmp")), QStringList());

    // The legend: a failed legend write leaves an old legend as it was.
    const QString legend = folder->filePath("legend.csv");
    QVERIFY(QDir().mkdir(legend));
    r = runCli({"chart", input, "-o", folder->filePath("ok." + extension), "--legend", legend});
    QCOMPARE(r.exitCode, 2);
    QVERIFY(QFileInfo(legend).isDir());
    // The grid likewise.
    const QString grid = folder->filePath("grid.csv");
    QVERIFY(QDir().mkdir(grid));
    r = runCli({"chart", input, "-o", folder->filePath("ok." + extension), "--grid", grid});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("cannot write")), qPrintable(r.err));
    QVERIFY(QFileInfo(grid).isDir());
}

void ChartCliTest::unwritableOutputWritesNothing_data()
{
    // Folders nobody can write in, also as root: one that does not exist, and a "folder" that
    // is a regular file.
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("badPath");
    QTest::newRow("legend in a missing folder") << "--legend" << "missing/x.csv";
    QTest::newRow("legend under a file") << "--legend" << "exact.bmp/x.csv";
    QTest::newRow("grid in a missing folder") << "--grid" << "missing/grid.csv";
    QTest::newRow("pattern under a file") << "--pattern" << "exact.png/p.pdf";
    QTest::newRow("legend is a folder") << "--legend" << "folder.csv";
}

void ChartCliTest::unwritableOutputWritesNothing()
{
    QFETCH(QString, option);
    QFETCH(QString, badPath);
    QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("folder.csv")));
    const QStringList before = QDir(folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString bad = folder->filePath(badPath);
    const Run r = runCli({"chart", picturePath("exact.bmp"), "-o", folder->filePath("ok.png"), "--grid",
        folder->filePath("ok-grid.csv"), option, bad});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("kanvo-cli chart: cannot write \"%1\"").arg(bad)), qPrintable(r.err));
    // Not one file more than before the run: neither ok.png nor ok-grid.csv.
    QCOMPARE(QDir(folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

void ChartCliTest::projectFileIsReadAsItsChart()
{
    // The picture's chart written as a project, then the project charted: the same chart, the
    // fitting options ignored.
    const QString project = folder->filePath("exact.oxs");
    Run r = runCli({"chart", picturePath("exact.bmp"), "-o", project, "--method", "none"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString fromPicture = folder->filePath("picture.bmp");
    r = runCli({"chart", picturePath("exact.bmp"), "-o", fromPicture, "--method", "none", "--rare", "0"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString fromProject = folder->filePath("project.bmp");
    const QString csv = folder->filePath("legend.csv");
    r = runCli({"chart", project, "-o", fromProject, "--rare", "0", "--width", "60", "--method", "1bit", "--legend", csv});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(r.err.isEmpty());
    QCOMPARE(QString::fromUtf8(fileBytes(csv)), QStringLiteral("symbol,thread,count\na,310,200\nb,5200,596\nc,150,4\n"));
    QVERIFY(!fileBytes(fromProject).isEmpty());
    QCOMPARE(fileBytes(fromProject), fileBytes(fromPicture));

    // A file from another program: its substitutions are noted, empty cells are not counted.
    const QString foreign = folder->filePath("foreign.oxs");
    QFile f(foreign);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<chart><properties chartwidth=\"30\" chartheight=\"2\"/><palette>"
            "<palette_item index=\"0\" number=\"cloth\" color=\"FFFFFF\"/>"
            "<palette_item index=\"1\" number=\"DMC ECRU\" color=\"F0EADA\"/></palette>"
            "<fullstitches><stitch x=\"3\" y=\"1\" palindex=\"1\"/></fullstitches>"
            "<backstitches><backstitch x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\" palindex=\"1\"/></backstitches></chart>");
    f.close();
    const QString grid = folder->filePath("foreign.csv");
    r = runCli({"chart", foreign, "-o", folder->filePath("foreign.png"), "--rare", "0", "--legend", csv, "--grid", grid});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("DMC ECRU (F0EADA) -> DMC 543")), qPrintable(r.err));
    QVERIFY2(!r.err.contains(QStringLiteral("回针")), qPrintable(r.err)); // the back stitch is read, not left out
    QCOMPARE(QString::fromUtf8(fileBytes(csv)), QStringLiteral("symbol,thread,count,kind\na,543,1,full\na,543,1,back\n"));
    // Every cell but (3, 1) is empty: 0 in the grid.
    QStringList emptyRow(30, QStringLiteral("0"));
    QStringList stitchedRow = emptyRow;
    stitchedRow[3] = QStringLiteral("543");
    QCOMPARE(QString::fromUtf8(fileBytes(grid)), emptyRow.join(',') + '\n' + stitchedRow.join(',') + '\n');

    // A refused file: one line naming the reason, nothing written.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("<chart><properties chartwidth=\"400\" chartheight=\"2\"/><palette/><fullstitches/></chart>");
    f.close();
    r = runCli({"chart", foreign, "-o", folder->filePath("refused.bmp")});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QStringLiteral("1到320")), qPrintable(r.err));
    QVERIFY(!QFile::exists(folder->filePath("refused.bmp")));
}

void ChartCliTest::projectLayersSurviveTheCommandLine()
{
    // Another program's file with every kind: written back with every element in its thread,
    // and the legend tells the kinds apart (worked out from the file by hand: part stitches are
    // counted as entries, back stitches as segments; 3865 has no cross, so no "full" line).
    const QString source = QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/other-program-style-commas-order-sequence-symbols.oxs");
    const QString out = folder->filePath("kept.oxs");
    const QString csv = folder->filePath("legend.csv");
    const QString grid = folder->filePath("grid.csv");
    const Run r = runCli({"chart", source, "-o", out, "--legend", csv, "--grid", grid});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err)); // nothing left out, nothing to note
    QCOMPARE(QString::fromUtf8(fileBytes(csv)),
        QStringLiteral("symbol,thread,count,kind\nd,310,1,full\n+,666,1,full\na,350,1,full\n"
                       "d,310,2,part\n+,666,2,part\na,350,2,part\nd,310,2,back\n人,3865,2,back\n"
                       "人,3865,1,knot\n+,666,1,bead\n"));
    // The grid stays full stitches only.
    const QStringList rows = QString::fromUtf8(fileBytes(grid)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 12);
    QCOMPARE(rows[0], QStringLiteral("310,666,350,0,0,0,0,0,0,0,0,0,0,0,0,0"));
    QCOMPARE(rows[3], QStringList(16, QStringLiteral("0")).join(','));

    const OxsReader::Result before = OxsReader::readFile(source.toStdString(), loadedThreadTable());
    const OxsReader::Result after = OxsReader::readFile(out.toStdString(), loadedThreadTable());
    QCOMPARE(after.error, ProjectError::None);
    const auto sortedParts = [](std::vector<PartStitch> parts) {
        std::sort(parts.begin(), parts.end(), [](const PartStitch& a, const PartStitch& b) {
            return std::tie(a.y, a.x, a.corners, a.thread) < std::tie(b.y, b.x, b.corners, b.thread);
        });
        return parts;
    };
    QCOMPARE(after.project.chart.layers.parts.size(), std::size_t{6});
    QVERIFY(sortedParts(after.project.chart.layers.parts) == sortedParts(before.project.chart.layers.parts));
    QVERIFY(after.project.chart.layers.backs == before.project.chart.layers.backs);
    QVERIFY(after.project.chart.layers.ornaments == before.project.chart.layers.ornaments);
    for (const int t : before.project.chart.colorList)
        QVERIFY(after.project.chart.symbolOf(t) == before.project.chart.symbolOf(t));
}

void ChartCliTest::paddingHoldsNoStitch()
{
    // exact.bmp (40 x 20) at the default grid of 117 x 20: columns 40 to 116 lie past the picture.
    const QString bmp = folder->filePath("padded.bmp");
    Run r = runCli({"chart", picturePath("exact.bmp"), "-o", bmp, "--method", "none"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QImage canvas = QImage(bmp).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(canvas.width(), 10 * 117 + 83);
    int top = 0;
    while (top < canvas.height() && canvas.pixel(13, top) != qRgb(166, 166, 166))
        ++top;
    // Inside its lines (and clear of the thick block lines, which take a cell's last pixel) every
    // padding cell is blank; every picture cell carries its symbol.
    const auto inked = [&](int column, int row) {
        for (int y = top + 10 * row + 1; y < top + 10 * row + 9; ++y)
            for (int x = 40 + 10 * column + 1; x < 40 + 10 * column + 9; ++x)
                if (canvas.pixel(x, y) != kWhite)
                    return true;
        return false;
    };
    for (int row = 0; row < 20; ++row) {
        QVERIFY2(inked(39, row), qPrintable(QStringLiteral("row %1").arg(row)));
        for (int column = 40; column < 117; ++column)
            QVERIFY2(!inked(column, row), qPrintable(QStringLiteral("cell %1, %2").arg(column).arg(row)));
    }

    // The project file holds the picture's 800 stitches and none beyond column 39.
    const QString oxs = folder->filePath("padded.oxs");
    r = runCli({"chart", picturePath("exact.bmp"), "-o", oxs, "--method", "none"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QFile file(oxs);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    QVERIFY(xml.contains(QStringLiteral("chartwidth=\"117\"")));
    const QRegularExpression stitch(QStringLiteral("<stitch x=\"(\\d+)\""));
    int stitches = 0;
    for (auto it = stitch.globalMatch(xml); it.hasNext(); ++stitches)
        QVERIFY(it.next().captured(1).toInt() < 40);
    QCOMPARE(stitches, 800);
}

void ChartCliTest::englishPatternTexts()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString pdf = folder->filePath("pattern.pdf");
    const Run r = runCli({"--lang", "en", "chart", picturePath("exact.bmp"), "-o", folder->filePath("c.bmp"),
        "--method", "none", "--pattern", pdf, "--fabric", "18", "--cell-mm", "4"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString cover = runTool(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", pdf, "-"}).value_or(QString());
    QVERIFY2(cover.contains(QStringLiteral("Size: 117 × 20 stitches")), qPrintable(cover));
    // 117 / 18 inches = 16.5 cm, 20 / 18 inches = 2.8 cm
    QVERIFY2(cover.contains(QStringLiteral("On 18 count fabric: 16.5 × 2.8 cm (6.5 × 1.1 in)")), qPrintable(cover));
    QVERIFY2(cover.contains(QStringLiteral("Threads: 3")) && cover.contains(QStringLiteral("Stitches: 800")),
        qPrintable(cover));
    QVERIFY2(cover.contains(QStringLiteral("My chart")) && !cover.contains(QStringLiteral("我的绣图")), qPrintable(cover));
    const QString key = runTool(QStringLiteral("pdftotext"), {"-layout", "-f", "2", "-l", "2", pdf, "-"}).value_or(QString());
    const QRegularExpression heading(QStringLiteral("Sym\\.\\s+Colour\\s+Number\\s+Stitches\\s+Skeins"));
    QVERIFY2(key.contains(QStringLiteral("Thread key")) && key.contains(heading), qPrintable(key));
    QVERIFY2(key.contains(QStringLiteral("a ")) && key.contains(QStringLiteral("DMC 310")), qPrintable(key));
    const QString page = runTool(QStringLiteral("pdftotext"), {"-f", "3", "-l", "3", pdf, "-"}).value_or(QString());
    QVERIFY2(page.contains(QStringLiteral("Page 1/")) && page.contains(QStringLiteral("Columns 1-")), qPrintable(page));
}

void ChartCliTest::languageMustBeZhOrEn_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString hint = QStringLiteral("Try 'kanvo-cli --help' for more information.\n");
    QTest::newRow("French") << QStringList{"--lang", "fr", "chart"} << "kanvo-cli: option --lang needs zh or en, not \"fr\"\n" + hint;
    QTest::newRow("no value") << QStringList{"legend", "--lang"} << "kanvo-cli: option --lang needs zh or en\n" + hint;
}

void ChartCliTest::languageMustBeZhOrEn()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = runCli(args);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err, message);
    QCOMPARE(r.out, QString());
}

QTEST_MAIN(ChartCliTest)
#include "ChartCliTest.moc"
