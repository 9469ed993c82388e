// A back stitch edit on the largest chart (320 x 320 stitches, 60 threads) holding 2,000 back
// stitches, from the press on the canvas to the chart updated, as the chart window does it: the
// 回针 tool's press and release through ChartEditController, the editor's change with its
// symbols and legend recounted, the undo command pushed, the tool panel's thread list and the
// chart's frame (legend, totals) laid out again, what refreshChart() builds before the repaint:
//   BackStitchEdit     a drag from one lattice point to another;
// against a baseline in the same process, through the same path:
//   PencilCellEdit     a one-cell click of 画笔, the full-stitch edit the window had before.
// Each step is undone outside the timing, so the chart keeps its 2,000 back stitches.
// Goal: a back stitch edit under 5 ms.
#include <memory>

#include <benchmark/benchmark.h>

#include <QUndoStack>
#include <QWidget>

#include "app/chart/ChartEditController.h"
#include "app/chart/ScreenChart.h"
#include "app/chart/StitchToolPanel.h"
#include "core/palette/ThreadTable.h"
#include "LargestChart.h"

namespace {

using namespace kanvo;

const ChartOptions kOptions{10, 10, ChartMode::BlocksAndSymbols, 0};

// The chart window's editing parts around the largest chart with 2,000 back stitches.
struct EditingWindow {
    ChartModel model;
    QWidget window;
    QUndoStack stack;
    StitchToolPanel panel{loadedThreadTable(), &window};
    std::unique_ptr<ChartEditController> controller;
    std::shared_ptr<const ChartLayout> frame;

    EditingWindow() : model(bench::largestChart())
    {
        model.whichType = "DMC";
        for (int i = 0; i < 2000; ++i) {
            const double x = (i * 37) % 319;
            const double y = (i * 53) % 319;
            model.layers.backs.push_back({{x, y}, {x + 1, y + 0.5}, i % 60 + 1});
        }
        frame = std::make_shared<const ChartLayout>(ScreenChart::frame(model, kOptions));
        panel.setUndoStack(stack);
        controller = std::make_unique<ChartEditController>(model, loadedThreadTable(), stack, panel, &window);
        controller->layout = [this] { return frame.get(); };
        controller->changed = [this] { frame = std::make_shared<const ChartLayout>(ScreenChart::frame(model, kOptions)); };
        controller->startEditing(5);
    }

    // The canvas point of a chart point in cell units.
    [[nodiscard]] QPointF canvas(double x, double y) const
    {
        return {ChartGeometry::kGridLeft + ChartGeometry::kCell * x, frame->geometry().gridTop + ChartGeometry::kCell * y};
    }
};

void BM_BackStitchEdit(benchmark::State& state)
{
    EditingWindow w;
    w.panel.setTool(StitchToolPanel::Tool::BackStitch);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++step;
        w.panel.setCurrentThread(step % 60 + 1);
        const double x = (step * 7) % 318 + 0.5;
        const double y = (step * 11) % 318;
        state.ResumeTiming();
        w.controller->pressed(w.canvas(x, y), Qt::NoModifier);
        w.controller->released(w.canvas(x + 1.5, y + 1));
        state.PauseTiming();
        if (w.model.layers.backs.size() != 2001)
            state.SkipWithError("the drag made no back stitch");
        w.stack.undo();
        state.ResumeTiming();
    }
}

void BM_PencilCellEdit(benchmark::State& state)
{
    EditingWindow w;
    w.panel.setTool(StitchToolPanel::Tool::Pencil);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++step;
        const int x = (step * 7) % 320;
        const int y = (step * 11) % 320;
        w.panel.setCurrentThread(w.model.threadAt(x, y) % 60 + 1);
        state.ResumeTiming();
        w.controller->pressed(w.canvas(x + 0.5, y + 0.5), Qt::NoModifier);
        w.controller->released(w.canvas(x + 0.5, y + 0.5));
        state.PauseTiming();
        if (w.stack.count() != 1)
            state.SkipWithError("the click changed nothing");
        w.stack.undo();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_BackStitchEdit)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PencilCellEdit)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
