// The chart model of a full 320 x 320 chart with 500 distinct colours: the fast colour index
// against the literal transcription of the original loops, on the same input. Prints the
// medians and their ratio.

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

void BM_FastChartModel(benchmark::State& state)
{
    const StitchMatrix& chart = benchChart();
    const ThreadTable& table = loadedThreadTable();
    ChartModel model;
    model.gw = kSide;
    model.gh = kSide;
    for (auto _ : state) {
        const ColorIndexError error = generateChartModel(chart, model, {0, 5}, table);
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
    for (auto _ : state) {
        literal::LiteralModel model;
        if (!literal::generate(chart, kSide, kSide, 0, 5, table, model))
            state.SkipWithError("generation failed");
        benchmark::DoNotOptimize(model.threadList.data());
    }
}

BENCHMARK(BM_FastChartModel)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LiteralChartModel)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->Iterations(3);

// Remembers the median real time of every benchmark for the closing ratio.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto fast = reporter.medians.find("BM_FastChartModel");
    const auto slow = reporter.medians.find("BM_LiteralChartModel");
    if (fast != reporter.medians.end() && slow != reporter.medians.end() && fast->second > 0) {
        std::printf("median fast %.3f ms, literal %.3f ms, literal / fast = %.1f\n", fast->second,
            slow->second, slow->second / fast->second);
    }
    benchmark::Shutdown();
    return 0;
}
