// Chart projects of the largest chart (320 x 320 stitches, 200 threads): the OXS document
// written and read, against parsing the same document with pugixml alone, the baseline every
// reader pays. The medians tell how much the chart itself adds to the XML work.
//
// The same chart with layers (2,000 back stitches, 400 part stitches, 100 knots and 50 beads):
// read and written back (goal: at most 100 ms), against the plain chart's read and write and
// against pugixml's own parse and save of the layered document.
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "core/stitch/StitchLayers.h"
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

ChartProject layeredProject()
{
    ChartProject project = largestProject();
    const std::vector<int>& threads = project.chart.colorList;
    StitchLayers& layers = project.chart.layers;
    // Short segments on the half-cell lattice, spread over the chart, in the chart's threads.
    for (int i = 0; i < 2000; ++i) {
        const double x = (i * 37 % 636) / 2.0;
        const double y = (i * 91 % 636) / 2.0;
        const double dx = 0.5 * (i % 3);
        const double dy = 0.5 * ((i / 3) % 3 == 0 ? 1 : (i / 3) % 3);
        layers.backs.push_back({{x, y}, {x + dx, y + dy}, threads[static_cast<std::size_t>(i) % threads.size()]});
    }
    constexpr std::uint8_t kMasks[] = {kHalfSlash, kHalfBackslash, kHalfSlash | kTopLeft, kHalfBackslash | kTopRight, kBottomLeft};
    for (int i = 0; i < 400; ++i)
        layers.parts.push_back({i * 53 % kSide, i * 29 % kSide, kMasks[i % 5], threads[static_cast<std::size_t>(i * 7) % threads.size()]});
    for (int i = 0; i < 150; ++i)
        layers.ornaments.push_back({{(i * 61 % 640) / 2.0 + 0.25, (i * 17 % 640) / 2.0}, i < 100 ? OrnamentKind::Knot : OrnamentKind::Bead,
            threads[static_cast<std::size_t>(i * 3) % threads.size()]});
    completeChart(project.chart, 0, loadedThreadTable());
    return project;
}

const std::string& layeredDocument()
{
    static const std::string text = OxsWriter::format(layeredProject(), loadedThreadTable()).value_or("");
    return text;
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

// One round trip: the document read into a chart, the chart written again.
void readAndWrite(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        const OxsReader::Result read = OxsReader::read(text, loadedThreadTable());
        if (read.error != ProjectError::None)
            state.SkipWithError("the document was refused");
        const std::optional<std::string> again = OxsWriter::format(read.project, loadedThreadTable());
        benchmark::DoNotOptimize(again->data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_ReadWriteLayered320(benchmark::State& state) { readAndWrite(state, layeredDocument()); }
void BM_ReadWritePlain320(benchmark::State& state) { readAndWrite(state, largestDocument()); }

// What pugixml alone does with the layered document: parse it and save it again.
void BM_ParseSaveLayeredBaseline(benchmark::State& state)
{
    const std::string& text = layeredDocument();
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size()).status);
        std::ostringstream out;
        doc.save(out, "  ");
        benchmark::DoNotOptimize(out.str().data());
    }
}

BENCHMARK(BM_Write320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Read320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ParseOnlyBaseline)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWriteLayered320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWritePlain320)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ParseSaveLayeredBaseline)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Remembers the median real time of every benchmark for the closing ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpuMedians[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
    }
    std::map<std::string, double> medians;
    std::map<std::string, double> cpuMedians; // steadier than real time on a busy machine
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
    const double layered = reporter.medians["BM_ReadWriteLayered320"];
    const double plain = reporter.medians["BM_ReadWritePlain320"];
    const double xml = reporter.medians["BM_ParseSaveLayeredBaseline"];
    const double layeredCpu = reporter.cpuMedians["BM_ReadWriteLayered320"];
    if (plain > 0 && xml > 0)
        std::printf("median layered read + write %.2f ms real, %.2f ms processor (goal <= 100 ms: %s); "
                    "layered / plain = %.2f, layered / pugixml parse + save = %.2f\n",
            layered, layeredCpu, std::max(layered, layeredCpu) <= 100 ? "met" : "MISSED", layered / plain, layered / xml);
    benchmark::Shutdown();
    return 0;
}
