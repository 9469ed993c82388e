// The whole chart job without a window, as kanvo-cli chart runs it: the start-up picture decoded
// and fitted (the main window's load step), the colour reduction of "效果预览->", the colour
// index, the chart layout and the painted canvas, and the saved bitmap. One iteration is one
// chart from the picture file. Runs under the offscreen platform. Goal: a 230 x 250 chart with
// blocks and symbols, saved, well under 0.5 s.

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "app/headless/ChartMaker.h"
#include "app/platform/FontSubstitutions.h"
#include "core/palette/ThreadTable.h"

namespace {

using namespace kanvo;

const QString kStartupPicture = QStringLiteral(KANVO_ASSETS_DIR "/logo.dll");

ChartRequest request(int width, int height, ChartMode mode)
{
    ChartRequest r;
    r.input = kStartupPicture;
    if (width > 0)
        r.width = width;
    if (height > 0)
        r.height = height;
    r.mode = mode;
    return r;
}

// Picture file to painted canvas; width / height 0 keep the window's fitted grid.
void BM_PictureToCanvas(benchmark::State& st, int width, int height, ChartMode mode)
{
    const ChartRequest r = request(width, height, mode);
    for (auto _ : st) {
        ChartMaker maker;
        if (!maker.make(r)) {
            st.SkipWithError(maker.error().c_str());
            return;
        }
        benchmark::DoNotOptimize(maker.canvas().constBits());
    }
}

// The same and the chart window's bitmap file written.
void BM_PictureToBitmapFile(benchmark::State& st, int width, int height, ChartMode mode)
{
    const ChartRequest r = request(width, height, mode);
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("chart.bmp"));
    for (auto _ : st) {
        ChartMaker maker;
        if (!maker.make(r) || !maker.saveBitmap(out)) {
            st.SkipWithError(maker.error().c_str());
            return;
        }
    }
}

#define KANVO_PIPELINE(fn, name, w, h, mode)                                                          \
    BENCHMARK_CAPTURE(fn, name, w, h, mode)                                                            \
        ->Unit(benchmark::kMillisecond)                                                                \
        ->Repetitions(7)                                                                               \
        ->ReportAggregatesOnly(true)

KANVO_PIPELINE(BM_PictureToCanvas, startup_117xfit_symbols, 0, 0, ChartMode::SymbolsOnly);
KANVO_PIPELINE(BM_PictureToCanvas, startup_230x250_both, 230, 250, ChartMode::BlocksAndSymbols);
KANVO_PIPELINE(BM_PictureToBitmapFile, startup_117xfit_symbols, 0, 0, ChartMode::SymbolsOnly);
KANVO_PIPELINE(BM_PictureToBitmapFile, startup_230x250_both, 230, 250, ChartMode::BlocksAndSymbols);

} // namespace

// pipeline.sh hands ImageMagick the same thread colours: 452 x 1 pixels, one per table entry.
int writeThreadPalette(const char* path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << ThreadTable::kThreads << " 1\n255\n";
    for (int i = 1; i <= ThreadTable::kThreads; ++i) {
        const ColorValue c = loadedThreadTable().colorOf(i);
        out << static_cast<char>(redOf(c)) << static_cast<char>(greenOf(c)) << static_cast<char>(blueOf(c));
    }
    return out.good() ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--thread-palette")
        return writeThreadPalette(argv[2]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    installFontSubstitutions();
    (void)loadFontAliasFile();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
