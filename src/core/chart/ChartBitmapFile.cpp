#include "core/chart/ChartBitmapFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/chart/ChartResolution.h"
#include "core/common/AtomicFileWriter.h"

namespace kanvo {

namespace {

constexpr std::size_t kHeaderBytes = 54;
// Rows are written in batches of about this many bytes.
constexpr std::size_t kBatchBytes = std::size_t{1} << 18;

void put16(std::uint8_t* at, std::uint32_t v)
{
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* at, std::uint32_t v)
{
    put16(at, v);
    put16(at + 2, v >> 16);
}

std::array<std::uint8_t, kHeaderBytes> header(int width, int height, std::size_t dataSize)
{
    std::array<std::uint8_t, kHeaderBytes> h{};
    h[0] = 'B';
    h[1] = 'M';
    put32(&h[2], static_cast<std::uint32_t>(kHeaderBytes + dataSize));
    put32(&h[10], kHeaderBytes);
    put32(&h[14], 40);
    put32(&h[18], static_cast<std::uint32_t>(width));
    put32(&h[22], static_cast<std::uint32_t>(height)); // positive: rows bottom first
    put16(&h[26], 1);
    put16(&h[28], 24);
    put32(&h[34], static_cast<std::uint32_t>(dataSize));
    const auto d = static_cast<std::uint32_t>(chartResolution(width, height));
    put32(&h[38], d);
    put32(&h[42], d);
    return h;
}

// One canvas row as BMP pixels: blue, green, red; the padding bytes stay as they are (zero).
void convertRow(const std::uint8_t* in, int width, std::uint8_t* out)
{
    for (int x = 0; x < width; ++x) {
        std::uint32_t word;
        std::memcpy(&word, in + 4 * static_cast<std::size_t>(x), 4);
        out[0] = static_cast<std::uint8_t>(word);
        out[1] = static_cast<std::uint8_t>(word >> 8);
        out[2] = static_cast<std::uint8_t>(word >> 16);
        out += 3;
    }
}

} // namespace

bool saveChartBitmap(const CanvasPixels& canvas, const std::string& path, std::string* error)
{
    if (canvas.bits == nullptr || canvas.width <= 0 || canvas.height <= 0) {
        if (error)
            *error = "the chart canvas is empty";
        return false;
    }
    const std::size_t rowBytes = (3 * static_cast<std::size_t>(canvas.width) + 3) / 4 * 4;
    const std::size_t dataSize = rowBytes * static_cast<std::size_t>(canvas.height);
    const std::size_t batchRows = std::max<std::size_t>(1, kBatchBytes / rowBytes);
    std::vector<std::uint8_t> batch(batchRows * rowBytes, 0);

    AtomicFileWriter file(path);
    bool ok = file.write(header(canvas.width, canvas.height, dataSize));
    // BMP rows run bottom first.
    for (int y = canvas.height - 1; ok && y >= 0;) {
        std::size_t rows = 0;
        for (; rows < batchRows && y >= 0; ++rows, --y)
            convertRow(canvas.bits + canvas.stride * y, canvas.width, batch.data() + rows * rowBytes);
        ok = file.write(std::span(batch.data(), rows * rowBytes));
    }
    ok = ok && file.commit();
    if (!ok && error)
        *error = file.error();
    return ok;
}

} // namespace kanvo
