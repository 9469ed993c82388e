// The chart window's repaint of the largest chart (320 x 320 stitches, blocks and symbols, 60
// threads) in a full 1600 x 1000 window at 20 pixels a cell, scrolled to the middle:
//   ViewRepaint       the view as it paints: the frame, and the cells in view laid out anew;
//   ViewRepaintFitted the same with the whole chart fitted to the window;
//   ViewAfterEdit     what one edit costs: refreshChart()'s new frame, then the repaint;
// against baselines in the same process:
//   CanvasBlit        the old way to show it: one painted canvas copied, scaled, into the window
//                     (fast, but blurred when zoomed and stale after every edit);
//   CanvasAfterEdit   keeping that canvas current: the whole chart laid out and painted again,
//                     then copied.
//   ViewRepaintOutlined the same repaint with 2,000 back stitches on the chart (ViewRepaint is its
//                     baseline).
// Goal: ViewRepaint, ViewRepaintOutlined and ViewAfterEdit under 16 ms.
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartPainter.h"
#include "app/chart/ScreenChart.h"
#include "core/chart/ChartLayout.h"
#include "BackStitchOutlines.h"
#include "LargestChart.h"

namespace {

using namespace kanvo;

const QSize kWindow(1600, 1000);
constexpr double kZoom = 2.0;

struct Scene {
    ChartModel model = bench::largestChart();
    ChartOptions options{10, 10, ChartMode::BlocksAndSymbols, 0};
    QImage canvas;
    std::unique_ptr<ChartCanvasView> view;

    explicit Scene(int backStitches = 0)
    {
        bench::addOutlines(model, backStitches, 60);
        view = std::make_unique<ChartCanvasView>(canvas);
        view->resize(kWindow);
        view->showChart(model, std::make_shared<const ChartLayout>(ScreenChart::frame(model, options)), options);
        view->setZoom(kZoom, QPointF());
        const QSize content = view->contentSize();
        view->setOffset(static_cast<int>(content.width() * kZoom / 2), static_cast<int>(content.height() * kZoom / 3));
    }
};

QImage windowImage()
{
    QImage image(kWindow, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

void BM_ViewRepaint(benchmark::State& state)
{
    Scene scene;
    QImage window = windowImage();
    for (auto _ : state) {
        scene.view->render(&window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

void BM_ViewRepaintOutlined(benchmark::State& state)
{
    Scene scene(2000);
    QImage window = windowImage();
    for (auto _ : state) {
        scene.view->render(&window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

void BM_ViewRepaintFitted(benchmark::State& state)
{
    Scene scene;
    scene.view->fitToWindow();
    QImage window = windowImage();
    for (auto _ : state) {
        scene.view->render(&window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

void BM_ViewAfterEdit(benchmark::State& state)
{
    Scene scene;
    QImage window = windowImage();
    int step = 0;
    for (auto _ : state) {
        // One stitch changes, as a stroke step does.
        scene.model.colorIndex[static_cast<std::size_t>(160) * 321 + 100] = 1 + step++ % 60;
        scene.view->showChart(scene.model,
            std::make_shared<const ChartLayout>(ScreenChart::frame(scene.model, scene.options)), scene.options);
        scene.view->render(&window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

// The visible part of a painted canvas, scaled into the window as the view shows it.
void blit(const QImage& canvas, const QPoint& offset, QImage& window)
{
    QPainter painter(&window);
    const QRectF source(offset.x() / kZoom, offset.y() / kZoom, kWindow.width() / kZoom, kWindow.height() / kZoom);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(kWindow)), canvas, source);
}

QImage paintedCanvas(const ChartModel& model, const ChartOptions& options)
{
    const ChartLayout layout = ScreenChart::layout(model, options);
    QImage canvas = ScreenChart::blankCanvas(layout);
    ScreenChart::paint(canvas, layout);
    return canvas;
}

void BM_CanvasBlit(benchmark::State& state)
{
    Scene scene;
    const QImage canvas = paintedCanvas(scene.model, scene.options);
    QImage window = windowImage();
    for (auto _ : state) {
        blit(canvas, scene.view->offset(), window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

void BM_CanvasAfterEdit(benchmark::State& state)
{
    Scene scene;
    QImage window = windowImage();
    int step = 0;
    for (auto _ : state) {
        scene.model.colorIndex[static_cast<std::size_t>(160) * 321 + 100] = 1 + step++ % 60;
        blit(paintedCanvas(scene.model, scene.options), scene.view->offset(), window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

BENCHMARK(BM_ViewRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ViewRepaintOutlined)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ViewRepaintFitted)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ViewAfterEdit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CanvasBlit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CanvasAfterEdit)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace
