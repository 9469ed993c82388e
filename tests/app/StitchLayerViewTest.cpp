// The stitch layers where the chart window shows them: its view at two zooms with the layer
// switches, and the final preview.
#include <QCheckBox>
#include <QImage>
#include <QScrollBar>
#include <QtTest>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/FinalPreviewWindow.h"
#include "app/chart/ScreenChart.h"
#include "app/chart/StitchLayerSwitches.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"
#include "tests/core/chart/ChartTestSupport.h"

using namespace kanvo;

namespace {

constexpr int kBackThread = 34; // DMC 310, black
constexpr int kKnotThread = 1;

// A 20 x 12 chart of thread 2 with a back stitch from (2, 3) to (12, 3), a knot at (5.5, 8) and a
// half stitch "/" in cell (15, 8) (that cell holds no cross).
ChartModel layeredChart()
{
    ChartModel model = test::makeModel(20, 12, 2, [](int x, int y) { return x == 15 && y == 8 ? 0 : 2; });
    model.layers.backs = {BackStitch{{2, 3}, {12, 3}, kBackThread}};
    model.layers.ornaments = {Ornament{{5.5, 8}, OrnamentKind::Knot, kKnotThread}};
    model.layers.parts = {PartStitch{15, 8, kHalfSlash, kKnotThread}};
    return model;
}

QRgb rgbOf(ColorValue c) { return qRgb(redOf(c), greenOf(c), blueOf(c)); }

} // namespace

class StitchLayerViewTest : public QObject {
    Q_OBJECT

private slots:
    void viewShowsAndHidesTheLayers_data();
    void viewShowsAndHidesTheLayers();
    void finalPreviewDrawsTheLayers();
};

void StitchLayerViewTest::viewShowsAndHidesTheLayers_data()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("300 %") << 3.0;
}

void StitchLayerViewTest::viewShowsAndHidesTheLayers()
{
    QFETCH(double, zoom);
    const ChartModel model = layeredChart();
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    QImage canvas;
    ChartCanvasView view(canvas);
    QScrollBar horizontal(Qt::Horizontal);
    QScrollBar vertical(Qt::Vertical);
    view.setScrollBars(&horizontal, &vertical);
    view.resize(900, 700);
    auto frame = std::make_shared<const ChartLayout>(ScreenChart::frame(model, options));
    view.showChart(model, frame, options);
    view.setZoom(zoom, QPointF());
    view.setOffset(0, 0);
    StitchLayerSwitches switches;
    connect(&switches, &StitchLayerSwitches::changed, &view, &ChartCanvasView::setLayerVisibility);

    const int top = frame->geometry().gridTop;
    // The back stitch at (7.5, 2.97) in cells, canvas (115, top + 29.7): inside its line, two
    // pixels wide at 100 % (rows top + 29 and 30) and 5 at 300 %, and inside the block above it.
    const auto pixel = [zoom](double x, double y) { return QPoint(int(x * zoom), int(y * zoom)); };
    const QPoint back = pixel(115, top + 29.7);
    // The knot's centre and a point of the half stitch's band near its top-right corner.
    const QPoint knot = pixel(95, top + 80);
    const QPoint half = pixel(199, top + 81);
    const ThreadTable& table = loadedThreadTable();
    QImage shown = view.grab().toImage();
    QCOMPARE(shown.pixel(back), rgbOf(table.colorOf(kBackThread)));
    QCOMPARE(shown.pixel(knot), rgbOf(table.colorOf(kKnotThread)));
    QCOMPARE(shown.pixel(half), rgbOf(table.colorOf(kKnotThread)));

    for (const char* name : {"chkShowBackStitches", "chkShowPartStitches", "chkShowKnotsAndBeads"})
        switches.findChild<QCheckBox*>(QString::fromUtf8(name))->setChecked(false);
    QCOMPARE(view.layerVisibility(), (LayerVisibility{false, false, false}));
    const QImage hidden = view.grab().toImage();
    QCOMPARE(hidden.pixel(back), rgbOf(table.colorOf(2))); // the cross under it
    QVERIFY(hidden.pixel(knot) != rgbOf(table.colorOf(kKnotThread)));
    QCOMPARE(hidden.pixel(half), qRgb(255, 255, 255));
}

void StitchLayerViewTest::finalPreviewDrawsTheLayers()
{
    RunState state;
    state.chart = layeredChart();
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    // Stitches of 12 pixels from (11, 61): the back stitch runs along y = 61 + 36, 2 pixels wide
    // (rows 96 and 97); the knot lies at (11 + 66, 61 + 96); the half stitch's cell at (191, 157).
    FinalPreviewWindow::paintStitches(state, image, 12);
    const ThreadTable& table = loadedThreadTable();
    QCOMPARE(image.pixel(11 + 84, 96), rgbOf(table.colorOf(kBackThread)));
    QCOMPARE(image.pixel(11 + 84, 97), rgbOf(table.colorOf(kBackThread)));
    QCOMPARE(image.pixel(77, 157), rgbOf(table.colorOf(kKnotThread)));
    // The half stitch's diagonal band, and the cloth in its other corner.
    QCOMPARE(image.pixel(201, 158), rgbOf(table.colorOf(kKnotThread)));
    QCOMPARE(image.pixel(192, 158), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(41, 127), rgbOf(table.colorOf(2)));
}

QTEST_MAIN(StitchLayerViewTest)
#include "StitchLayerViewTest.moc"
