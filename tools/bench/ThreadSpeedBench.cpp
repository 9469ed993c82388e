// Speed of the "精选绣线" thread reduction (medians): goals under 50 ms for a 150 x 150 grid with
// 40 threads and under 200 ms for 320 x 320 with 60 threads, with the default settings, on a
// gallery photo. Baseline in the same run: k-means with k = N in CIELAB and nearest threads.

#include <algorithm>
#include <map>
#include <vector>


#include <benchmark/benchmark.h>

#include "GalleryPicture.h"
#include "KMeansBaseline.h"
#include "core/palette/ThreadTable.h"
#include "core/reduce/ThreadPaletteReducer.h"

namespace {

using namespace kanvo;

// The photo stretched to a square grid of `side` stitches.
const GalleryPicture& photo(int side)
{
    static std::map<int, GalleryPicture> pictures;
    auto it = pictures.find(side);
    if (it == pictures.end()) {
        GalleryPicture p = GalleryPicture::load(KANVO_ASSETS_DIR "/动物/小猫.jpg", side);
        if (!p.pixels.empty() && p.height != side) {
            // Repeat or cut rows to make the grid square.
            std::vector<ColorValue> square;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    square.push_back(p.pixels[static_cast<std::size_t>((y % p.height) * side + x)]);
            p.pixels = std::move(square);
            p.height = side;
        }
        it = pictures.emplace(side, std::move(p)).first;
    }
    return it->second;
}

void BM_ThreadReduction(benchmark::State& st, int side, int threads)
{
    const GalleryPicture& p = photo(side);
    ThreadReductionSettings s;
    s.threads = threads;
    for (auto _ : st)
        benchmark::DoNotOptimize(ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, loadedThreadTable()));
}

void BM_KMeansBaseline(benchmark::State& st, int side, int threads)
{
    const GalleryPicture& p = photo(side);
    for (auto _ : st)
        benchmark::DoNotOptimize(KMeansBaseline(p.pixels, threads, loadedThreadTable()).nearest());
}

// The fastest repetition beside the median: on a shared machine, where other work slows some
// repetitions, it tells the code's own speed.
double fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

#define KANVO_SPEED(fn, name, side, threads)                                                               \
    BENCHMARK_CAPTURE(fn, name, side, threads)                                                             \
        ->Unit(benchmark::kMillisecond)                                                                    \
        ->Repetitions(7)                                                                                   \
        ->ComputeStatistics("min", fastest)                                                                \
        ->ReportAggregatesOnly(true)

KANVO_SPEED(BM_ThreadReduction, grid150_threads40, 150, 40);
KANVO_SPEED(BM_KMeansBaseline, grid150_threads40, 150, 40);
KANVO_SPEED(BM_ThreadReduction, grid320_threads60, 320, 60);
KANVO_SPEED(BM_KMeansBaseline, grid320_threads60, 320, 60);

} // namespace
