// The chart model of a full 320 x 320 chart with 500 distinct colours: the fast colour index
// against the literal transcription of the original loops, on the same input, and against
// itself on the chart with a transparent background. Prints the medians and their ratios.

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "LiteralColorIndex.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

namespace {

using namespace kanvo;

constexpr int kSide = 320;
constexpr int kColors = 500;

// 500 distinct random colours scattered over the whole chart, every one present: no runs for
// the fast path to profit from.
const StitchMatrix& benchChart()
{
    static const StitchMatrix chart = [] {
        std::mt19937 rng(20240611);
        std::vector<ColorValue> palette;
        while (palette.size() < kColors) {
            const ColorValue c = rng() & 0xFFFFFFu;
            if (std::find(palette.begin(), palette.end(), c) == palette.end())
                palette.push_back(c);
        }
        StitchMatrix m;
        std::vector<int> cells(kSide * kSide);
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = i < kColors ? static_cast<int>(i) : static_cast<int>(rng() % kColors);
        std::shuffle(cells.begin(), cells.end(), rng);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                m.set(x, y, palette[static_cast<std::size_t>(cells[static_cast<std::size_t>(y * kSide + x)])]);
        return m;
    }();
    return chart;
}

// The same chart as a picture with a transparent background: the cells outside a disc of
// radius 150 (about three in ten) are cloth.
const StitchMatrix& benchChartWithCloth()
{
    static const StitchMatrix chart = [] {
        StitchMatrix m = benchChart();
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                m.setCloth(x, y, (x - 160) * (x - 160) + (y - 160) * (y - 160) > 150 * 150);
        return m;
    }();
    return chart;
}

// The window's side, the same for both: a progress bar and a yield that only count their
// calls, and a stop flag that stays set to "running". Each algorithm calls them as often as it
// prescribes (the fast code once per line, the original once per stitch in its first pass).
struct WindowStandIn {
    volatile long events = 0;
    volatile int progressDone = 0;
    volatile bool running = true;
};

void BM_FastChartModel(benchmark::State& state)
{
    const StitchMatrix& chart = state.range(1) != 0 ? benchChartWithCloth() : benchChart();
    const ThreadTable& table = loadedThreadTable();
    const int mergeTol = static_cast<int>(state.range(0));
    WindowStandIn window;
    ColorIndexHooks hooks;
    hooks.progress = [&window](int done, int) {
        window.progressDone = done;
        window.events = window.events + 1;
    };
    hooks.stopRequested = [&window] { return !window.running; };
    ChartModel model;
    model.gw = kSide;
    model.gh = kSide;
    for (auto _ : state) {
        const ColorIndexError error = generateChartModel(chart, model, {mergeTol, 5}, table, hooks);
        if (error != ColorIndexError::None)
            state.SkipWithError("generation failed");
        benchmark::DoNotOptimize(model.threadList.data());
    }
    state.counters["threads"] = model.colorCount;
    state.counters["legend"] = model.maxColor;
}

void BM_LiteralChartModel(benchmark::State& state)
{
    const StitchMatrix& chart = benchChart();
    const ThreadTable& table = loadedThreadTable();
    const int mergeTol = static_cast<int>(state.range(0));
    WindowStandIn window;
    literal::LiteralHooks hooks;
    hooks.yieldEvents = [&window] { window.events = window.events + 1; };
    hooks.progress = [&window](int done, int) {
        window.progressDone = done;
        window.events = window.events + 1;
    };
    hooks.running = [&window] { return window.running; };
    // The original's tables are globals that live from one generation to the next.
    literal::LiteralModel model;
    for (auto _ : state) {
        if (!literal::generate(chart, kSide, kSide, mergeTol, 5, table, model, hooks))
            state.SkipWithError("generation failed");
        benchmark::DoNotOptimize(model.threadList.data());
    }
    state.counters["threads"] = model.colorCount;
    state.counters["legend"] = model.maxColor;
}

// Tolerance 0 is the setting at start-up (nothing merges); 400 (strength 20) merges threads, so
// that every stitch is given its thread a second time.
// cloth 1: the chart with a transparent background, against the same chart without (cloth 0).
BENCHMARK(BM_FastChartModel)->ArgNames({"mergeTol", "cloth"})->Args({0, 0})->Args({400, 0})->Args({0, 1})
    ->Args({400, 1})->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LiteralChartModel)->ArgName("mergeTol")->Arg(0)->Arg(400)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(3);

// Remembers the median real time of every benchmark for the closing ratio.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[{run.run_name.function_name, run.run_name.args}] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::pair<std::string, std::string>, double> medians; // (function, arguments)
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [key, fastTime] : reporter.medians) {
        // "mergeTol:0/cloth:1": the literal run has the merge tolerance alone.
        const std::string tolerance = key.second.substr(0, key.second.find('/'));
        if (key.first != "BM_FastChartModel" || fastTime <= 0)
            continue;
        if (key.second.ends_with("cloth:1")) {
            const auto plain = reporter.medians.find({key.first, tolerance + "/cloth:0"});
            if (plain != reporter.medians.end())
                std::printf("%s: median with cloth %.3f ms, without %.3f ms, with / without = %.2f\n",
                    tolerance.c_str(), fastTime, plain->second, fastTime / plain->second);
            continue;
        }
        const auto slow = reporter.medians.find({"BM_LiteralChartModel", tolerance});
        if (slow == reporter.medians.end())
            continue;
        std::printf("%s: median fast %.3f ms, literal %.3f ms, literal / fast = %.1f\n",
            tolerance.c_str(), fastTime, slow->second, slow->second / fastTime);
    }
    benchmark::Shutdown();
    return 0;
}
