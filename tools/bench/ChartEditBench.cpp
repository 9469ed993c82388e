// One cell step of a pencil stroke on the largest chart (320 x 320 stitches, 60 threads), with
// the legend brought up to date, as the chart window does it after every pointer move:
//   EditStep/withFrame:0  the editor: the cell, the thread counts, symbols and the legend list;
//   EditStep/withFrame:1  the same and the chart's frame laid out again (legend, totals,
//                         subtitle), what refreshChart() builds before the repaint;
// against a baseline in the same process:
//   SnapshotStep        the way an editor without changed-cell commands keeps its history: a
//                       copy of the chart for undo, the cell, then the legend and symbols of the
//                       whole chart built again (completeChart) and the frame laid out.
// The stroke runs along the diagonal and back, painting each cell with a thread other than its
// own, so every step changes a stitch. Goal: a cell step, legend included, under 5 ms.
#include <vector>

#include <benchmark/benchmark.h>

#include "app/chart/ScreenChart.h"
#include "core/edit/ChartEditor.h"
#include "core/palette/ThreadTable.h"
#include "core/project/ChartProject.h"
#include "LargestChart.h"

namespace {

using namespace kanvo;

const ChartOptions kOptions{10, 10, ChartMode::BlocksAndSymbols, 0};

ChartModel benchChart()
{
    ChartModel model = bench::largestChart();
    model.whichType = "DMC";
    return model;
}

// The next cell of a stroke along the diagonal, back and forth, and a thread it does not hold.
struct Stroke {
    int step = 0;
    [[nodiscard]] CellPos cell() const
    {
        const int i = step % 640;
        const int d = i < 320 ? i : 639 - i;
        return {d, d};
    }
    [[nodiscard]] int threadFor(const ChartModel& model) const
    {
        const CellPos c = cell();
        return model.threadAt(c.x, c.y) % 60 + 1;
    }
};

// Arg 0: the editor's step alone; arg 1: and the frame refreshChart() lays out.
void BM_EditStep(benchmark::State& state)
{
    const bool withFrame = state.range(0) != 0;
    ChartModel model = benchChart();
    ChartEditor editor(model, loadedThreadTable(), 5);
    Stroke stroke;
    CellPos last = stroke.cell();
    for (auto _ : state) {
        ++stroke.step;
        const CellPos next = stroke.cell();
        ChartChange change = editor.stroke(last, next, stroke.threadFor(model));
        benchmark::DoNotOptimize(change.cells.data());
        if (withFrame) {
            const ChartLayout frame = ScreenChart::frame(model, kOptions);
            benchmark::DoNotOptimize(frame.geometry().legendBottom);
        }
        last = next;
    }
}

void BM_SnapshotStep(benchmark::State& state)
{
    ChartModel model = benchChart();
    std::vector<std::vector<int>> history;
    Stroke stroke;
    for (auto _ : state) {
        ++stroke.step;
        const CellPos next = stroke.cell();
        history.push_back(model.colorIndex);
        if (history.size() > 64)
            history.erase(history.begin()); // keep memory bounded; the copy is what costs
        model.colorIndex[static_cast<std::size_t>(next.x) * ChartModel::kMatrixSide + static_cast<std::size_t>(next.y)]
            = stroke.threadFor(model);
        completeChart(model, 5, loadedThreadTable());
        const ChartLayout frame = ScreenChart::frame(model, kOptions);
        benchmark::DoNotOptimize(frame.geometry().legendBottom);
    }
}

} // namespace

BENCHMARK(BM_EditStep)->ArgName("withFrame")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SnapshotStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
