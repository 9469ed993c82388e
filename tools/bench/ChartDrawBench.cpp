// Layout and painting of the largest chart (320 x 320 stitches, blocks and symbols, 60 threads):
// the cached-glyph painter against shaping every symbol as text, in the same process.
#include <vector>

#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include "app/chart/ChartPainter.h"
#include "core/chart/ChartLayout.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"
#include "LargestChart.h"

namespace {

using namespace kanvo;

using bench::largestChart;
using bench::tableColors;

constexpr int kSide = 320;

void drawChart(benchmark::State& state, bool glyphCache)
{
    const ChartModel model = largestChart();
    const std::vector<ColorValue> colors = tableColors();
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    for (auto _ : state) {
        const ChartLayout layout = ChartLayout::build(model, colors, options, metrics);
        QImage canvas(layout.geometry().canvasWidth, layout.geometry().canvasHeight, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        ChartPainter chartPainter(1.0f); // a fresh painter: its glyph cache is filled in the timing
        chartPainter.setGlyphCacheEnabled(glyphCache);
        chartPainter.paint(painter, layout.drawList());
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

void BM_LayoutOnly(benchmark::State& state)
{
    const ChartModel model = largestChart();
    const std::vector<ColorValue> colors = tableColors();
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    const ChartPainter::Metrics metrics(96.0f / 72.0f, 1.0f);
    for (auto _ : state) {
        const ChartLayout layout = ChartLayout::build(model, colors, options, metrics);
        benchmark::DoNotOptimize(layout.drawList().ops().data());
    }
}

// What the chart window's "生成" does for the largest chart: colour index, legend and symbols
// from 320 x 320 stitches of 480 colours in blocks of 4 x 4, then the layout painted with cached
// glyphs.
void BM_Generate320Whole(benchmark::State& state)
{
    StitchMatrix stitches;
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y)
        {
            const int colour = (x / 4 + (y / 4) * 80) % 480;
            stitches.set(x, y, makeColor(colour % 20 * 12, colour / 20 * 10, 100));
        }
    for (auto _ : state) {
        if (!bench::generateAndPaint(stitches, kSide, kSide, ChartMode::BlocksAndSymbols, ColorIndexSettings{0, 5})) {
            state.SkipWithError("colour index failed");
            return;
        }
    }
}

void BM_Draw320CachedGlyphs(benchmark::State& state) { drawChart(state, true); }
void BM_Draw320TextBaseline(benchmark::State& state) { drawChart(state, false); }

BENCHMARK(BM_LayoutOnly)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Generate320Whole)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Draw320CachedGlyphs)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Draw320TextBaseline)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace
