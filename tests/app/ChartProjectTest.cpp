// Chart projects in the program: "打开绣图工程..." and "保存绣图工程..." of the main window's menu
// and the chart window, and charts with empty cells on the canvas and in the final preview.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/chart/ChartWindow.h"
#include "app/chart/FinalPreviewWindow.h"
#include "app/edit/ColorReplacementWindow.h"
#include "app/reduce/ChartSettingsWindow.h"
#include "app/workspace/MainWindow.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "ProgramSessionTest.h"
#include "RecordingMessageBoxes.h"

using namespace kanvo;

namespace {

constexpr ColorValue kBlack = makeColor(0, 0, 0);          // thread 310
constexpr ColorValue kRed666 = makeColor(0xDD, 0x00, 0x28); // thread 666 on the card
constexpr ColorValue kWhite = makeColor(255, 255, 255);

ColorValue colorAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return makeColor(qRed(p), qGreen(p), qBlue(p));
}

// A 20 x 10 chart: the left half black (310), the right half empty but for one red stitch
// (666) at (15, 5); the cloth is light blue.
QByteArray halfEmptyChart()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>"
                     "<properties oxsversion=\"1.0\" chartwidth=\"20\" chartheight=\"10\" charttitle=\"空格绣图\""
                     " stitchesperinch=\"16\"/>"
                     "<palette><palette_item index=\"0\" number=\"cloth\" color=\"C0E0FF\"/>"
                     "<palette_item index=\"1\" number=\"DMC 310\" color=\"000000\"/>"
                     "<palette_item index=\"2\" number=\"DMC 666\" color=\"E31D42\"/></palette><fullstitches>";
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            xml += QStringLiteral("<stitch x=\"%1\" y=\"%2\" palindex=\"1\"/>").arg(x).arg(y).toUtf8();
    xml += "<stitch x=\"15\" y=\"5\" palindex=\"2\"/></fullstitches></chart>";
    return xml;
}

// Counts the paint events of the widgets named `name`, wherever they are.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QString name) : name_(std::move(name)) { qApp->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == name_)
            ++paints;
        return false;
    }

private:
    QString name_;
};

// Answers the next modal file dialog with `path`, keeping its name filters.
void answerFileDialog(const QString& path, QStringList* filters)
{
    QTimer::singleShot(0, [path, filters] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *filters = dialog->nameFilters();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept"); // a protected slot
    });
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

class ChartProjectTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(openSession());
        QVERIFY(session->start());
        QVERIFY(folder.isValid());
    }
    void cleanup() { closeSession(); }

    void menuOpensAProjectWithoutAnEffectPreview();
    void emptyCellsGetNoBlockNoSymbolAndCountNowhere();
    void savedProjectHoldsTheEditedChart();
    void refusedFileKeepsTheChartOnScreen();
    void editingReplacesThreadsAndKeepsEmptyCells();

private:
    QString writeChart(const QByteArray& xml)
    {
        const QString path = folder.filePath(QStringLiteral("chart.oxs"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(xml) != xml.size())
            return {};
        return path;
    }
    ChartWindow* openFromMenu(const QString& path)
    {
        QStringList filters;
        answerFileDialog(path, &filters);
        window->findChild<QAction*>(QStringLiteral("mnuOpenProject"))->trigger();
        openFilters = filters;
        return window->findChild<ChartWindow*>();
    }

    QTemporaryDir folder;
    QStringList openFilters;
};

