// The chart window's view: zoom, scrolling, panning, the canvas signals the editing tools take,
// the status bar, and drawing only the cells in view while showing the whole chart.
#include <QComboBox>
#include <QPainter>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/StitchToolPanel.h"
#include "app/workspace/MainWindow.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

constexpr ColorValue kBlack = makeColor(0, 0, 0);          // thread 310
constexpr ColorValue kThread150 = makeColor(0xAB, 0x02, 0x49); // thread 150

void wheel(QWidget* target, QPoint at, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches),
        Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// The first row of the canvas with a thin grid line at x = 13: the grid's top edge.
int gridTopOf(const QImage& canvas)
{
    int top = 0;
    while (top < canvas.height() && canvas.pixelColor(13, top) != QColor(166, 166, 166))
        ++top;
    return top;
}

// The pointer moved over target to at, no button held.
void hover(QWidget* target, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

} // namespace

class ChartNavigationTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void generationShowsTopLeftAndScrollingEndsAtTheContent();
    void ctrlWheelAndKeysZoomAroundThePointer();
    void wheelScrollsAndShiftWheelScrollsSideways();
    void leftButtonReachesTheCanvasSignals();
    void middleAndSpaceDragPanWithoutSignals_data();
    void middleAndSpaceDragPanWithoutSignals();
    void overlayIsPaintedInViewPixels();
    void fitToWindowShowsTheWholeChart();
    void viewPaintsWhatTheCanvasHolds();
    void refreshChartShowsAnEditedCellEverywhere();
    void statusBarNamesTheCellUnderThePointer();
    void zoomKeepsTheCellUnderThePointer_data();
    void zoomKeepsTheCellUnderThePointer();
    void statusBarFollowsAnEditWithoutAMove();

private:
    // A 60 x 40 chart in blocks and symbols: 310 left of column 30, 150 right of it; the chart
    // window 1300 x 800 with the view scrolled to the top-left at zoom 1.
    void generateChart();

    ChartWindow* chart = nullptr;
    ChartCanvasView* view = nullptr;
    QScrollBar* horizontal = nullptr;
    QScrollBar* vertical = nullptr;
};

void ChartNavigationTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
}

void ChartNavigationTest::cleanup()
{
    closeSession();
}

void ChartNavigationTest::generateChart()
{
    state->stitchMatrix = StitchMatrix();
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 40; ++y)
            state->stitchMatrix.set(x, y, x < 30 ? kBlack : kThread150);
    state->picW = 60;
    state->picH = 40;
    state->previewReady = true;
    window->generateChart();
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr);
    chart->resize(1300, 800);
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    chart->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("生成绣图色块"));
    view = chart->canvasView();
    horizontal = chart->findChild<QScrollBar*>(QStringLiteral("HScroll2"));
    vertical = chart->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    chart->generate();
    QVERIFY(view->showsChart());
}

void ChartNavigationTest::generationShowsTopLeftAndScrollingEndsAtTheContent()
{
    generateChart();
    // 10 x 60 + 83 = 683 wide, so at zoom 1 no sideways scrolling in a view wider than that; the
    // drawing followed the rows down, but the chart's top-left is shown at the end.
    QCOMPARE(view->zoom(), 1.0);
    QCOMPARE(horizontal->value(), 0);
    QCOMPARE(vertical->value(), 0);
    const QImage& canvas = chart->canvas();
    QCOMPARE(canvas.width(), 683);
    QCOMPARE(horizontal->maximum(), std::max(0, 683 - view->width()));
    QCOMPARE(vertical->maximum(), canvas.height() - view->height());
    QCOMPARE(vertical->pageStep(), view->height());

    // Scrolled down and zoomed in, the next generation comes back to the top-left.
    view->setZoom(2.0, QPointF());
    vertical->setValue(vertical->maximum());
    QCOMPARE(horizontal->maximum(), 2 * 683 - view->width());
    QCOMPARE(vertical->value(), 2 * canvas.height() - view->height());
    chart->generate();
    QCOMPARE(horizontal->value(), 0);
    QCOMPARE(vertical->value(), 0);
}

