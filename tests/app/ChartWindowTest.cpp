#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include "app/chart/ChartPrinter.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/FinalPreviewWindow.h"
#include "app/chart/PatternDialog.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "CanvasInk.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"
#include "ToolOutput.h"
#include "RecordingMessageBoxes.h"

using namespace kanvo;

namespace {

// Table colours of a few threads (thread number, colour): index 1 = 150, 34 = 310 black.
constexpr ColorValue kThread150 = makeColor(0xAB, 0x02, 0x49);
constexpr ColorValue kBlack = makeColor(0, 0, 0);

ColorValue colorAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return makeColor(qRed(p), qGreen(p), qBlue(p));
}

quint32 le32(const QByteArray& b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The top edge of the grid: the first thin grey line in the row-number margin.
int gridTopOf(const QImage& canvas)
{
    for (int y = 0; y < canvas.height(); ++y)
        if (colorAt(canvas, 13, y) == makeColor(166, 166, 166))
            return y;
    return -1;
}

} // namespace

class ChartWindowTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openShowsControlsAndSettings();
    void mainWindowOpensChartOnlyAfterPreview();
    void generateDrawsGridBlocksAndLegend();
    void modesChooseBlocksAndSymbols_data();
    void modesChooseBlocksAndSymbols();
    void stopDuringIndexDrawsNothing();
    void tooManyColoursClosesWindow();
    void thresholdBoxAcceptsNumbersOnly();
    void mergeSliderSetsTolerance();
    void savedChartCarriesResolution();
    void failedSaveKeepsOldFile();
    void finalPreviewPaintsThreadColours();
    void finalPreviewRefusedWithoutChart();
    void printsOnePagePdf();
    void printChoiceDefaultsToPagesForSmallCells_data();
    void printChoiceDefaultsToPagesForSmallCells();
    void printsPatternPages_data();
    void printsPatternPages();
    void exportsPatternAfterCompleteGeneration();
    void printFailureRestoresControls();
    void closingStopsPrint();
    void readColorWritesTheListing();
    void startUpPictureToSavedChart();

private:
    template <class T> T* chartChild(const char* name) { return chart->findChild<T*>(QString::fromUtf8(name)); }
    // A stitch matrix of w x h stitches: colour(x, y).
    void openChart();
    // The one-page print from here on ("单页绣图" in the print choice).
    void chooseOnePage() { chart->printer().choosePrintKind = [](float) { return ChartPrinter::PrintChoice{}; }; }
    // Prints go to the PDF file pdf, on pages of 200 x 285 mm printable from edge to edge.
    void printInto200x285(const QString& pdf)
    {
        chart->printer().choosePrinter = [pdf](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPageLayout(QPageLayout(QPageSize(QSizeF(200, 285), QPageSize::Millimeter), QPageLayout::Portrait,
                QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
            return true;
        };
    }

    ChartWindow* chart = nullptr;
};

void ChartWindowTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
}

void ChartWindowTest::cleanup()
{
    closeSession();
}

void ChartWindowTest::openChart()
{
    state->previewReady = true;
    window->generateChart();
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr);
    QVERIFY(chart->isVisible());
}

void ChartWindowTest::openShowsControlsAndSettings()
{
    state->mergeTol = 100;
    openChart();
    QCOMPARE(chart->windowTitle(), QStringLiteral("十字绣图Kanvo ---奎乐软件quillex inc."));
    QCOMPARE(chartChild<QPushButton>("Command1")->text(), QStringLiteral("生成"));
    QCOMPARE(chartChild<QPushButton>("Command2")->text(), QStringLiteral("保存"));
    QCOMPARE(chartChild<QPushButton>("Command4")->text(), QStringLiteral("最终效果预览"));
    QCOMPARE(chartChild<QPushButton>("Command5")->text(), QStringLiteral("读取色卡..."));
    QCOMPARE(chartChild<QLineEdit>("Text1")->text(), QStringLiteral("0"));
    QCOMPARE(chartChild<QComboBox>("Combo1")->currentText(), QStringLiteral("无色块绣图"));
    QCOMPARE(chartChild<QComboBox>("Combo1")->count(), 3);
    auto* rare = chartChild<QComboBox>("Combo2");
    QCOMPARE(rare->currentText(), QStringLiteral("5"));
    QStringList items;
    for (int i = 0; i < rare->count(); ++i)
        items << rare->itemText(i);
    QCOMPARE(items, (QStringList{"0", "5", "10", "15", "20", "25", "35", "40", "45", "50"}));
    // tolerance 100 = 5 steps of 20 from the right end
    QCOMPARE(chartChild<QScrollBar>("HScroll1")->value(), 295);
    QCOMPARE(state->mergeTol, 100);
    QCOMPARE(state->chart.gw, state->gridWidth());
    QCOMPARE(state->chart.gh, state->picH);
    QVERIFY(!chartChild<QLabel>("Label1")->isVisible());
}

