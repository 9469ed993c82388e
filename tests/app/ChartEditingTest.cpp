// The chart window as an editor: the stitch tools driven with the mouse on the canvas view, the
// keys of the undo history and the selection, 去除背景 with its preview, and the legend and
// colour count following every change.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include "app/chart/BackgroundRemovalDialog.h"
#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartEditController.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/UnsavedChangesPrompt.h"
#include "app/workspace/MainWindow.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

struct Counted {
    int number;
    int count;
    friend bool operator==(const Counted&, const Counted&) = default;
};

} // namespace

namespace QTest {
template <>
char* toString(const std::vector<Counted>& list)
{
    QString text;
    for (const Counted& c : list)
        text += QStringLiteral("%1x%2 ").arg(c.number).arg(c.count);
    return qstrdup(text.toUtf8().constData());
}
} // namespace QTest

class ChartEditingTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pencilStrokeIsOneStepUndoneAndRedoneByKeys_data();
    void pencilStrokeIsOneStepUndoneAndRedoneByKeys();
    void twoStrokesAreTwoSteps();
    void threadListBoxAndTypedNumbersChooseTheThread();
    void eraserAndFillEmptyAndRecolourRegions();
    void pickerTakesTheThreadOfACellOrALegendEntry();
    void selectionDeleteAndFill();
    void backgroundRemovalPreviewsThenEmptiesTheBorderRegion();
    void backgroundToleranceSliderTakesNearThreads_data();
    void backgroundToleranceSliderTakesNearThreads();
    void aNewGenerationStartsAFreshHistory();

private:
    // The framed chart of openFramedChart().
    void generateChart();
    // The view point over the middle of cell (x, y).
    [[nodiscard]] QPoint cellPoint(int x, int y) const;
    [[nodiscard]] int threadAt(int x, int y) const { return state->chart.threadAt(x, y); }
    [[nodiscard]] std::vector<Counted> legend() const;
    [[nodiscard]] QString colourCount() const { return chart->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(); }
    void useTool(const char* name) { QTest::mouseClick(panel->findChild<QToolButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    void chooseNumber(const char* number);
    // A pencil or eraser drag from cell to cell, in one move.
    void drag(QPoint from, QPoint to);

    ChartWindow* chart = nullptr;
    ChartCanvasView* view = nullptr;
    StitchToolPanel* panel = nullptr;
};

void ChartEditingTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
}

void ChartEditingTest::cleanup()
{
    closeSession();
}

void ChartEditingTest::generateChart()
{
    chart = openFramedChart();
    QVERIFY(chart != nullptr);
    view = chart->canvasView();
    panel = chart->toolPanel();
    QVERIFY(panel->isEnabled());
    QCOMPARE(legend(), (std::vector<Counted>{{310, 240 - 128}, {150, 128}}));
}

QPoint ChartEditingTest::cellPoint(int x, int y) const
{
    const int gridTop = view->layout()->geometry().gridTop;
    return view->canvasToView().map(QPointF(40 + 10 * x + 5, gridTop + 10 * y + 5)).toPoint();
}

std::vector<Counted> ChartEditingTest::legend() const
{
    std::vector<Counted> out;
    for (const ThreadEntry& e : state->chart.threadList)
        out.push_back({loadedThreadTable().dmc(e.index).cindex, e.count});
    return out;
}

void ChartEditingTest::chooseNumber(const char* number)
{
    auto* box = panel->findChild<QLineEdit*>(QStringLiteral("textThreadNumber"));
    box->setFocus();
    QTest::keyClicks(box, QString::fromUtf8(number));
    QTest::keyClick(box, Qt::Key_Return);
}

void ChartEditingTest::drag(QPoint from, QPoint to)
{
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, cellPoint(from.x(), from.y()));
    QTest::mouseMove(view, cellPoint(to.x(), to.y()));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, cellPoint(to.x(), to.y()));
}

void ChartEditingTest::pencilStrokeIsOneStepUndoneAndRedoneByKeys_data()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("zoom 1") << 1.0;
    QTest::newRow("zoom 3, scrolled") << 3.0;
}

