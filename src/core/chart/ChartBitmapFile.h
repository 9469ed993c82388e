#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kanvo {

// The chart canvas as it is drawn: rows top first, each `width` 32-bit words 0xffRRGGBB in the
// machine's byte order (a QImage of Format_RGB32), rows `stride` bytes apart.
struct CanvasPixels {
    const std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Writes the chart canvas as an uncompressed 24-bit BMP file (14-byte file header, 40-byte
// information header) whose resolution fields carry chartResolution() of its size, so that the
// picture prints on one page. The rows are converted and written a batch at a time through the
// atomic writer, so no second copy of a large canvas is made: on failure the old file at path is
// left as it was and false is returned with a one-line reason in *error (when given). An empty
// canvas writes nothing and fails.
[[nodiscard]] bool saveChartBitmap(const CanvasPixels& canvas, const std::string& path, std::string* error = nullptr);

} // namespace kanvo
