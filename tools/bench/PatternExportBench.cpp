// The pattern PDF of the largest chart (320 x 320 stitches, 80 threads, full colour so every
// cell carries a box and a symbol): layout alone, and layout plus the whole PDF in memory, with
// the one-page print of the same chart to PDF as the baseline. Goal: under 2 s and 5 MB.
// PatternPdf320Outlined adds 2,000 back stitches to the chart (PatternPdf320 is its baseline).
// Goal: under 2 s too.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "app/chart/ChartPainter.h"
#include "app/chart/PatternPdf.h"
#include "core/chart/PrintLayout.h"
#include "core/palette/SymbolSet.h"
#include "core/palette/ThreadTable.h"
#include "core/pattern/PatternLayout.h"
#include "core/workspace/StitchMatrix.h"
#include "BackStitchOutlines.h"

namespace {

using namespace kanvo;

constexpr int kSide = 320;
constexpr int kThreads = 80;

// Patches of 7 x 5 stitches cycling through 80 threads, so symbols change along every row.
int threadAt(int x, int y) { return ((x / 7) * 13 + (y / 5) * 7 + x * y % 3) % kThreads + 1; }

ChartModel largestChart()
{
    ChartModel m;
    m.gw = kSide;
    m.gh = kSide;
    m.colorIndex.assign(ChartModel::kMatrixSide * ChartModel::kMatrixSide, 0);
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y)
            m.colorIndex[static_cast<std::size_t>(x) * ChartModel::kMatrixSide + y] = threadAt(x, y);
    m.xiuChr = loadxiuChr();
    m.chrIndex.assign(ChartModel::kThreadSlots, 0);
    for (int t = 1; t <= kThreads; ++t) {
        m.chrIndex[static_cast<std::size_t>(t)] = t; // threads 77..80 get Chinese symbols
        m.threadList.push_back(ThreadEntry{loadedThreadTable().colorOf(t), t, std::to_string(t) + "      ", 1280});
    }
    m.maxColor = kThreads;
    m.colorCount = kThreads;
    return m;
}

PatternOptions fullColour()
{
    PatternOptions options;
    options.style = PatternStyle::FullColour;
    return options;
}

void BM_PatternLayout320(benchmark::State& state)
{
    const ChartModel model = largestChart();
    for (auto _ : state) {
        const PatternLayout layout = PatternLayout::build(model, loadedThreadTable(), fullColour());
        benchmark::DoNotOptimize(layout.pages().data());
    }
}

void patternPdf(benchmark::State& state, const ChartModel& model)
{
    qint64 bytes = 0;
    int pages = 0;
    for (auto _ : state) {
        const PatternLayout layout = PatternLayout::build(model, loadedThreadTable(), fullColour());
        PatternPdf pdf;
        const QByteArray file = pdf.render(layout);
        bytes = file.size();
        pages = static_cast<int>(layout.pages().size());
        benchmark::DoNotOptimize(file.constData());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["pages"] = pages;
}

void BM_PatternPdf320(benchmark::State& state) { patternPdf(state, largestChart()); }

void BM_PatternPdf320Outlined(benchmark::State& state)
{
    ChartModel model = largestChart();
    bench::addOutlines(model, 2000, kThreads);
    patternPdf(state, model);
}

// Baseline: the one-page print of the same chart, blocks and symbols, to a PDF in memory.
void BM_OnePagePdf320Baseline(benchmark::State& state)
{
    const ChartModel model = largestChart();
    StitchMatrix stitches;
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y)
            stitches.set(x, y, loadedThreadTable().colorOf(threadAt(x, y)));
    ChartOptions options;
    options.mode = ChartMode::BlocksAndSymbols;
    qint64 bytes = 0;
    for (auto _ : state) {
        QByteArray file;
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const float dotsPerMm = 600.0f / 25.4f;
        const ChartPainter::Metrics metrics(25.4f / 72.0f, dotsPerMm);
        const auto layout = PrintLayout::build(model, stitches, options, 210.0f, 297.0f, metrics);
        if (!layout) {
            state.SkipWithError("the chart does not fit the page");
            return;
        }
        QPainter painter(&writer);
        ChartPainter chartPainter(dotsPerMm);
        chartPainter.paint(painter, layout->drawList());
        painter.end();
        bytes = file.size();
        benchmark::DoNotOptimize(file.constData());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

BENCHMARK(BM_PatternLayout320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PatternPdf320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PatternPdf320Outlined)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OnePagePdf320Baseline)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