void ChartEditingTest::pencilStrokeIsOneStepUndoneAndRedoneByKeys()
{
    QFETCH(double, zoom);
    generateChart();
    view->setZoom(zoom, QPointF(0, 0));
    if (zoom > 1)
        view->setOffset(60, 90);
    chooseNumber("3865");
    const int winterWhite = threadOfNumber(3865);
    QCOMPARE(panel->currentThread(), winterWhite);

    // A drag from cell (0, 1) to (5, 1) in two moves, the second skipping cells: all six set.
    useTool("toolPencil");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, cellPoint(0, 1));
    QTest::mouseMove(view, cellPoint(2, 1));
    QTest::mouseMove(view, cellPoint(5, 1));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, cellPoint(5, 1));
    for (int x = 0; x <= 5; ++x)
        QCOMPARE(threadAt(x, 1), winterWhite);
    QCOMPARE(threadAt(6, 1), threadOfNumber(310));
    // 310 lost its 6 stitches of row 1; 3865 is listed after it by its first stitch at (0, 1).
    QCOMPARE(legend(), (std::vector<Counted>{{310, 106}, {3865, 6}, {150, 128}}));
    QCOMPARE(colourCount(), QStringLiteral("3"));
    QCOMPARE(chart->undoStack()->count(), 1);
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("cmdUndo"))->text(), QStringLiteral("撤销 画笔 DMC 3865"));
    // What 保存 writes shows the edit: cell (3, 1) in the thread's colour.
    const QImage& canvas = chart->canvas();
    const int gridTop = view->layout()->geometry().gridTop;
    QCOMPARE(canvas.pixelColor(40 + 35, gridTop + 15),
        QColor(redOf(loadedThreadTable().colorOf(winterWhite)), greenOf(loadedThreadTable().colorOf(winterWhite)),
            blueOf(loadedThreadTable().colorOf(winterWhite))));

    chart->activateWindow();
    QTest::keyClick(chart, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(threadAt(3, 1), threadOfNumber(310));
    QCOMPARE(legend(), (std::vector<Counted>{{310, 112}, {150, 128}}));
    QCOMPARE(colourCount(), QStringLiteral("2"));
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("cmdRedo"))->text(), QStringLiteral("重做 画笔 DMC 3865"));
    QTest::keyClick(chart, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(threadAt(3, 1), winterWhite);
    QTest::keyClick(chart, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(chart, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(threadAt(0, 1), winterWhite);
    QCOMPARE(legend(), (std::vector<Counted>{{310, 106}, {3865, 6}, {150, 128}}));
}

void ChartEditingTest::twoStrokesAreTwoSteps()
{
    generateChart();
    chooseNumber("3865");
    const int winterWhite = threadOfNumber(3865);
    useTool("toolPencil");
    drag({0, 1}, {5, 1});
    drag({10, 5}, {10, 5});
    QCOMPARE(threadAt(10, 5), winterWhite);
    // Each stroke is a step of its own, though both are of the pencil and the same thread.
    QCOMPARE(chart->undoStack()->count(), 2);
    chart->undoStack()->undo();
    QCOMPARE(threadAt(10, 5), threadOfNumber(150));
    QCOMPARE(threadAt(5, 1), winterWhite);
    QCOMPARE(legend(), (std::vector<Counted>{{310, 106}, {3865, 6}, {150, 128}}));
    chart->undoStack()->undo();
    QCOMPARE(threadAt(0, 1), threadOfNumber(310));
    QCOMPARE(legend(), (std::vector<Counted>{{310, 112}, {150, 128}}));
    chart->undoStack()->redo();
    QCOMPARE(threadAt(5, 1), winterWhite);
    QCOMPARE(threadAt(10, 5), threadOfNumber(150));
}

void ChartEditingTest::threadListBoxAndTypedNumbersChooseTheThread()
{
    generateChart();
    auto* box = panel->findChild<QComboBox*>(QStringLiteral("comboThread"));
    auto* label = panel->findChild<QLabel*>(QStringLiteral("labelThread"));
    auto* number = panel->findChild<QLineEdit*>(QStringLiteral("textThreadNumber"));
    const int black = threadOfNumber(310);
    const int red = threadOfNumber(150);
    // The chart's threads in symbol order, each with its symbol.
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemData(0).toInt(), black);
    QCOMPARE(box->itemData(1).toInt(), red);
    for (int i = 0; i < 2; ++i) {
        const int t = box->itemData(i).toInt();
        const std::string_view symbol = state->chart.symbolOf(t);
        QVERIFY(box->itemText(i).startsWith(QStringLiteral("DMC %1").arg(loadedThreadTable().dmc(t).cindex)));
        QVERIFY(box->itemText(i).endsWith(QString::fromUtf8(symbol.data(), static_cast<int>(symbol.size()))));
    }

    // Choosing in the box makes the thread current.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(panel->currentThread(), red);
    QCOMPARE(label->text(), QStringLiteral("DMC 150"));

    // A typed number of a chart thread selects its entry; the box is cleared for the next.
    chooseNumber("310");
    QCOMPARE(panel->currentThread(), black);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(label->text(), QStringLiteral("DMC 310"));
    QVERIFY(number->text().isEmpty());

    // A thread of the table that the chart lacks: current, but in no entry until it is used.
    chooseNumber("666");
    const int bright = threadOfNumber(666);
    QCOMPARE(panel->currentThread(), bright);
    QCOMPARE(label->text(), QStringLiteral("DMC 666"));
    QCOMPARE(box->currentIndex(), -1);
    useTool("toolPencil");
    drag({5, 5}, {5, 5});
    QCOMPARE(threadAt(5, 5), bright);
    // Symbols 1 and 2 are taken, so it has the third, "c", and is listed last.
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->itemData(2).toInt(), bright);
    QVERIFY(box->itemText(2).startsWith(QStringLiteral("DMC 666")));
    QVERIFY(box->itemText(2).endsWith(QStringLiteral("c")));
    QCOMPARE(box->currentIndex(), 2);
}