void ChartProjectTest::menuOpensAProjectWithoutAnEffectPreview()
{
    // Saving before there is a chart says so and asks for no file.
    QStringList saveFilters;
    answerFileDialog(folder.filePath(QStringLiteral("never.oxs")), &saveFilters);
    window->findChild<QAction*>(QStringLiteral("mnuSaveProject"))->trigger();
    QCoreApplication::processEvents();
    QVERIFY(saveFilters.isEmpty());
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("还没有绣图可以保存，请先点一次 生成 按钮，或打开一个绣图工程。")});
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("never.oxs"))));
    boxes->texts.clear();

    QVERIFY(!state->previewReady);
    state->chart.xiutuTitle = "设置的标题"; // as the settings window leaves it
    // The chart window comes on screen while the chart is drawn: its first paint must get through.
    const PaintCounter viewPaints(QStringLiteral("Picture1"));
    ChartWindow* chart = openFromMenu(writeChart(halfEmptyChart()));
    QVERIFY(chart != nullptr);
    QVERIFY(chart->isVisible());
    QTRY_VERIFY(viewPaints.paints > 0);
    QCOMPARE(openFilters, QStringList{QStringLiteral("绣图工程 (*.oxs)")});
    QVERIFY(chart->hasChart());
    const ChartModel& model = state->chart;
    QCOMPARE(model.gw, 20);
    QCOMPARE(model.gh, 10);
    QCOMPARE(QString::fromStdString(model.xiutuTitle), QStringLiteral("空格绣图"));
    QVERIFY(model.chartReady);
    QVERIFY(boxes->texts.isEmpty()); // nothing was left out or substituted
    // The canvas is the chart of 20 x 10 stitches: 10 x 20 + 83 pixels wide, or wider for its notes.
    QVERIFY(chart->canvas().width() >= 283);
    QCOMPARE(chart->canvas().height(), 100 + 14 * 3 + 260);

    // The final preview paints the cloth where there is no stitch.
    QImage preview(400, 200, QImage::Format_RGB32);
    preview.fill(Qt::black);
    FinalPreviewWindow::paintStitches(*state, preview);
    QCOMPARE(colorAt(preview, 11 + 3 * 2, 61 + 3 * 2), kBlack);
    QCOMPARE(colorAt(preview, 11 + 3 * 12, 61 + 3 * 2), makeColor(0xC0, 0xE0, 0xFF));
    QCOMPARE(colorAt(preview, 11 + 3 * 15 + 1, 61 + 3 * 5 + 1), kRed666);

    // 绣图设置 shows the title the next chart of the picture gets, not the project's; a new one
    // given there is the one that chart gets, and the project's chart keeps its own.
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command7")), Qt::LeftButton);
    auto* settings = window->findChild<ChartSettingsWindow*>(QStringLiteral("Form3"));
    QVERIFY(settings != nullptr && settings->isVisible());
    auto* title = settings->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QCOMPARE(title->text(), QStringLiteral("设置的标题"));
    title->setText(QStringLiteral("新的标题"));
    QVERIFY(settings->accept());
    QCOMPARE(QString::fromStdString(model.xiutuTitle), QStringLiteral("空格绣图"));

    // The main window's "生成" after an effect preview: the window charts the picture again,
    // under the settings' title.
    state->previewReady = true;
    window->generateChart();
    QVERIFY(!state->chart.fromProject);
    QVERIFY(!state->chart.chartReady);
    QCOMPARE(QString::fromStdString(state->chart.xiutuTitle), QStringLiteral("新的标题"));
}

void ChartProjectTest::emptyCellsGetNoBlockNoSymbolAndCountNowhere()
{
    ChartWindow* chart = openFromMenu(writeChart(halfEmptyChart()));
    QVERIFY(chart != nullptr);
    chart->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("生成绣图色块"));
    chart->findChild<QComboBox*>(QStringLiteral("Combo2"))->setEditText(QStringLiteral("0"));
    chart->generate(); // draws the project's chart again, with blocks now
    QVERIFY(state->chart.fromProject);
    QCOMPARE(state->chart.gw, 20); // not the main window's grid

    const QImage& canvas = chart->canvas();
    const int top = gridTopOf(canvas);
    QVERIFY(top > 0);
    auto cellPixels = [&](int cx, int cy) {
        QList<ColorValue> colours;
        for (int y = top + 10 * cy + 1; y <= top + 10 * cy + 9; ++y)
            for (int x = 40 + 10 * cx + 1; x <= 40 + 10 * cx + 9; ++x)
                colours << colorAt(canvas, x, y);
        return colours;
    };
    // An empty cell is white inside its lines: no block, no symbol.
    for (const auto& [cx, cy] : {std::pair{12, 2}, std::pair{19, 9}, std::pair{10, 0}})
        for (const ColorValue c : cellPixels(cx, cy))
            QCOMPARE(c, kWhite);
    QVERIFY(cellPixels(15, 5).contains(kRed666));
    QVERIFY(cellPixels(3, 3).count(kBlack) > 40); // block and symbol alike are black

    // With the rare-thread box at 0 the legend lists both threads, the single red stitch too.
    const ChartModel& model = state->chart;
    QCOMPARE(model.threadList.size(), std::size_t{2});
    QCOMPARE(model.threadList[0].count, 100);
    QCOMPARE(model.threadList[1].count, 1);
}

void ChartProjectTest::savedProjectHoldsTheEditedChart()
{
    ChartWindow* chart = openFromMenu(writeChart(halfEmptyChart()));
    QVERIFY(chart != nullptr);
    // An edit as the colour replacement leaves it: the red stitch becomes black, then "生成".
    state->chart.colorIndex[static_cast<std::size_t>(15) * ChartModel::kMatrixSide + 5] = 34;
    chart->generate();

    const QString saved = folder.filePath(QStringLiteral("saved"));
    QStringList filters;
    answerFileDialog(saved, &filters);
    window->findChild<QAction*>(QStringLiteral("mnuSaveProject"))->trigger();
    QCOMPARE(filters, QStringList{QStringLiteral("绣图工程 (*.oxs)")});
    QCOMPARE(boxes->texts.value(0), QStringLiteral("  绣图工程保存成功在") + saved + QStringLiteral(".oxs"));

    const OxsReader::Result read = OxsReader::readFile((saved + QStringLiteral(".oxs")).toStdString(), loadedThreadTable());
    QCOMPARE(int(read.error), int(ProjectError::None));
    QCOMPARE(read.project.stitchesPerInch, 16); // the file's own fabric count is kept
    const ChartModel& back = read.project.chart;
    QCOMPARE(back.stitchCount(), 101L);
    QCOMPARE(back.colorList, std::vector<int>{34}); // only black is left
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            QCOMPARE(back.threadAt(x, y), state->chart.threadAt(x, y));
}

void ChartProjectTest::refusedFileKeepsTheChartOnScreen()
{
    ChartWindow* chart = openFromMenu(writeChart(halfEmptyChart()));
    QVERIFY(chart != nullptr);
    const QImage before = chart->canvas();
    chart->chooseProjectToOpen = [this] {
        return writeChart("<?xml version=\"1.0\"?><chart><properties chartwidth=\"2\" chartheight=\"2\"/></chart>");
    };
    chart->openProject();
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->errorIcon.value(0));
    QVERIFY(boxes->texts.value(0).contains(QStringLiteral("文件中没有绣线表(palette)。")));
    QCOMPARE(state->chart.gw, 20);
    QVERIFY(chart->canvas() == before);
}

void ChartProjectTest::editingReplacesThreadsAndKeepsEmptyCells()
{
    ChartWindow* chart = openFromMenu(writeChart(halfEmptyChart()));
    QVERIFY(chart != nullptr);
    const int black = state->chart.threadAt(0, 0);
    const int red = state->chart.threadAt(15, 5);
    QCOMPARE(loadedThreadTable().dmc(black).cindex, 310);
    QCOMPARE(loadedThreadTable().dmc(red).cindex, 666);

    // "编辑" without a picture or an effect preview: the chart's own threads, no prepared picture.
    hub->invokePrepareEdit();
    auto* editor = window->findChild<ColorReplacementWindow*>();
    QVERIFY(editor != nullptr);
    QVERIFY(editor->isVisible());
    QVERIFY(editor->model() != nullptr);
    QCOMPARE(editor->model()->colorList(), (std::vector<int>{black, red}));
    QCOMPARE(editor->model()->threadAt(12, 2), 0); // an empty cell has no thread to replace
    QVERIFY(editor->model()->replaceColor(black, red));
    editor->doneClicked();

    // The chart window shows the edited chart: every stitch red, the empty cells still empty.
    const ChartModel& model = state->chart;
    QVERIFY(model.fromProject);
    QCOMPARE(model.colorList, std::vector<int>{red});
    QCOMPARE(model.stitchCount(), 101L);
    QCOMPARE(model.threadAt(3, 3), red);
    QVERIFY(!model.isStitched(12, 2));
    QCOMPARE(model.threadList.size(), std::size_t{1});
    QCOMPARE(model.threadList[0].count, 101);
    // Red keeps its "b": a thread that leaves (black, "a") moves no other thread's symbol.
    QCOMPARE(QString::fromStdString(std::string(model.symbolOf(red))), QStringLiteral("b"));
    QCOMPARE(QString::fromStdString(std::string(model.symbolOf(black))), QString());
    QVERIFY(chart->hasChart());
}

QTEST_MAIN(ChartProjectTest)
#include "ChartProjectTest.moc"