void ChartWindowTest::mainWindowOpensChartOnlyAfterPreview()
{
    window->generateChart();
    QVERIFY(window->findChild<ChartWindow*>() == nullptr);
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(hub->invokeColourReduction());
    QVERIFY(state->previewReady);
    window->generateChart();
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr && chart->isVisible());
    QVERIFY(!state->previewReady);
    // A picture wider than the chart's limit is charted 320 wide: the grid never gets there, but
    // the chart reads the limit itself.
    state->picW = 400;
    chart->generate();
    QCOMPARE(state->chart.gw, 320);
}

void ChartWindowTest::generateDrawsGridBlocksAndLegend()
{
    fillStitches(20, 15, [](int x, int) { return x < 10 ? kBlack : kThread150; });
    openChart();
    chartChild<QComboBox>("Combo1")->setCurrentText(QStringLiteral("生成绣图色块"));
    chart->generate();

    const ChartModel& m = state->chart;
    QVERIFY(m.chartReady);
    QCOMPARE(m.maxColor, 2);
    QCOMPARE(m.threadList[0].name, std::string("310     "));
    QCOMPARE(m.threadList[0].count, 150);
    QCOMPARE(m.threadList[1].name, std::string("150     "));
    QCOMPARE(chartChild<QLineEdit>("Text1")->text(), QStringLiteral("2"));
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QVERIFY(chartChild<QPushButton>("Command2")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Command4"))->isEnabled());
    QVERIFY(window->findChild<QScrollBar*>(QStringLiteral("zoom"))->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!chartChild<QLabel>("Label1")->isVisible());

    // 20 columns hold 4 legend columns (3 threads), so 1 band of 3 rows. The grid needs
    // 10 x 20 + 83 pixels, the notes below the legend more: the canvas grows to hold them.
    const QImage& canvas = chart->canvas();
    QVERIFY(canvas.width() > 283);
    QCOMPARE(canvas.height(), 150 + 14 * 3 + 260);
    // Nothing else holds the canvas: a second reference would make each pass of the drawing copy
    // the whole canvas before painting on it.
    QVERIFY(canvas.isDetached());
    // The scroll bars end where the canvas ends in the view.
    const QWidget* view = chartChild<QWidget>("Picture1");
    QCOMPARE(chartChild<QScrollBar>("HScroll2")->maximum(), std::max(0, canvas.width() - view->width()));
    QCOMPARE(chartChild<QScrollBar>("VScroll1")->maximum(), std::max(0, 452 - view->height()));

    const int top = gridTopOf(canvas);
    QVERIFY(top > 11);
    // colour blocks inside the thin lines, in the threads' table colours
    QCOMPARE(colorAt(canvas, 41, top + 1), kBlack);
    QCOMPARE(colorAt(canvas, 49, top + 9), kBlack);
    QCOMPARE(colorAt(canvas, 40 + 150 + 5, top + 5), kThread150);
    QCOMPARE(colorAt(canvas, 40 + 190 + 9, top + 140 + 9), kThread150);
    // thin lines run from x = 12; the right-hand border at 240 stops at the grid
    QCOMPARE(colorAt(canvas, 12, top + 30), makeColor(166, 166, 166));
    QCOMPARE(colorAt(canvas, 240, top + 150), makeColor(166, 166, 166));
    QCOMPARE(colorAt(canvas, 240, top + 160), makeColor(255, 255, 255));
    QCOMPARE(colorAt(canvas, 230, top + 190), makeColor(166, 166, 166));
    // thick lines at column 10 and row 10 only, two pixels wide
    const ColorValue thick = makeColor(66, 66, 66);
    QCOMPARE(colorAt(canvas, 139, top + 55), thick);
    QCOMPARE(colorAt(canvas, 140, top + 55), thick);
    QCOMPARE(colorAt(canvas, 150 + 45, top + 55), kThread150);
    QCOMPARE(colorAt(canvas, 100, top + 100), thick);
    QCOMPARE(colorAt(canvas, 100, top + 99), thick);
    QVERIFY(colorAt(canvas, 100, top + 50) != thick);
    // the legend: swatch of entry 1 at x0 + 13 .. x0 + 35, x0 = 78; legend top = top + 208
    const int legendTop = top + 150 + 58;
    QCOMPARE(colorAt(canvas, 78 + 13, legendTop + 1), kBlack);
    QCOMPARE(colorAt(canvas, 78 + 35, legendTop + 11), kBlack);
    QCOMPARE(colorAt(canvas, 116 + 20, legendTop + 6), kThread150);
    QCOMPARE(colorAt(canvas, 154 + 20, legendTop + 6), makeColor(255, 255, 255));
}

void ChartWindowTest::modesChooseBlocksAndSymbols_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("blocks");
    QTest::addColumn<bool>("symbols");
    QTest::newRow("both") << QStringLiteral("生成绣图色块") << true << true;
    QTest::newRow("symbols only") << QStringLiteral("无色块绣图") << false << true;
    QTest::newRow("blocks only") << QStringLiteral("仅生成色块") << true << false;
}

void ChartWindowTest::modesChooseBlocksAndSymbols()
{
    QFETCH(QString, mode);
    QFETCH(bool, blocks);
    QFETCH(bool, symbols);
    fillStitches(16, 16, [](int, int) { return kThread150; });
    openChart();
    chartChild<QComboBox>("Combo1")->setCurrentText(mode);
    chart->generate();
    const QImage& canvas = chart->canvas();
    const int top = gridTopOf(canvas);
    int blockPixels = 0;
    int darkPixels = 0;
    // the cells' interiors of the first row
    for (int x = 41; x < 40 + 160; ++x)
        for (int y = top + 1; y < top + 10; ++y) {
            const ColorValue c = colorAt(canvas, x, y);
            blockPixels += c == kThread150;
            // ink of the symbols: dark, and neither the block colour nor a block line
            darkPixels += (redOf(c) + greenOf(c) + blueOf(c)) / 3 < 140 && c != kThread150 && c != makeColor(66, 66, 66);
        }
    QCOMPARE(blockPixels > 16 * 40, blocks);
    QCOMPARE(darkPixels > 16, symbols);
}

void ChartWindowTest::stopDuringIndexDrawsNothing()
{
    fillStitches(200, 200, [](int x, int y) { return makeColor(x, y, 7); });
    openChart();
    // "中止" is pressed while the colour index runs.
    QTimer::singleShot(0, chart, [this] { chart->stopOrPrint(); });
    chart->generate();
    QVERIFY(!chart->running());
    QVERIFY(!state->chart.chartReady);
    QVERIFY(!chart->hasChart());
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("中止"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QVERIFY(!chartChild<QPushButton>("Command2")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Command5"))->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // pressing it again only enables "生成"
    chart->stopOrPrint();
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("中止"));
}

void ChartWindowTest::tooManyColoursClosesWindow()
{
    // A good chart first, so that the window has a count, a canvas and "保存" to lose.
    fillStitches(20, 15, [](int x, int) { return x < 10 ? kBlack : kThread150; });
    openChart();
    chart->generate();
    QVERIFY(chartChild<QPushButton>("Command2")->isEnabled());
    QCOMPARE(chartChild<QLineEdit>("Text1")->text(), QStringLiteral("2"));

    // 501 distinct colours: 21 x 24 = 504 stitches of distinct colour
    fillStitches(21, 24, [](int x, int y) { return makeColor(x * 10, y * 10, 1); });
    openChart();
    chart->generate();
    QCOMPARE(boxes->titles.last(), QStringLiteral("Quillex inc."));
    QCOMPARE(boxes->texts.last(), QStringLiteral("    绣图颜色太多，请先点 效果预览 进行减色后再生成。。。 "));
    QVERIFY(!chart->isVisible());
    QVERIFY(!chart->running());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Command4"))->isEnabled());
    QVERIFY(window->findChild<QScrollBar*>(QStringLiteral("wChange"))->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Reopened, the window is idle as before a first generation.
    openChart();
    QVERIFY(!chartChild<QLabel>("Label1")->isVisible());
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QVERIFY(!chartChild<QPushButton>("Command2")->isEnabled());
    QCOMPARE(chartChild<QLineEdit>("Text1")->text(), QStringLiteral("0"));
    QCOMPARE(chartChild<QProgressBar>("ProgressBar1")->value(), 0);
    QVERIFY(!chart->hasChart());
    QVERIFY(chart->canvas().isNull());

    // 500 are accepted
    fillStitches(20, 25, [](int x, int y) { return makeColor(x * 10, y * 10, 1); });
    openChart();
    *boxes = RecordingMessageBoxes();
    chart->generate();
    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(state->chart.chartReady);
}

void ChartWindowTest::thresholdBoxAcceptsNumbersOnly()
{
    openChart();
    auto* rare = chartChild<QComboBox>("Combo2");
    rare->setEditText(QStringLiteral("12"));
    QVERIFY(boxes->texts.isEmpty());
    QCOMPARE(chart->rareThreshold(), 12);
    rare->setEditText(QStringLiteral("abc"));
    QCOMPARE(rare->currentText(), QStringLiteral("0"));
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("奎乐软件")});
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("输入有错误,只能是数字")});
    rare->setEditText(QStringLiteral("40000")); // beyond a 16-bit integer
    QCOMPARE(rare->currentText(), QStringLiteral("0"));
    rare->setEditText(QStringLiteral("25"));
    QTest::mouseClick(chartChild<QCheckBox>("Check1"), Qt::LeftButton);
    QCOMPARE(rare->currentText(), QStringLiteral("0"));
    rare->setEditText(QStringLiteral("25"));
    QTest::mouseClick(chartChild<QCheckBox>("Check1"), Qt::LeftButton); // unchecking too
    QCOMPARE(rare->currentText(), QStringLiteral("0"));

    // threshold 0 lists the thread of 4 stitches, 5 leaves it out
    fillStitches(16, 16, [](int x, int y) { return x < 2 && y < 2 ? kBlack : kThread150; });
    rare->setEditText(QStringLiteral("5"));
    chart->generate();
    QCOMPARE(state->chart.maxColor, 1);
    QCOMPARE(state->chart.colorCount, 2);
    rare->setEditText(QStringLiteral("0"));
    chart->generate();
    QCOMPARE(state->chart.maxColor, 2);
}

void ChartWindowTest::mergeSliderSetsTolerance()
{
    fillStitches(16, 16, [](int, int) { return kBlack; });
    openChart();
    chart->generate();
    QVERIFY(state->chart.chartReady);
    auto* slider = chartChild<QScrollBar>("HScroll1");
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 300);
    QCOMPARE(slider->pageStep(), 10);
    slider->setValue(1);
    QCOMPARE(state->mergeTol, 5980);
    QVERIFY(!state->chart.chartReady);
    slider->setValue(300);
    QCOMPARE(state->mergeTol, 0);
    // a tolerance beyond the slider's reach, typed in the settings, is kept
    state->mergeTol = 10000;
    chart->openWindow();
    QCOMPARE(slider->value(), 1);
    QCOMPARE(state->mergeTol, 10000);
}

void ChartWindowTest::savedChartCarriesResolution()
{
    fillStitches(20, 15, [](int x, int) { return x < 10 ? kBlack : kThread150; });
    openChart();
    chart->generate();
    const QString path = session->filePath(QStringLiteral("我的 绣图.bmp"));
    int asked = 0;
    chart->chooseSavePath = [&] {
        ++asked;
        return asked == 1 ? QString() : path;
    };
    chart->saveChart(); // cancelled: nothing written, nothing said
    QVERIFY(!QFile::exists(path));
    QVERIFY(boxes->texts.isEmpty());
    QTest::mouseClick(chartChild<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex,make life fun!")});
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("  绣图文件保存成功在") + path});
    const QByteArray b = fileBytes(path);
    QCOMPARE(b.left(2), QByteArray("BM"));
    const int width = static_cast<int>(le32(b, 18));
    QCOMPARE(le32(b, 22), 452u);
    // A chart 20 stitches wide: the grid ends at x = 240, the notes below the legend run on
    // past the 283 pixels the grid alone would take, and nothing reaches the right edge.
    const QImage saved(path, "BMP");
    const int ink = test::rightmostInkColumn(saved);
    QVERIFY2(ink >= 283 && ink < width - 5, qPrintable(QStringLiteral("ink to %1 of %2").arg(ink).arg(width)));
    // D = max(round(W x 2834 / 570), round(452 x 2125.5 / 570)), the height's share being 1685.
    const auto d = static_cast<quint32>(std::max(std::nearbyint(width * 2834.0 / 570), 1685.0));
    QCOMPARE(le32(b, 38), d);
    QCOMPARE(le32(b, 42), d);
    QCOMPARE(saved.size(), chart->canvas().size());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), chart->canvas().convertToFormat(QImage::Format_RGB32));
    // saving again replaces the file
    QVERIFY(chart->saveChartTo(path));
    QCOMPARE(fileBytes(path), b);

    // A name without extension gets ".bmp"; one with an extension is kept as typed.
    const QList<QPair<QString, QString>> names{{"无扩展名", "无扩展名.bmp"}, {"chart.v2", "chart.v2"},
        {"upper.BMP", "upper.BMP"}};
    for (const auto& [typed, written] : names) {
        chart->chooseSavePath = [&] { return session->filePath(typed); };
        chart->saveChart();
        QCOMPARE(fileBytes(session->filePath(written)), b);
        if (typed != written)
            QVERIFY(!QFile::exists(session->filePath(typed)));
    }
}

void ChartWindowTest::failedSaveKeepsOldFile()
{
    openChart();
    // nothing generated yet: nothing to save
    QVERIFY(!chartChild<QPushButton>("Command2")->isEnabled());
    const QString old = session->filePath(QStringLiteral("old.bmp"));
    {
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    QVERIFY(!chart->saveChartTo(old));
    QCOMPARE(fileBytes(old), QByteArray("keep me"));

    fillStitches(16, 16, [](int, int) { return kBlack; });
    chart->generate();
    // a folder in place of the file
    const QString dirPath = session->filePath(QStringLiteral("chart.bmp"));
    QVERIFY(QDir(session->folder()).mkdir(QStringLiteral("chart.bmp")));
    *boxes = RecordingMessageBoxes();
    QVERIFY(!chart->saveChartTo(dirPath));
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->errorIcon.first());
    QVERIFY(!boxes->texts.first().startsWith(QStringLiteral("  绣图文件保存成功在")));
    QVERIFY(QFileInfo(dirPath).isDir());
}

void ChartWindowTest::finalPreviewPaintsThreadColours()
{
    // 50 threads: thread colours; stitch (x, y) of thread i = 1 + x
    fillStitches(50, 16, [](int x, int) { return loadedThreadTable().colorOf(1 + x); });
    state->stitchMatrix.set(0, 0, makeColor(0xAA, 0x03, 0x48)); // nearest thread 150, not its colour
    openChart();
    chartChild<QComboBox>("Combo2")->setEditText(QStringLiteral("0"));
    chart->generate();
    QCOMPARE(state->chart.maxColor, 50);
    QTest::mouseClick(chartChild<QPushButton>("Command4"), Qt::LeftButton);
    FinalPreviewWindow* preview = chart->finalPreview();
    QVERIFY(preview != nullptr && preview->isVisible());
    QVERIFY(preview->timerActive());
    preview->tick();
    QCOMPARE(colorAt(preview->picture(), 11, 61), makeColor(255, 255, 255));
    preview->tick();
    QVERIFY(!preview->timerActive());
    const QImage& p = preview->picture();
    // Scaled up to fill most of the screen: 50 x 16 stitches in whole pixels, at least 3 each.
    const int side = preview->stitchSide();
    const QSize screen = preview->size();
    QCOMPARE(side, std::max(3, std::min(int((screen.width() - 22) * 0.92) / 50, int((screen.height() - 81) * 0.92) / 16)));
    QVERIFY(side > 3);
    QVERIFY(11 + 50 * side <= screen.width() && 61 + 16 * side <= screen.height());
    QCOMPARE(colorAt(p, 11, 61), kThread150); // the thread's colour, not the stitch's
    QCOMPARE(colorAt(p, 11 + side - 1, 61 + side - 1), kThread150);
    QCOMPARE(colorAt(p, 11 + side * 33, 61 + side * 15 + side - 1), kBlack); // thread 34 is 310 black
    QCOMPARE(colorAt(p, 10, 61), makeColor(255, 255, 255));
    QCOMPARE(colorAt(p, 11 + 50 * side, 61), makeColor(255, 255, 255));
    // The hint names both ways out.
    QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("按 Esc 键或点击画面关闭"));
    QTest::mouseClick(preview, Qt::LeftButton);
    QVERIFY(!preview->isVisible());
    chart->showFinalPreview();
    QVERIFY(preview->isVisible());
    QTest::keyClick(preview, Qt::Key_Escape);
    QVERIFY(!preview->isVisible());

    // 51 threads: the stitch colours
    fillStitches(51, 16, [](int x, int) { return loadedThreadTable().colorOf(1 + x); });
    state->stitchMatrix.set(0, 0, makeColor(0xAA, 0x03, 0x48));
    chart->generate();
    QCOMPARE(state->chart.maxColor, 51);
    chart->showFinalPreview();
    preview->tick();
    preview->tick();
    QCOMPARE(colorAt(preview->picture(), 11 + preview->stitchSide() / 2, 62), makeColor(0xAA, 0x03, 0x48));
}

void ChartWindowTest::finalPreviewRefusedWithoutChart()
{
    fillStitches(16, 16, [](int, int) { return kBlack; });
    openChart();
    chart->showFinalPreview();
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex 你身边的好软件")});
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("请先点一次 生成 按钮，再进行最终效果预览")});
    chart->generate();
    chartChild<QScrollBar>("HScroll1")->setValue(250); // moving the merge slider asks for a new one
    chart->showFinalPreview();
    QCOMPARE(boxes->texts.size(), 2);
    QVERIFY(chart->finalPreview() == nullptr);
}

// "导出PDF图纸" waits for a complete generation, is withdrawn when the merge slider asks for a
// new one, and writes the pattern with the options chosen: here 150 x 100 stitches of 4
// threads on 2.5 mm A4 cells (72 x 96 a page, overlap 2): 3 x 2 chart pages after cover and key.
void ChartWindowTest::exportsPatternAfterCompleteGeneration()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    fillStitches(150, 100, [](int x, int) { return loadedThreadTable().colorOf(1 + x % 4); });
    openChart();
    QPushButton* exportButton = chartChild<QPushButton>("Command6");
    QVERIFY(exportButton != nullptr);
    QCOMPARE(exportButton->text(), QStringLiteral("导出PDF图纸"));
    QVERIFY(!exportButton->isEnabled());
    chart->generate();
    QVERIFY(exportButton->isEnabled());
    chartChild<QScrollBar>("HScroll1")->setValue(250);
    QVERIFY(!exportButton->isEnabled());
    chart->generate();
    QVERIFY(exportButton->isEnabled());

    const QString pdf = session->filePath(QStringLiteral("pattern.pdf"));
    chart->choosePatternOptions = [] {
        PatternOptions options;
        options.cellMm = 2.5f;
        return std::optional<PatternOptions>(options);
    };
    chart->choosePatternPath = [&] { return pdf; };
    // "中止" while it is written: nothing is written, the controls come back.
    QTimer::singleShot(0, chart, [&] { QTest::mouseClick(chartChild<QPushButton>("Command3"), Qt::LeftButton); });
    QTest::mouseClick(exportButton, Qt::LeftButton);
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(chartChild<QLabel>("Label1")->text(), QStringLiteral("PDF图纸导出已中止，没有写入文件"));
    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(exportButton->isEnabled());

    QTest::mouseClick(exportButton, Qt::LeftButton);
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("  PDF图纸保存成功在") + pdf});
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+8\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A4)")),
        qPrintable(info));

    // A name not ending in ".pdf" gets it; "PDF" in any case is kept as typed.
    const QList<QPair<QString, QString>> names{{"无扩展名", "无扩展名.pdf"}, {"图纸.v2", "图纸.v2.pdf"},
        {"upper.PDF", "upper.PDF"}};
    for (const auto& [typed, written] : names) {
        chart->choosePatternPath = [&] { return session->filePath(typed); };
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY2(fileBytes(session->filePath(written)).startsWith("%PDF"), qPrintable(written));
        if (typed != written)
            QVERIFY(!QFile::exists(session->filePath(typed)));
    }
}

void ChartWindowTest::printsOnePagePdf()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // 80 x 80 stitches of 12 threads in 12 column stripes
    fillStitches(80, 80, [](int x, int) { return loadedThreadTable().colorOf(1 + x * 12 / 80); });
    openChart();
    chartChild<QComboBox>("Combo1")->setCurrentText(QStringLiteral("生成绣图色块"));
    state->chart.xiutuTitle = "测试绣图";
    chart->generate();
    QCOMPARE(state->chart.maxColor, 12);

    const QString pdf = session->filePath(QStringLiteral("chart.pdf"));
    QStringList statuses;
    ChartPrinter& printer = chart->printer();
    chooseOnePage();
    printer.statusShown = [&](const QString& s) { statuses << s; };
    printInto200x285(pdf);
    QTest::mouseClick(chartChild<QPushButton>("Command3"), Qt::LeftButton);
    QVERIFY(boxes->texts.isEmpty());
    QCOMPARE(statuses, (QStringList{"正在生成打印文档，请等待....", "正在绘制网格，请等待....",
                           "正在绘制绣线表格，请等待....", "正在绘制绣线符号，请等待....", "正在打印，请等待...."}));
    QVERIFY(!chartChild<QLabel>("Label1")->isVisible()); // the page has been written: nothing is printing
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印.."));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).value_or(QString());
    QVERIFY2(text.contains(QStringLiteral("测试绣图")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Quillex inc.Printed")));

    // Rendered at 254 dpi (10 pixels per millimetre): c = 2000 / 883 - 0.01 mm, X0 = 8c, the
    // block of stitch (x, y) from X0 + c x + 0.01.
    QVERIFY(runTool(QStringLiteral("pdftoppm"), {"-r", "254", "-png", "-singlefile", pdf, session->filePath("page")}));
    const QImage page(session->filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    QVERIFY(qAbs(page.width() - 2000) <= 2);
    const double c = 2000.0 / 883.0 - 0.01;
    const double x0 = 8 * c;
    // Find the grid's top edge from stitch (0, 0)'s block colour down the column at its centre.
    const int cx = qRound((x0 + c / 2) * 10);
    int y0 = -1;
    for (int y = 0; y < page.height(); ++y)
        if (colorAt(page, cx, y) == loadedThreadTable().colorOf(1)) {
            y0 = y;
            break;
        }
    QVERIFY(y0 > 0);
    // The symbols cover part of every cell: the block colour is the cell's most frequent colour.
    auto cellColour = [&](int x, int y) {
        QHash<ColorValue, int> counts;
        const int left = qRound((x0 + c * x) * 10) + 2;
        const int top = y0 + qRound(c * y * 10) + 2;
        for (int px = left; px < left + qRound(c * 10) - 4; ++px)
            for (int py = top; py < top + qRound(c * 10) - 4; ++py)
                ++counts[colorAt(page, px, py)];
        ColorValue best = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > counts.value(best, -1))
                best = it.key();
        return best;
    };
    for (int stripe = 0; stripe < 12; ++stripe) {
        const int x = (stripe * 80 + 11) / 12; // first column of the stripe
        QCOMPARE(cellColour(x, 40), loadedThreadTable().colorOf(1 + x * 12 / 80));
        QCOMPARE(cellColour(x, 79), loadedThreadTable().colorOf(1 + x * 12 / 80));
    }
    // the grid's right edge lies at 88c, about 198.4 mm: white beyond it
    QCOMPARE(colorAt(page, qRound(88 * c * 10) + 8, y0 + 400), makeColor(255, 255, 255));
    QVERIFY(colorAt(page, qRound(88 * c * 10) - 8, y0 + 400) != makeColor(255, 255, 255));
}

void ChartWindowTest::printChoiceDefaultsToPagesForSmallCells_data()
{
    QTest::addColumn<double>("cellMm");
    QTest::addColumn<bool>("paged");
    QTest::newRow("80 x 80 on A4, 2.3 mm") << 2.3 << true;
    QTest::newRow("just under 3.2 mm") << 3.19 << true;
    QTest::newRow("3.2 mm") << 3.2 << false;
    QTest::newRow("30 x 30, 5.6 mm") << 5.6 << false;
    QTest::newRow("no page fit") << 0.0 << true;
}

// The print choice opens on "分页图纸" when the one-page print's 9 pt symbols would not fit its
// cells, and says why; the pattern's options are there only for "分页图纸".
void ChartWindowTest::printChoiceDefaultsToPagesForSmallCells()
{
    QFETCH(double, cellMm);
    QFETCH(bool, paged);
    PatternDialog dialog(nullptr, static_cast<float>(cellMm));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("打印绣图"));
    auto* kind = dialog.findChild<QComboBox*>(QStringLiteral("printKindBox"));
    QVERIFY(kind != nullptr);
    QCOMPARE(kind->currentText(), paged ? QStringLiteral("分页图纸") : QStringLiteral("单页绣图"));
    QCOMPARE(dialog.paged(), paged);
    const QString note = dialog.findChild<QLabel*>(QStringLiteral("printKindNote"))->text();
    if (cellMm > 0)
        QVERIFY2(note.contains(QString::number(cellMm, 'f', 1) + QStringLiteral(" mm")), qPrintable(note));
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("paperBox"))->isEnabled(), paged);
    kind->setCurrentText(paged ? QStringLiteral("单页绣图") : QStringLiteral("分页图纸"));
    QCOMPARE(dialog.paged(), !paged);
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("paperBox"))->isEnabled(), !paged);
    // The export's dialog has no choice: it always makes the pages.
    QVERIFY(PatternDialog().findChild<QComboBox*>(QStringLiteral("printKindBox")) == nullptr);
    QVERIFY(PatternDialog().paged());
}

