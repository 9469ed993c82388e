// Chart projects of the largest chart (320 x 320 stitches, 200 threads): the OXS document
// written and read, against parsing the same document with pugixml alone, the baseline every
// reader pays. The medians tell how much the chart itself adds to the XML work.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "core/workspace/StitchMatrix.h"

namespace {

using namespace kanvo;

constexpr int kSide = 320;

ChartProject largestProject()
{
    StitchMatrix stitches;
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y) {
            const int colour = (x / 8 + (y / 8) * 40) % 200;
            stitches.set(x, y, makeColor(colour % 10 * 25, colour / 10 * 12, 60 + colour % 7 * 25));
        }
    ChartProject project;
    project.chart.gw = kSide;
    project.chart.gh = kSide;
    (void)generateChartModel(stitches, project.chart, ColorIndexSettings{0, 0}, loadedThreadTable());
    return project;
}

const std::string& largestDocument()
{
    static const std::string text = OxsWriter::format(largestProject(), loadedThreadTable()).value_or("");
    return text;
}

void BM_Write320(benchmark::State& state)
{
    const ChartProject project = largestProject();
    for (auto _ : state) {
        const std::optional<std::string> text = OxsWriter::format(project, loadedThreadTable());
        benchmark::DoNotOptimize(text->data());
    }
    state.counters["bytes"] = static_cast<double>(largestDocument().size());
}

void BM_Read320(benchmark::State& state)
{
    const std::string& text = largestDocument();
    for (auto _ : state) {
        const OxsReader::Result read = OxsReader::read(text, loadedThreadTable());
        if (read.error != ProjectError::None)
            state.SkipWithError("the document was refused");
        benchmark::DoNotOptimize(read.project.chart.colorIndex.data());
    }
}

void BM_ParseOnlyBaseline(benchmark::State& state)
{
    const std::string& text = largestDocument();
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size()).status);
    }
}

BENCHMARK(BM_Write320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Read320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ParseOnlyBaseline)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Remembers the median real time of every benchmark for the closing ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double parse = reporter.medians["BM_ParseOnlyBaseline"];
    if (parse > 0)
        std::printf("median parse only %.2f ms; read / parse = %.2f, write / parse = %.2f\n", parse,
            reporter.medians["BM_Read320"] / parse, reporter.medians["BM_Write320"] / parse);
    benchmark::Shutdown();
    return 0;
}
