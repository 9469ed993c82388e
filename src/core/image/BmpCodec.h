#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/image/DibError.h"

namespace kanvo {

class ClsDIB;

// The BMP reader and writer behind ClsDIB::LoadBitMap / loadFromMemory / SaveBMP.
class BmpCodec {
public:
    // Limits of the reader: no side above 32768 pixels, at most 512 MiB of 24-bit pixel memory,
    // and no file above 1 GiB is read at all.
    static constexpr int kMaxSide = 32768;
    static constexpr long long kMaxPixelBytes = 512LL * 1024 * 1024;
    static constexpr long long kMaxFileBytes = 1024LL * 1024 * 1024;

    // Decodes a whole BMP file held in `bytes` into `out` as a 24-bit bottom-up buffer.
    // Reads uncompressed 1/4/8/16/24/32 bits, bit fields and alpha bit fields (16 and 32 bits,
    // masks after a 40-byte header or inside V2..V5 headers), RLE8 and RLE4, top-down rows and
    // the 12-byte OS/2 header. `out` is only written on success (DibError::None).
    [[nodiscard]] static DibError decode(std::span<const std::uint8_t> bytes, ClsDIB& out);

    // The file bytes of `dib`: 14-byte file header, 40-byte info header (compression 0, image
    // size DataSize, resolutions and colour counts 0), the colour table up to 8 bits (blue, green,
    // red, 0 per entry), then the pixel rows as held. Empty for an empty buffer.
    [[nodiscard]] static std::vector<std::uint8_t> encode(const ClsDIB& dib);
};

} // namespace kanvo
