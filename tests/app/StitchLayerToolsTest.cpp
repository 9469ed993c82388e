// The chart window's tools for back stitches, part stitches and French knots, the eraser and
// the picker on every stitch kind, and the status bar naming what lies under the pointer, all
// driven with the mouse on the canvas view at two zooms.
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartEditController.h"
#include "app/chart/ChartNavigationBar.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/StitchToolPanel.h"
#include "app/workspace/MainWindow.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

// A move with no button held, as the pointer passing over the view.
void hover(QWidget* target, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

} // namespace

class StitchLayerToolsTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void backStitchDragGivesThatSegment_data() { zooms(); }
    void backStitchDragGivesThatSegment();
    void backStitchChainIsOneStepEndedByEscOrRightClick_data() { zooms(); }
    void backStitchChainIsOneStepEndedByEscOrRightClick();
    void halfAndQuarterStitchesByTheToolsChoice_data() { zooms(); }
    void halfAndQuarterStitchesByTheToolsChoice();
    void knotGoesOnTheNearestLatticePoint_data() { zooms(); }
    void knotGoesOnTheNearestLatticePoint();
    void eraserRemovesTheElementUnderThePointer_data() { zooms(); }
    void eraserRemovesTheElementUnderThePointer();
    void pickerAndStatusBarOnEveryKind_data() { zooms(); }
    void pickerAndStatusBarOnEveryKind();
    void deletingTheSelectionTakesTheLayersWithinIt_data() { zooms(); }
    void deletingTheSelectionTakesTheLayersWithinIt();

private:
    static void zooms();
    // The framed chart of openFramedChart(), at the row's zoom.
    void generateChart();
    // The view point over a chart point in cell units from the grid's top-left corner.
    [[nodiscard]] QPoint at(double x, double y) const;
    void useTool(const char* name) { QTest::mouseClick(panel->findChild<QToolButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    void click(double x, double y) { QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at(x, y)); }
    [[nodiscard]] const StitchLayers& layers() const { return state->chart.layers; }
    [[nodiscard]] int steps() const { return chart->undoStack()->count(); }

    ChartWindow* chart = nullptr;
    ChartCanvasView* view = nullptr;
    StitchToolPanel* panel = nullptr;
    int t310 = 0;
    int t150 = 0;
    int t3865 = 0;
};

void StitchLayerToolsTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    t310 = threadOfNumber(310);
    t150 = threadOfNumber(150);
    t3865 = threadOfNumber(3865);
}

void StitchLayerToolsTest::cleanup()
{
    closeSession();
}

void StitchLayerToolsTest::zooms()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("zoom 1") << 1.0;
    QTest::newRow("zoom 3, scrolled") << 3.0;
}

void StitchLayerToolsTest::generateChart()
{
    QFETCH(double, zoom);
    chart = openFramedChart();
    QVERIFY(chart != nullptr);
    view = chart->canvasView();
    panel = chart->toolPanel();
    view->setZoom(zoom, QPointF(0, 0));
    if (zoom > 1)
        view->setOffset(60, 90);
    QVERIFY(panel->setCurrentThread(t3865));
}

QPoint StitchLayerToolsTest::at(double x, double y) const
{
    const int gridTop = view->layout()->geometry().gridTop;
    return view->canvasToView().map(QPointF(40 + 10 * x, gridTop + 10 * y)).toPoint();
}

void StitchLayerToolsTest::backStitchDragGivesThatSegment()
{
    generateChart();
    useTool("toolBackStitch");
    // From the corner (2, 3) to the centre of cell (3, 4), released a little off it.
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(2, 3));
    QTest::mouseMove(view, at(2.6, 3.4));
    QTest::mouseMove(view, at(3.4, 4.6));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(3.4, 4.6));
    QCOMPARE(layers().backs, (std::vector<BackStitch>{{{2, 3}, {3.5, 4.5}, t3865}}));
    QCOMPARE(steps(), 1);
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("cmdUndo"))->text(), QStringLiteral("撤销 回针 DMC 3865"));
    // 3865 is a thread of the chart now: a symbol, an entry after the others, the colour count.
    QCOMPARE(state->chart.chrIndex[static_cast<std::size_t>(t3865)], 3);
    QCOMPARE(state->chart.threadList.back().index, t3865);
    QCOMPARE(state->chart.threadList.back().count, 0);
    QCOMPARE(state->chart.colorCount, 3);
    QCOMPARE(state->chart.stitchCount(), 240L); // the cells are untouched

    chart->undoStack()->undo();
    QVERIFY(layers().backs.empty());
    QCOMPARE(state->chart.colorCount, 2);
    QCOMPARE(state->chart.threadList.size(), std::size_t{2});
}

