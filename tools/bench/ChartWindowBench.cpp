// "生成" in the chart window for the largest chart (320 x 320 stitches of 57 threads in patches),
// from the click to the drawn view, as the window does it: colour index with its progress and
// stop test, the chart drawn row by row onto the canvas that the view shows while it grows, the
// view repainted, the editor started:
//   WindowGenerate       the window with the view at its opening zoom;
//   WindowGenerateFitted the same with the chart fitted to the window ("适合窗口");
// against the baseline in the same process:
//   CoreGenerate         the core's colour index, layout and painting of the same chart with no
//                        window at all (what bench_chart_draw's Generate320Whole measures).
// Goal: the window's "生成" under 0.5 s.
#include <algorithm>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartWindow.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"
#include "LargestChart.h"

namespace {

using namespace kanvo;

constexpr int kSide = 320;
constexpr int kThreads = 57;

// 57 card threads (every eighth) in patches of 5 x 7 stitches.
StitchMatrix patchwork()
{
    const ThreadTable& table = loadedThreadTable();
    StitchMatrix stitches;
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y)
            stitches.set(x, y, table.colorOf(1 + 8 * (((x / 5) * 11 + (y / 7) * 5) % kThreads)));
    return stitches;
}

// Message boxes would wait for a click: a bench only counts them.
class CountedBoxes : public MessageBoxes {
public:
    void information(QWidget*, const QString&, const QString&) override { ++shown; }
    void error(QWidget*, const QString&, const QString&) override { ++shown; }
    int shown = 0;
};

// The program with its chart window open on the patchwork, in a folder of its own.
struct Program {
    QTemporaryDir folder;
    QString previous = QDir::currentPath();
    CountedBoxes boxes;
    RunState state;
    WindowHub hub;
    std::unique_ptr<MainWindow> window;
    ChartWindow* chart = nullptr;

    Program()
    {
        QDir::setCurrent(folder.path());
        MessageBoxes::setCurrent(&boxes);
        window = std::make_unique<MainWindow>(state, hub);
        connectWindows(*window, hub);
        window->load();
        window->show();
        state.stitchMatrix = patchwork();
        state.picW = kSide;
        state.picH = kSide;
        state.previewReady = true;
        window->generateChart();
        chart = window->findChild<ChartWindow*>();
        if (chart != nullptr) {
            chart->resize(1300, 900);
            QApplication::processEvents();
        }
    }
    ~Program()
    {
        window.reset();
        MessageBoxes::setCurrent(nullptr);
        QDir::setCurrent(previous);
    }
};

void generateInWindow(benchmark::State& state, bool fitted)
{
    Program program;
    if (program.chart == nullptr) {
        state.SkipWithError("the chart window did not open");
        return;
    }
    if (fitted) {
        program.chart->generate();
        program.chart->canvasView()->fitToWindow();
    }
    int drawn = 0;
    for (auto _ : state) {
        // The click, then everything the click leaves for the event loop: the drawn view.
        program.state.chart.chartReady = false;
        program.chart->generate();
        QApplication::processEvents();
        drawn += program.state.chart.chartReady && program.chart->canvasView()->showsChart() ? 1 : 0;
    }
    if (drawn != static_cast<int>(state.iterations()))
        state.SkipWithError("a generation did not end with the chart drawn");
    if (!program.state.chart.chartReady || program.state.chart.maxColor != kThreads || program.boxes.shown != 0)
        state.SkipWithError("the chart was not generated as expected");
}

void BM_WindowGenerate(benchmark::State& state) { generateInWindow(state, false); }
void BM_WindowGenerateFitted(benchmark::State& state) { generateInWindow(state, true); }

void BM_CoreGenerate(benchmark::State& state)
{
    const StitchMatrix stitches = patchwork();
    for (auto _ : state) {
        if (!bench::generateAndPaint(stitches, kSide, kSide, ChartMode::SymbolsOnly, ColorIndexSettings{0, 0})) {
            state.SkipWithError("colour index failed");
            return;
        }
    }
}

// The machine may be shared: the fastest repetition is reported beside the median.
double fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

BENCHMARK(BM_CoreGenerate)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ComputeStatistics("min", fastest)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowGenerate)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ComputeStatistics("min", fastest)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowGenerateFitted)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ComputeStatistics("min", fastest)->ReportAggregatesOnly(true);

} // namespace