void ChartEditingTest::eraserAndFillEmptyAndRecolourRegions()
{
    generateChart();
    useTool("toolEraser");
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(0, 0));
    QCOMPARE(threadAt(0, 0), ChartModel::kNoStitch);
    QCOMPARE(state->chart.stitchCount(), 239L);

    // Fill the frame of 310 (still joined round the erased corner) with 150: 310 leaves the
    // legend and the colour count.
    QVERIFY(panel->setCurrentThread(threadOfNumber(150)));
    useTool("toolFill");
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(19, 11));
    QCOMPARE(threadAt(0, 0), ChartModel::kNoStitch);
    QCOMPARE(threadAt(1, 0), threadOfNumber(150));
    QCOMPARE(legend(), (std::vector<Counted>{{150, 239}}));
    QCOMPARE(colourCount(), QStringLiteral("1"));
    QCOMPARE(state->chart.symbolOf(threadOfNumber(310)), std::string_view());

    // Filling the empty corner makes it a stitch again.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(0, 0));
    QCOMPARE(state->chart.stitchCount(), 240L);
    QCOMPARE(chart->undoStack()->count(), 3);
}

void ChartEditingTest::pickerTakesTheThreadOfACellOrALegendEntry()
{
    generateChart();
    useTool("toolPicker");
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(5, 5));
    QCOMPARE(panel->currentThread(), threadOfNumber(150));
    // Legend entry 1 (310): the first entry column of the legend's thread-number row.
    const ChartGeometry& g = view->layout()->geometry();
    view->setOffset(0, std::max(0, g.legendTop - 100));
    const QPoint entry = view->canvasToView().map(QPointF(40 + 38 + 20, g.legendTop + 14 + 7)).toPoint();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, entry);
    QCOMPARE(panel->currentThread(), threadOfNumber(310));
    QCOMPARE(chart->undoStack()->count(), 0);
}

void ChartEditingTest::selectionDeleteAndFill()
{
    generateChart();
    useTool("toolSelect");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, cellPoint(3, 2));
    QTest::mouseMove(view, cellPoint(1, 1));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, cellPoint(1, 1));
    QCOMPARE(chart->editing()->selection(), std::optional<CellRect>(CellRect{1, 1, 3, 2}));

    chart->activateWindow();
    QTest::keyClick(chart, Qt::Key_Delete);
    for (int x = 1; x <= 3; ++x)
        for (int y = 1; y <= 2; ++y)
            QCOMPARE(threadAt(x, y), ChartModel::kNoStitch);
    QCOMPARE(threadAt(0, 1), threadOfNumber(310));
    QCOMPARE(state->chart.stitchCount(), 234L);

    QVERIFY(panel->setCurrentThread(threadOfNumber(3865)));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("cmdFillSelection")), Qt::LeftButton);
    QCOMPARE(threadAt(2, 2), threadOfNumber(3865));
    // The selection held four stitches of the frame's 310 and two of the inside's 150.
    QCOMPARE(legend(), (std::vector<Counted>{{310, 108}, {3865, 6}, {150, 126}}));
    QCOMPARE(chart->undoStack()->count(), 2);
    chart->undoStack()->undo();
    chart->undoStack()->undo();
    QCOMPARE(threadAt(2, 2), threadOfNumber(150));
    QCOMPARE(legend(), (std::vector<Counted>{{310, 112}, {150, 128}}));
}