void ChartNavigationTest::ctrlWheelAndKeysZoomAroundThePointer()
{
    generateChart();
    view->setZoom(2.0, QPointF());
    horizontal->setValue(200);
    vertical->setValue(300);
    QSignalSpy zoomed(view, &ChartCanvasView::zoomChanged);
    const QPoint pointer(300, 200);
    const QPointF under = view->toCanvas(pointer);
    wheel(view, pointer, 1, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 2.5);
    QCOMPARE(zoomed.count(), 1);
    // The canvas point under the pointer stays there (to the pixel the scroll bars can hold).
    QVERIFY(std::abs(view->toCanvas(pointer).x() - under.x()) <= 1.0);
    QVERIFY(std::abs(view->toCanvas(pointer).y() - under.y()) <= 1.0);
    QCOMPARE(chart->findChild<QLabel*>(QStringLiteral("lblZoom"))->text(), QStringLiteral("缩放 250%"));

    // Up to 40 pixels a cell, down to the whole chart in the window.
    wheel(view, pointer, 20, Qt::ControlModifier);
    QCOMPARE(view->zoom(), ChartCanvasView::kMaxZoom);
    wheel(view, pointer, -40, Qt::ControlModifier);
    QCOMPARE(view->zoom(), view->minZoom());
    const QSize content = view->contentSize();
    QVERIFY(content.height() * view->zoom() <= view->height() + 1);
    QCOMPARE(vertical->maximum(), 0);

    // "+" and "-" work wherever the window's focus is.
    view->setZoom(1.0, QPointF());
    chart->activateWindow();
    QTest::keyClick(chart, Qt::Key_Plus);
    QCOMPARE(view->zoom(), 1.25);
    QTest::keyClick(chart, Qt::Key_Minus);
    QCOMPARE(view->zoom(), 1.0);
}

void ChartNavigationTest::wheelScrollsAndShiftWheelScrollsSideways()
{
    generateChart();
    view->setZoom(2.0, QPointF());
    wheel(view, QPoint(100, 100), -1);
    QCOMPARE(vertical->value(), 60);
    QCOMPARE(horizontal->value(), 0);
    wheel(view, QPoint(100, 100), -2, Qt::ShiftModifier);
    QCOMPARE(horizontal->value(), 120);
    QCOMPARE(vertical->value(), 60);
    wheel(view, QPoint(100, 100), 5);
    QCOMPARE(vertical->value(), 0);
}

void ChartNavigationTest::leftButtonReachesTheCanvasSignals()
{
    generateChart();
    view->setZoom(2.0, QPointF());
    horizontal->setValue(100);
    vertical->setValue(40);
    QSignalSpy pressed(view, &ChartCanvasView::canvasPressed);
    QSignalSpy dragged(view, &ChartCanvasView::canvasDragged);
    QSignalSpy released(view, &ChartCanvasView::canvasReleased);

    // View (30, 20) at zoom 2 scrolled by (100, 40) is canvas ((30 + 100) / 2, (20 + 40) / 2).
    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 20));
    QTest::mouseMove(view, QPoint(50, 60));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(51, 61));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.at(0).at(0).toPointF(), QPointF(65, 30));
    QCOMPARE(pressed.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(dragged.count(), 1);
    QCOMPARE(dragged.at(0).at(0).toPointF(), QPointF(75, 50));
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(0).toPointF(), QPointF(75.5, 50.5));

    // A move without a button only moves the status bar's pointer.
    hover(view, QPoint(80, 80));
    QCOMPARE(dragged.count(), 1);
}

void ChartNavigationTest::middleAndSpaceDragPanWithoutSignals_data()
{
    QTest::addColumn<bool>("space");
    QTest::newRow("middle button") << false;
    QTest::newRow("space and left button") << true;
}

void ChartNavigationTest::middleAndSpaceDragPanWithoutSignals()
{
    QFETCH(bool, space);
    generateChart();
    view->setZoom(2.0, QPointF());
    horizontal->setValue(100);
    vertical->setValue(100);
    QSignalSpy pressed(view, &ChartCanvasView::canvasPressed);
    QSignalSpy dragged(view, &ChartCanvasView::canvasDragged);
    QSignalSpy released(view, &ChartCanvasView::canvasReleased);
    const Qt::MouseButton button = space ? Qt::LeftButton : Qt::MiddleButton;
    view->setFocus();
    if (space)
        QTest::keyPress(view, Qt::Key_Space);
    QTest::mousePress(view, button, Qt::NoModifier, QPoint(200, 200));
    QMouseEvent move(QEvent::MouseMove, QPointF(170, 150), view->mapToGlobal(QPointF(170, 150)), Qt::NoButton,
        button, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, button, Qt::NoModifier, QPoint(170, 150));
    if (space)
        QTest::keyRelease(view, Qt::Key_Space);
    // Dragged up and left by (30, 50): the chart follows the pointer.
    QCOMPARE(horizontal->value(), 130);
    QCOMPARE(vertical->value(), 150);
    QCOMPARE(pressed.count() + dragged.count() + released.count(), 0);
}

void ChartNavigationTest::overlayIsPaintedInViewPixels()
{
    generateChart();
    view->setZoom(2.0, QPointF());
    horizontal->setValue(10);
    vertical->setValue(20);
    QTransform seen;
    int calls = 0;
    view->drawOverlay = [&](QPainter& painter, const QTransform& canvasToView) {
        ++calls;
        seen = canvasToView;
        painter.fillRect(canvasToView.mapRect(QRectF(100, 100, 10, 10)), Qt::green);
    };
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(calls >= 1);
    QCOMPARE(seen.map(QPointF(100, 100)), QPointF(2 * 100 - 10, 2 * 100 - 20));
    // The overlay lies over the chart: canvas (105, 105) is view (200, 190).
    QCOMPARE(shot.pixel(200, 190), qRgb(0, 255, 0));
    view->drawOverlay = nullptr;
}

void ChartNavigationTest::fitToWindowShowsTheWholeChart()
{
    generateChart();
    view->setZoom(3.0, QPoint(100, 100));
    chart->findChild<QPushButton*>(QStringLiteral("cmdFitWindow"))->click();
    const QSize content = view->contentSize();
    const double expected = std::min(double(view->width()) / content.width(), double(view->height()) / content.height());
    QCOMPARE(view->zoom(), expected);
    QCOMPARE(horizontal->maximum(), 0);
    QCOMPARE(vertical->maximum(), 0);
    QCOMPARE(view->offset(), QPoint(0, 0));
}

void ChartNavigationTest::viewPaintsWhatTheCanvasHolds()
{
    // The view lays out and paints only the cells in view, the canvas the whole chart at once:
    // at zoom 1 both must show the same pixels, here over the middle of the chart.
    generateChart();
    horizontal->setValue(horizontal->maximum() / 2);
    vertical->setValue(150);
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint offset = view->offset();
    const QImage expected = chart->canvas().copy(QRect(offset, view->size())).convertToFormat(QImage::Format_RGB32);
    const QRect compared = QRect(QPoint(0, 0), view->size()).intersected(QRect(-offset, chart->canvas().size()));
    QVERIFY(compared.height() > 300);
    QCOMPARE(shot.copy(compared), expected.copy(compared));
}

void ChartNavigationTest::refreshChartShowsAnEditedCellEverywhere()
{
    generateChart();
    // Column 40 at zoom 2 lies 900 pixels in: the view beside the stitch tools must reach it.
    chart->resize(1300, 700);
    QCoreApplication::processEvents();
    view->setZoom(2.0, QPointF());
    ChartModel& model = state->chart;
    const int thread310 = model.threadAt(0, 0);
    // Cell (2, 3) becomes empty, cell (40, 5) becomes 310; the editor calls refreshChart().
    model.colorIndex[2 * ChartModel::kMatrixSide + 3] = ChartModel::kNoStitch;
    model.colorIndex[40 * ChartModel::kMatrixSide + 5] = thread310;
    chart->refreshChart();

    const QImage& canvas = chart->canvas();
    const int gridTop = gridTopOf(canvas);
    // The saved canvas: the empty cell white, the other cell's block black (its top-right
    // corner, clear of the symbol).
    QCOMPARE(canvas.pixelColor(40 + 20 + 5, gridTop + 30 + 5), QColor(Qt::white));
    QCOMPARE(canvas.pixelColor(40 + 400 + 9, gridTop + 50 + 1), QColor(Qt::black));
    // The view at zoom 2.
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(2 * (40 + 20 + 5), 2 * (gridTop + 30 + 5)), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(2 * (40 + 400 + 9), 2 * (gridTop + 50 + 1)), qRgb(0, 0, 0));
}