void StitchLayerToolsTest::backStitchChainIsOneStepEndedByEscOrRightClick()
{
    generateChart();
    useTool("toolBackStitch");
    click(1, 1);
    click(4, 1);
    click(4.5, 2.5);
    QTest::keyClick(view, Qt::Key_Escape);
    click(6, 6); // a new chain starts: nothing yet
    const std::vector<BackStitch> chain{{{1, 1}, {4, 1}, t3865}, {{4, 1}, {4.5, 2.5}, t3865}};
    QCOMPARE(layers().backs, chain);
    QCOMPARE(steps(), 1);

    click(7, 6);
    QCOMPARE(steps(), 2);
    QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, at(7, 6));
    click(9, 9); // after the right click, again only a start
    std::vector<BackStitch> all = chain;
    all.push_back({{6, 6}, {7, 6}, t3865});
    QCOMPARE(layers().backs, all);

    chart->undoStack()->undo();
    chart->undoStack()->undo();
    QVERIFY(layers().backs.empty());
    chart->undoStack()->redo();
    QCOMPARE(layers().backs, chain);
}

void StitchLayerToolsTest::halfAndQuarterStitchesByTheToolsChoice()
{
    generateChart();
    useTool("partSlash");
    QCOMPARE(panel->tool(), StitchToolPanel::Tool::HalfStitch);
    click(5.5, 5.5);
    useTool("partBackslash");
    click(6.5, 5.5);
    useTool("partQuarter");
    click(7.8, 5.7); // the bottom-right corner of cell (7, 5)
    click(8.2, 5.1); // the top-left corner of cell (8, 5)
    QCOMPARE(layers().parts, (std::vector<PartStitch>{{5, 5, kHalfSlash, t3865}, {6, 5, kHalfBackslash, t3865},
                                 {7, 5, kBottomRight, t3865}, {8, 5, kTopLeft, t3865}}));
    // Each replaced the cell's cross of 150.
    QCOMPARE(state->chart.threadAt(5, 5), ChartModel::kNoStitch);
    QCOMPARE(state->chart.threadAt(8, 5), ChartModel::kNoStitch);
    QCOMPARE(state->chart.threadAt(9, 5), t150);
    QCOMPARE(state->chart.stitchCount(), 236L);
    QCOMPARE(state->chart.threadList[1].count, 124);
    QCOMPARE(steps(), 4);
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("cmdUndo"))->text(), QStringLiteral("撤销 四分之一针 DMC 3865"));
    chart->undoStack()->undo();
    QCOMPARE(state->chart.threadAt(8, 5), t150);
    QCOMPARE(layers().parts.size(), std::size_t{3});
}

void StitchLayerToolsTest::knotGoesOnTheNearestLatticePoint()
{
    generateChart();
    useTool("toolKnot");
    click(3.3, 4.2);
    click(10.9, 7.7);
    QCOMPARE(layers().ornaments,
        (std::vector<Ornament>{{{3.5, 4}, OrnamentKind::Knot, t3865}, {{11, 7.5}, OrnamentKind::Knot, t3865}}));
    QCOMPARE(steps(), 2);
    QCOMPARE(state->chart.stitchCount(), 240L);
}

void StitchLayerToolsTest::eraserRemovesTheElementUnderThePointer()
{
    generateChart();
    useTool("toolBackStitch");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(1, 1));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(4, 1));
    useTool("toolKnot");
    click(6, 6);
    useTool("partSlash");
    click(8.5, 8.5);
    QCOMPARE(steps(), 3);

    useTool("toolEraser");
    click(2.5, 1.1); // on the back stitch, over a cross of 310
    QVERIFY(layers().backs.empty());
    QCOMPARE(state->chart.threadAt(2, 1), t310);
    click(6.2, 5.9);
    QVERIFY(layers().ornaments.empty());
    click(8.3, 8.8);
    QVERIFY(layers().parts.empty());
    QCOMPARE(state->chart.threadAt(8, 8), ChartModel::kNoStitch);
    // 3865 is gone from the chart with its last element.
    QCOMPARE(state->chart.chrIndex[static_cast<std::size_t>(t3865)], 0);
    QCOMPARE(state->chart.colorCount, 2);
    QCOMPARE(steps(), 6);

    // With the back stitches hidden, the eraser passes through them to the cell.
    chart->undoStack()->undo();
    chart->undoStack()->undo();
    chart->undoStack()->undo();
    QCOMPARE(layers().backs.size(), std::size_t{1});
    chart->editing()->layerVisible = [](StitchLayerKind kind) { return kind != StitchLayerKind::Back; };
    click(2.5, 1.1);
    QCOMPARE(layers().backs.size(), std::size_t{1});
    QCOMPARE(state->chart.threadAt(2, 1), ChartModel::kNoStitch);
    chart->editing()->layerVisible = nullptr;
}