void ChartWindowTest::printsPatternPages_data()
{
    QTest::addColumn<bool>("closeWhileDrawing");
    QTest::newRow("printed") << false;
    QTest::newRow("window closed while drawing") << true;
}

// "分页图纸" through a PDF-file printer: the pattern's cover, key and chart pages, with the one-page
// print's status line and its stop (closing the window throws the document away).
void ChartWindowTest::printsPatternPages()
{
    QFETCH(bool, closeWhileDrawing);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    fillStitches(80, 80, [](int x, int) { return loadedThreadTable().colorOf(1 + x * 12 / 80); });
    openChart();
    state->chart.xiutuTitle = "分页测试";
    chart->generate();
    QCOMPARE(state->chart.maxColor, 12);

    const QString pdf = session->filePath(QStringLiteral("pages.pdf"));
    ChartPrinter& printer = chart->printer();
    printInto200x285(pdf);
    float offeredCell = -1;
    bool offeredPages = false;
    printer.choosePrintKind = [&](float cellMm) {
        offeredCell = cellMm;
        offeredPages = PatternDialog(nullptr, cellMm).paged();
        ChartPrinter::PrintChoice choice;
        choice.paged = true;
        choice.pattern.cellMm = 2.5f; // 80 stitches: 200 mm, two pages across on A4, one down
        return std::optional(choice);
    };
    QStringList statuses;
    printer.statusShown = [&](const QString& s) {
        statuses << s;
        if (closeWhileDrawing && s == QStringLiteral("正在绘制分页图纸，请等待...."))
            chart->close();
    };
    QTest::mouseClick(chartChild<QPushButton>("Command3"), Qt::LeftButton);
    // The one-page cell on this page: c = 10 x 200 / (10 x 80 + 83) - 0.01, too small for 9 pt.
    QVERIFY(qAbs(offeredCell - (2000.0f / 883.0f - 0.01f)) < 1e-3f);
    QVERIFY(offeredPages);
    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!printer.printing());
    if (closeWhileDrawing) {
        QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(QDir(session->folder()).entryList({QStringLiteral("*pages*")}, QDir::Files | QDir::Hidden),
            QStringList());
        return;
    }
    QCOMPARE(statuses, (QStringList{"正在生成打印文档，请等待....", "正在绘制分页图纸，请等待....",
                           "正在打印，请等待...."}));
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印.."));
    auto* progress = chartChild<QProgressBar>("ProgressBar1");
    QCOMPARE(progress->value(), progress->maximum());

    // Cover, key (12 threads), and the chart pages 1/2 and 2/2, on A4, the pattern's paper.
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595[.\\d]* x 84[12][.\\d]* pts \\(A4\\)"))), qPrintable(info));
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).value_or(QString());
    const QStringList pages = text.split(QLatin1Char('\f'));
    QVERIFY(pages.size() >= 4);
    QVERIFY2(pages[0].contains(QStringLiteral("分页测试")), qPrintable(pages[0]));
    QVERIFY2(pages[1].contains(QStringLiteral("线号")), qPrintable(pages[1]));
    QVERIFY2(pages[2].contains(QStringLiteral("第 1/2 页")), qPrintable(pages[2]));
    QVERIFY2(pages[3].contains(QStringLiteral("第 2/2 页")), qPrintable(pages[3]));
}

void ChartWindowTest::printFailureRestoresControls()
{
    // 10 stitches wide: the screen legend holds no thread per band, so no page fit exists
    fillStitches(10, 16, [](int, int) { return kBlack; });
    openChart();
    state->picW = 10;
    chart->generate();
    QVERIFY(state->chart.chartReady);
    const QString pdf = session->filePath(QStringLiteral("narrow.pdf"));
    chooseOnePage();
    chart->printer().choosePrinter = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    chart->stopOrPrint();
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex ")});
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("    打印异常，请确认您的打印机已经就绪。     ")});
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Command6"))->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!QFile::exists(pdf));
}