void ChartNavigationTest::statusBarNamesTheCellUnderThePointer()
{
    generateChart();
    const QImage& canvas = chart->canvas();
    const int gridTop = gridTopOf(canvas);
    const QLabel* status = chart->findChild<QLabel*>(QStringLiteral("lblPointerCell"));
    const int thread150 = state->chart.threadAt(59, 0);
    const QString symbol = QString::fromUtf8(std::string(state->chart.symbolOf(thread150)).c_str());
    QVERIFY(!symbol.isEmpty());

    // At zoom 1 from the top-left, a view pixel is a canvas pixel: column 31 (index 30) of row 1.
    hover(view, QPoint(40 + 300 + 5, gridTop + 5));
    QCOMPARE(status->text(), QStringLiteral("第1行 第31列  DMC 150  符号 %1").arg(symbol));
    // Zoomed, the same cell lies twice as far.
    view->setZoom(2.0, QPointF());
    hover(view, QPoint(2 * (40 + 300 + 5), 2 * (gridTop + 5)));
    QCOMPARE(status->text(), QStringLiteral("第1行 第31列  DMC 150  符号 %1").arg(symbol));
    // An empty cell, and a point off the grid.
    state->chart.colorIndex[0] = ChartModel::kNoStitch;
    chart->refreshChart();
    hover(view, QPoint(2 * (40 + 5), 2 * (gridTop + 5)));
    QCOMPARE(status->text(), QStringLiteral("第1行 第1列  空"));
    hover(view, QPoint(10, 10));
    QCOMPARE(status->text(), QString());
}

void ChartNavigationTest::zoomKeepsTheCellUnderThePointer_data()
{
    QTest::addColumn<double>("startZoom"); // 0: "适合窗口"
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("notches");     // per wheel turn, three turns
    QTest::newRow("fitted, in") << 0.0 << QPoint(300, 150) << 1;
    QTest::newRow("fitted, in by two") << 0.0 << QPoint(200, 250) << 2;
    QTest::newRow("zoom 1, in near the right of the chart") << 1.0 << QPoint(600, 200) << 1;
    QTest::newRow("zoom 3 at the right, out") << 3.0 << QPoint(500, 400) << -1;
}

// Ctrl+wheel keeps the cell under the pointer where it is, from any zoom, the fitted view too,
// and the status bar goes on naming it.
void ChartNavigationTest::zoomKeepsTheCellUnderThePointer()
{
    QFETCH(double, startZoom);
    QFETCH(QPoint, pointer);
    QFETCH(int, notches);
    generateChart();
    if (startZoom == 0.0) {
        chart->findChild<QPushButton*>(QStringLiteral("cmdFitWindow"))->click();
    } else {
        // At the right-hand end of the chart, a little down the grid.
        view->setZoom(startZoom, QPointF());
        horizontal->setValue(horizontal->maximum());
        vertical->setValue(static_cast<int>(100 * startZoom));
    }
    const QLabel* status = chart->findChild<QLabel*>(QStringLiteral("lblPointerCell"));
    hover(view, pointer);
    const QString cell = status->text();
    QVERIFY2(cell.startsWith(QStringLiteral("第")), qPrintable(cell));
    const QPointF under = view->toCanvas(pointer);
    for (int turn = 1; turn <= 3; ++turn) {
        const double before = view->zoom();
        wheel(view, pointer, notches, Qt::ControlModifier);
        QVERIFY(view->zoom() != before);
        // To the view pixel the scroll bars can hold: under a canvas pixel at these zooms.
        const QPointF now = view->toCanvas(pointer);
        QVERIFY2(std::abs(now.x() - under.x()) <= 1.0 && std::abs(now.y() - under.y()) <= 1.0,
            qPrintable(QStringLiteral("turn %1: (%2, %3) became (%4, %5)")
                           .arg(turn).arg(under.x()).arg(under.y()).arg(now.x()).arg(now.y())));
        QCOMPARE(status->text(), cell);
    }
}

// A click with 画笔 changes the cell under the pointer: the status bar says so at once.
void ChartNavigationTest::statusBarFollowsAnEditWithoutAMove()
{
    generateChart();
    const QImage& canvas = chart->canvas();
    const int gridTop = gridTopOf(canvas);
    const QLabel* status = chart->findChild<QLabel*>(QStringLiteral("lblPointerCell"));
    const int thread310 = state->chart.threadAt(0, 0);
    auto* tools = chart->findChild<StitchToolPanel*>();
    QVERIFY(tools != nullptr);
    QVERIFY(tools->setCurrentThread(thread310));
    const QPoint cell(40 + 400 + 5, gridTop + 20 + 5); // column 41, row 3: thread 150
    hover(view, cell);
    QVERIFY2(status->text().startsWith(QStringLiteral("第3行 第41列  DMC 150")), qPrintable(status->text()));
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cell);
    QCOMPARE(state->chart.threadAt(40, 2), thread310);
    QVERIFY2(status->text().startsWith(QStringLiteral("第3行 第41列  DMC 310")), qPrintable(status->text()));
}

QTEST_MAIN(ChartNavigationTest)
#include "ChartNavigationTest.moc"