void StitchLayerToolsTest::pickerAndStatusBarOnEveryKind()
{
    generateChart();
    useTool("toolBackStitch");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(3, 3));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(3, 6));
    QVERIFY(panel->setCurrentThread(t310));
    useTool("toolKnot");
    click(10, 5);
    QVERIFY(panel->setCurrentThread(threadOfNumber(996)));
    useTool("partQuarter");
    click(12.2, 7.2);

    auto* bar = chart->findChild<ChartNavigationBar*>();
    QVERIFY(bar != nullptr);
    hover(view, at(3.1, 4.5));
    QCOMPARE(bar->cellText(), QStringLiteral("第5行 第4列  回针 DMC 3865"));
    hover(view, at(10.1, 5.2));
    QCOMPARE(bar->cellText(), QStringLiteral("第6行 第11列  法式结 DMC 310"));
    hover(view, at(12.3, 7.4));
    QCOMPARE(bar->cellText(), QStringLiteral("第8行 第13列  四分之一针 DMC 996"));
    hover(view, at(14.5, 7.5));
    QCOMPARE(bar->cellText(), QStringLiteral("第8行 第15列  DMC 150  符号 %1").arg(QString::fromUtf8(std::string(state->chart.symbolOf(t150)).c_str())));

    useTool("toolPicker");
    click(3.1, 4.5);
    QCOMPARE(panel->currentThread(), t3865);
    click(10.1, 5.2);
    QCOMPARE(panel->currentThread(), t310);
    click(12.3, 7.4);
    QCOMPARE(panel->currentThread(), threadOfNumber(996));
    click(14.5, 7.5);
    QCOMPARE(panel->currentThread(), t150);
    QCOMPARE(steps(), 3);
}

void StitchLayerToolsTest::deletingTheSelectionTakesTheLayersWithinIt()
{
    generateChart();
    // The selection will be cells (3, 3) to (7, 6): its outline runs from (3, 3) to (8, 7).
    useTool("toolBackStitch");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(3, 3)); // from its corner, inside
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(5, 4));
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(7, 5)); // running out of it
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(9, 5));
    useTool("toolKnot");
    click(8, 7);   // on its corner
    click(8.5, 5); // half a cell right of it
    useTool("partSlash");
    click(5.5, 5.5); // in a cell of it
    useTool("partQuarter");
    click(8.2, 4.2); // the top-left quarter of cell (8, 4), right of it
    QCOMPARE(steps(), 6);
    const StitchLayers before = layers();
    const std::vector<ThreadEntry> legendBefore = state->chart.threadList;

    useTool("toolSelect");
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at(7.5, 6.5));
    QTest::mouseMove(view, at(3.5, 3.5));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at(3.5, 3.5));
    QCOMPARE(chart->editing()->selection(), std::optional<CellRect>(CellRect{3, 3, 5, 4}));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("cmdClearSelection")), Qt::LeftButton);

    QCOMPARE(layers().backs, (std::vector<BackStitch>{{{7, 5}, {9, 5}, t3865}}));
    QCOMPARE(layers().ornaments, (std::vector<Ornament>{{{8.5, 5}, OrnamentKind::Knot, t3865}}));
    QCOMPARE(layers().parts, (std::vector<PartStitch>{{8, 4, kTopLeft, t3865}}));
    for (int x = 3; x <= 7; ++x)
        for (int y = 3; y <= 6; ++y)
            QCOMPARE(state->chart.threadAt(x, y), ChartModel::kNoStitch);
    QCOMPARE(state->chart.threadAt(8, 6), t150);
    // 150 had 128 cells, less the two the part stitches took and the selection's other 19.
    QCOMPARE(state->chart.threadList.size(), std::size_t{3});
    QCOMPARE(state->chart.threadList[1].count, 107);
    QCOMPARE(state->chart.threadList[2].index, t3865);
    QCOMPARE(steps(), 7);
    QCOMPARE(panel->findChild<QToolButton*>(QStringLiteral("cmdUndo"))->text(), QStringLiteral("撤销 删除选区"));
    const StitchLayers after = layers();

    chart->undoStack()->undo();
    QCOMPARE(layers(), before);
    QCOMPARE(state->chart.threadList, legendBefore);
    QCOMPARE(state->chart.threadAt(4, 4), t150);
    chart->undoStack()->redo();
    QCOMPARE(layers(), after);
    QCOMPARE(state->chart.threadList[1].count, 107);
}

QTEST_MAIN(StitchLayerToolsTest)
#include "StitchLayerToolsTest.moc"