void ChartWindowTest::closingStopsPrint()
{
    fillStitches(40, 40, [](int x, int) { return x < 20 ? kBlack : kThread150; });
    openChart();
    chart->generate();
    const QString pdf = session->filePath(QStringLiteral("stopped.pdf"));
    ChartPrinter& printer = chart->printer();
    chooseOnePage();
    printer.choosePrinter = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    printer.statusShown = [&](const QString& s) {
        if (s == QStringLiteral("正在绘制绣线符号，请等待...."))
            chart->close();
    };
    chart->stopOrPrint();
    QVERIFY(boxes->texts.isEmpty());
    QCOMPARE(chartChild<QPushButton>("Command3")->text(), QStringLiteral("打印"));
    QVERIFY(chartChild<QPushButton>("Command1")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!printer.printing());
    // no page was sent, and no file was left behind
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(QDir(session->folder()).entryList({QStringLiteral("stopped*")}, QDir::Files), QStringList());
}

void ChartWindowTest::readColorWritesTheListing()
{
    openChart();
    const QString palette = session->filePath(QStringLiteral("dmc.pal"));
    const QString listing = session->filePath(QStringLiteral("dmcbas.txt"));
    {
        QFile f(palette);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // header, then (colour, thread number) records as 32-bit little-endian integers
        const unsigned char bytes[] = {9, 9, 9, 9, 0x33, 0x22, 0x11, 0, 0x36, 1, 0, 0, 5, 0, 0, 0, 150, 0, 0, 0};
        f.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    int asked = 0;
    chart->choosePaletteFile = [&] { return asked++ == 0 ? QString() : palette; };
    chart->chooseListingFile = [&] { return listing; };
    QTest::mouseClick(chartChild<QPushButton>("Command5"), Qt::LeftButton); // cancelled
    QVERIFY(!QFile::exists(listing));
    QTest::mouseClick(chartChild<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(chart->readColorRecords(), 2);
    QCOMPARE(fileBytes(listing), QByteArray("dmc(1).color = 1122867\ndmc(1).cindex = \"310\"\n"
                                            "dmc(2).color = 5\ndmc(2).cindex = \"150\"\n"));
    // the program's own table is untouched
    QCOMPARE(loadedThreadTable().colorOf(1), kThread150);
    // a broken palette file changes nothing and says why
    {
        QFile f(palette);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\1\2\3\4\5\6", 6);
    }
    QTest::mouseClick(chartChild<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->errorIcon.first());
    QCOMPARE(chart->readColorRecords(), 2);
    QVERIFY(fileBytes(listing).startsWith("dmc(1).color = 1122867"));
}

void ChartWindowTest::startUpPictureToSavedChart()
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python) || !runTool(python, {"-c", "import PIL"}))
        QSKIP("Pillow (python3-pil) is not installed");
    // start-up picture -> "效果预览->" -> "生成" -> "生成" -> "保存"
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    QVERIFY(state->previewReady);
    QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("Label2")), Qt::LeftButton);
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr && chart->isVisible());
    QTest::mouseClick(chartChild<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(state->chart.chartReady);
    QVERIFY(state->chart.maxColor > 0);
    const QString path = session->filePath(QStringLiteral("logo-chart.bmp"));
    chart->chooseSavePath = [&] { return path; };
    QTest::mouseClick(chartChild<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("  绣图文件保存成功在") + path});

    // Pillow reads the file: size, 24-bit colour, the resolution and a few pixels.
    const QImage& canvas = chart->canvas();
    const int gw = state->chart.gw;
    const int gh = state->chart.gh;
    QCOMPARE(canvas.width(), 10 * gw + 83);
    const QString script = QStringLiteral(
        "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
        "print(im.format, im.mode, im.size[0], im.size[1], round(im.info['dpi'][0] / 0.0254))\n"
        "for a in sys.argv[2:]:\n    x, y = map(int, a.split(','))\n    print(*im.getpixel((x, y)))\n");
    QStringList args{"-c", script, path};
    QList<QPoint> points{{0, 0}, {45, canvas.height() / 3}, {canvas.width() / 2, canvas.height() / 2},
        {canvas.width() - 1, canvas.height() - 1}};
    for (const QPoint& p : points)
        args << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    const QStringList lines = runTool(python, args).value_or(QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + points.size());
    const QStringList head = lines[0].split(QLatin1Char(' '));
    QCOMPARE(head.mid(0, 4), (QStringList{"BMP", "RGB", QString::number(canvas.width()), QString::number(canvas.height())}));
    // D = max(round(W x 2834 / 570), round(H x 2125.5 / 570)); Pillow turns it into dots per inch
    const double d = std::max(std::nearbyint(canvas.width() * 2834.0 / 570), std::nearbyint(canvas.height() * 2125.5 / 570));
    QVERIFY(qAbs(head[4].toDouble() - d) <= 1.0);
    for (int i = 0; i < points.size(); ++i) {
        const QRgb c = canvas.pixel(points[i]);
        QCOMPARE(lines[1 + i], QStringLiteral("%1 %2 %3").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)));
    }
    (void)gh;
}

QTEST_MAIN(ChartWindowTest)
#include "ChartWindowTest.moc"
