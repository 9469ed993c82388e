// One "超级减色" of the largest grid (230 x 250 stitches) in the real main window: sampling,
// the scratch bitmap written and read back, the 216-colour conversion, painting back into the
// picture, the second sampling and the grid display redraw. Beside it the same run without the
// window (core pipeline only) and the scratch round trip alone, to show where the time goes.
// Runs under the offscreen platform in a temporary working folder (the scratch file goes to the
// current folder). Goal: the end-to-end median under 30 ms.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/image/ClsDIB.h"
#include "core/reduce/ReductionPipeline.h"
#include "core/workspace/RunState.h"

namespace {

using namespace kanvo;

constexpr int kGridW = 230;
constexpr int kGridH = 250;

QImage benchPicture()
{
    QImage image(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
    return image;
}

void BM_SuperReduceEndToEnd(benchmark::State& st)
{
    RunState state;
    WindowHub hub;
    MainWindow window(state, hub);
    connectWindows(window, hub);
    window.load();
    window.setZoomedSurface(benchPicture());
    window.findChild<QScrollBar*>(QStringLiteral("wChange"))->setValue(kGridW);
    window.findChild<QScrollBar*>(QStringLiteral("hChange"))->setValue(kGridH);
    if (state.gridWidth() != kGridW || state.picH != kGridH) {
        st.SkipWithError("grid not 230 x 250");
        return;
    }
    for (auto _ : st) {
        const bool ok = hub.invokeColourReduction();
        benchmark::DoNotOptimize(ok);
    }
}

void BM_CorePipeline(benchmark::State& st)
{
    RunState state;
    state.picW = kGridW;
    state.picH = kGridH;
    QImage picture = benchPicture();
    ReductionPipeline::Hooks hooks;
    hooks.surface = [&picture] {
        PixelSurface s;
        s.bytes = std::span<std::uint8_t>(picture.bits(), static_cast<std::size_t>(picture.sizeInBytes()));
        s.width = picture.width();
        s.height = picture.height();
        s.stride = picture.bytesPerLine();
        return s;
    };
    ReductionPipeline pipeline(state, hooks);
    for (auto _ : st) {
        const bool ok = pipeline.superReduce();
        benchmark::DoNotOptimize(ok);
    }
}

void BM_ScratchRoundTrip(benchmark::State& st)
{
    StitchMatrix matrix;
    matrix.fill(0x336699);
    for (auto _ : st) {
        ClsDIB out;
        std::string reason;
        const bool written = ReductionPipeline::matrixToBuffer(matrix, kGridW, kGridH, out)
            && ReductionPipeline::writeBitmap(out, "tmppicv.bmp", &reason);
        ClsDIB back;
        const bool read = back.LoadBitMap("tmppicv.bmp");
        benchmark::DoNotOptimize(written && read);
    }
}

BENCHMARK(BM_SuperReduceEndToEnd)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_CorePipeline)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScratchRoundTrip)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    std::filesystem::current_path(folder.path().toStdString());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::current_path("/");
    return 0;
}
