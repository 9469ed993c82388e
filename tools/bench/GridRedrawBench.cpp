// The grid display redraw of the largest grid (230 x 250 stitches, 920 x 1000 pixels): the row
// renderer against a baseline in the same process that draws it as the display does, one filled
// square and two full-length lines per stitch. Goal: the renderer under 20 ms.
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/workspace/StitchGridRenderer.h"

namespace {

constexpr int kColumns = 230;
constexpr int kRows = 250;
constexpr int kCell = 4;
constexpr int kWidth = kColumns * kCell;
constexpr int kHeight = kRows * kCell;

kanvo::StitchMatrix randomMatrix()
{
    std::mt19937 random(2008);
    kanvo::StitchMatrix m;
    for (int x = 0; x < kColumns; ++x)
        for (int y = 0; y < kRows; ++y)
            m.set(x, y, random() & 0xFFFFFFu);
    return m;
}

void BM_RowRenderer(benchmark::State& state)
{
    const kanvo::StitchMatrix m = randomMatrix();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    for (auto _ : state) {
        std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu); // clear to white
        benchmark::DoNotOptimize(kanvo::StitchGridRenderer::render(m, kColumns, kRows, pixels, kWidth, kCell));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RowRenderer)->Unit(benchmark::kMillisecond);

void BM_CellByCellBaseline(benchmark::State& state)
{
    const kanvo::StitchMatrix m = randomMatrix();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    const std::uint32_t line = kanvo::StitchGridRenderer::toRgb32(kanvo::StitchGridRenderer::kLineColor);
    for (auto _ : state) {
        std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
        for (int Y = 0; Y < kHeight; Y += kCell) {
            for (int X = 0; X < kWidth; X += kCell) {
                const std::uint32_t c = kanvo::StitchGridRenderer::toRgb32(m.at(X / kCell, Y / kCell));
                for (int y = Y; y < Y + kCell; ++y)
                    for (int x = X; x < X + kCell; ++x)
                        pixels[static_cast<std::size_t>(y) * kWidth + x] = c;
                for (int x = 0; x < kWidth; ++x)
                    pixels[static_cast<std::size_t>(Y) * kWidth + x] = line;
                for (int y = 0; y < kHeight; ++y)
                    pixels[static_cast<std::size_t>(y) * kWidth + X] = line;
            }
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CellByCellBaseline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
