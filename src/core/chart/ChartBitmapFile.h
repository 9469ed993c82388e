#pragma once

#include <string>

namespace kanvo {

class ClsDIB;

// Writes the chart canvas as an uncompressed BMP file (14-byte file header, 40-byte information
// header) whose resolution fields carry chartResolution() of its size, so that the picture prints
// on one page. The file is written in one step through the atomic writer: on failure the old
// file at path is left as it was and false is returned with a one-line reason in *error (when
// given). An empty canvas writes nothing and fails.
[[nodiscard]] bool saveChartBitmap(const ClsDIB& canvas, const std::string& path, std::string* error = nullptr);

} // namespace kanvo
