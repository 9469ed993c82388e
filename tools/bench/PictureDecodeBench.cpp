// Picture loading: PictureDecoder (BMP through the program's own reader, JPEG with the check for
// an early end) against QImageReader alone, the baseline, on the same 2000 x 1500 photograph-like
// picture as BMP and as JPEG. Goal: no more than 1.5 times the baseline.

#include <cmath>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include "app/platform/PictureDecoder.h"

namespace {

QByteArray encoded(const char* format)
{
    QImage picture(2000, 1500, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(int(127 + 127 * std::sin(x * 0.01)), (x * y) % 256, (x + 3 * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

void BM_QtReader(benchmark::State& state, const char* format)
{
    const QByteArray bytes = encoded(format);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PictureDecoder(benchmark::State& state, const char* format)
{
    const QByteArray bytes = encoded(format);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        auto image = kanvo::PictureDecoder::decode(buffer);
        if (!image)
            state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(image);
    }
}

BENCHMARK_CAPTURE(BM_QtReader, bmp, "BMP")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PictureDecoder, bmp, "BMP")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtReader, jpeg, "JPG")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PictureDecoder, jpeg, "JPG")->Unit(benchmark::kMillisecond);

} // namespace