void ChartEditingTest::backgroundRemovalPreviewsThenEmptiesTheBorderRegion()
{
    generateChart();
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("cmdRemoveBackground")), Qt::LeftButton);
    BackgroundRemovalDialog* dialog = chart->editing()->backgroundDialog();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    // By default the border's thread, 310: the whole frame, nothing removed yet.
    QCOMPARE(chart->editing()->backgroundPreview().size(), std::size_t{112});
    QCOMPARE(state->chart.stitchCount(), 240L);
    QCOMPARE(chart->undoStack()->count(), 0);

    // A click on the inner 150 chooses it: it does not touch the border, so nothing would go.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(9, 6));
    QCOMPARE(chart->editing()->backgroundPreview().size(), std::size_t{0});
    QCOMPARE(threadAt(9, 6), threadOfNumber(150)); // the click only chose
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(0, 0));
    QCOMPARE(chart->editing()->backgroundPreview().size(), std::size_t{112});

    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdApplyBackground")), Qt::LeftButton);
    QCOMPARE(threadAt(0, 0), ChartModel::kNoStitch);
    QCOMPARE(threadAt(18, 9), ChartModel::kNoStitch);
    QCOMPARE(threadAt(17, 9), threadOfNumber(150));
    QCOMPARE(threadAt(2, 2), threadOfNumber(150));
    QCOMPARE(legend(), (std::vector<Counted>{{150, 128}}));
    QCOMPARE(colourCount(), QStringLiteral("1"));
    QVERIFY(chart->editing()->backgroundPreview().empty());
    QCOMPARE(chart->undoStack()->count(), 1);
    chart->undoStack()->undo();
    QCOMPARE(state->chart.stitchCount(), 240L);
    QCOMPARE(legend(), (std::vector<Counted>{{310, 112}, {150, 128}}));
}

void ChartEditingTest::backgroundToleranceSliderTakesNearThreads_data()
{
    // The frame holds 100 stitches of 310 after six of 939 on the top row and six of 938 on the
    // bottom row. CIEDE2000 from 310 (black), worked out from the card's colours: 939 12.06,
    // 938 20.33, 150 (the inside) 36.15.
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("stitches");
    QTest::newRow("0: 310 only") << 0 << 100;
    QTest::newRow("15: and 939") << 15 << 106;
    QTest::newRow("25: and 938") << 25 << 112;
    QTest::newRow("40: and the inside's 150") << 40 << 240;
}

void ChartEditingTest::backgroundToleranceSliderTakesNearThreads()
{
    QFETCH(int, tolerance);
    QFETCH(int, stitches);
    generateChart();
    useTool("toolPencil");
    chooseNumber("939");
    drag({3, 0}, {8, 0});
    chooseNumber("938");
    drag({11, 11}, {16, 11});
    // Listed by first stitch, row by row: 939 at (3, 0) comes before 150 at (2, 2).
    QCOMPARE(legend(), (std::vector<Counted>{{310, 100}, {939, 6}, {150, 128}, {938, 6}}));

    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("cmdRemoveBackground")), Qt::LeftButton);
    BackgroundRemovalDialog* dialog = chart->editing()->backgroundDialog();
    QVERIFY(dialog != nullptr);
    auto* slider = dialog->findChild<QSlider*>(QStringLiteral("sliderTolerance"));
    // Opened at 10: 939 is further than that.
    QCOMPARE(slider->value(), 10);
    QCOMPARE(chart->editing()->backgroundPreview().size(), std::size_t{100});
    slider->setFocus();
    // Moved as the user moves it, from the keyboard: End, then down to the wanted value.
    QTest::keyClick(slider, Qt::Key_End);
    for (int v = slider->maximum(); v > tolerance; --v)
        QTest::keyClick(slider, Qt::Key_Left);
    QCOMPARE(slider->value(), tolerance);
    QCOMPARE(chart->editing()->backgroundPreview().size(), std::size_t(stitches));

    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdApplyBackground")), Qt::LeftButton);
    QCOMPARE(state->chart.stitchCount(), 240L - stitches);
    QCOMPARE(threadAt(0, 0), ChartModel::kNoStitch);
    QCOMPARE(threadAt(4, 0), tolerance >= 15 ? ChartModel::kNoStitch : threadOfNumber(939));
    QCOMPARE(threadAt(12, 11), tolerance >= 25 ? ChartModel::kNoStitch : threadOfNumber(938));
    chart->undoStack()->undo();
    QCOMPARE(state->chart.stitchCount(), 240L);
}

void ChartEditingTest::aNewGenerationStartsAFreshHistory()
{
    generateChart();
    QVERIFY(panel->setCurrentThread(threadOfNumber(3865)));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(4, 4));
    QCOMPARE(chart->undoStack()->count(), 1);
    chart->askToSave = [] { return UnsavedChangesPrompt::Choice::Discard; };
    chart->generate();
    QCOMPARE(chart->undoStack()->count(), 0);
    QCOMPARE(threadAt(4, 4), threadOfNumber(150));
    // and the tools work on the new chart
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cellPoint(4, 4));
    QCOMPARE(threadAt(4, 4), threadOfNumber(3865));
}

QTEST_MAIN(ChartEditingTest)
#include "ChartEditingTest.moc"
