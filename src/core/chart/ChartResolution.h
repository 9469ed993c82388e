#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace kanvo {

// Resolution D (pixels per metre) of a saved chart canvas of width x height pixels, chosen so
// that the picture prints on one page: the larger of round(width x 2834 / 570) and
// round(height x 2125.5 / 570), halves to the even neighbour (2834 per metre is 72 dots per
// inch). Sizes below 0 count as 0.
[[nodiscard]] std::int32_t chartResolution(int width, int height);

// Writes d little-endian into the horizontal (byte offset 38) and vertical (offset 42)
// resolution fields of the BMP file held in bmp. Returns false, changing nothing, when bmp is
// not a BMP with a 40-byte (or larger) information header.
[[nodiscard]] bool patchBmpResolution(std::span<std::uint8_t> bmp, std::int32_t d);

// The same patch applied in place to the BMP file at path; nothing else in the file changes.
// Returns false when the file cannot be opened, is not such a BMP, or cannot be written.
[[nodiscard]] bool patchBmpFileResolution(const std::filesystem::path& path, std::int32_t d);

} // namespace kanvo
