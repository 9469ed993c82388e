#include "core/image/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "core/image/ClsDIB.h"

namespace kanvo {

namespace {

// Compression values of the info header.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiJpeg = 4;
constexpr std::uint32_t kBiPng = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    out[at + 2] = static_cast<std::uint8_t>(v >> 16);
    out[at + 3] = static_cast<std::uint8_t>(v >> 24);
}

// One channel of a bit-field pixel: where its bits lie and how to widen or narrow them to 8 bits.
// Narrow fields are widened by repeating their bits (5-bit 10110 -> 10110101), as common
// decoders do, so that the full field gives 255 and zero gives 0; wide fields keep their top 8.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0; // 0 for an absent channel

    [[nodiscard]] std::uint8_t extract(std::uint32_t pixel) const
    {
        if (bits == 0) {
            return 0;
        }
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) {
            return static_cast<std::uint8_t>(v >> (bits - 8));
        }
        std::uint32_t out = 0;
        int filled = 0;
        while (filled < 8) {
            out = (out << bits) | v;
            filled += bits;
        }
        return static_cast<std::uint8_t>(out >> (filled - 8));
    }
};

// A mask is usable when its set bits are one contiguous run inside the pixel.
bool makeChannel(std::uint32_t mask, int bitCount, Channel& channel)
{
    if (bitCount == 16 && mask > 0xFFFFu) {
        return false;
    }
    channel = {};
    if (mask == 0) {
        return true;
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) {
        return false;
    }
    channel.mask = mask;
    channel.shift = shift;
    channel.bits = std::popcount(run);
    return true;
}

struct Header {
    std::uint32_t headerSize = 0;
    long long width = 0;
    long long height = 0; // negative for top-down rows
    int planes = 0;
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    bool os2Core = false; // 12-byte header: 3-byte palette entries
    bool os2V2 = false;   // 16..64-byte OS/2 2.x header: compression values 3 and 4 mean other things
};

DibError readHeader(std::span<const std::uint8_t> bytes, Header& h)
{
    h.headerSize = u32(bytes, 14);
    const std::uint32_t hs = h.headerSize;
    const bool windows = hs == 40 || hs == 52 || hs == 56 || hs == 108 || hs == 124;
    h.os2Core = hs == 12;
    h.os2V2 = !windows && hs >= 16 && hs <= 64;
    if (!windows && !h.os2Core && !h.os2V2) {
        return DibError::Corrupt;
    }
    if (kFileHeaderSize + hs > bytes.size()) {
        return DibError::Truncated;
    }
    if (h.os2Core) {
        h.width = u16(bytes, 18);
        h.height = u16(bytes, 20);
        h.planes = u16(bytes, 22);
        h.bitCount = u16(bytes, 24);
        return DibError::None;
    }
    h.width = static_cast<std::int32_t>(u32(bytes, 18));
    h.height = static_cast<std::int32_t>(u32(bytes, 22));
    h.planes = u16(bytes, 26);
    h.bitCount = u16(bytes, 28);
    if (hs >= 20) {
        h.compression = u32(bytes, 30);
    }
    if (hs >= 36) {
        h.colorsUsed = u32(bytes, 46);
    }
    return DibError::None;
}

void writeBgr(std::uint8_t* p, ColorValue c)
{
    p[0] = static_cast<std::uint8_t>(blueOf(c));
    p[1] = static_cast<std::uint8_t>(greenOf(c));
    p[2] = static_cast<std::uint8_t>(redOf(c));
}

// Decodes RLE8 / RLE4 data into one palette index per pixel, rows bottom first. Pixels that the
// data skips over (deltas, early line ends) keep index 0. Every step consumes input, so the loop
// ends after at most data.size() / 2 steps.
DibError decodeRle(std::span<const std::uint8_t> data, bool fourBit, int width, int height,
    std::vector<std::uint8_t>& indices)
{
    std::size_t pos = 0;
    long long x = 0;
    long long y = 0;
    const auto at = [&](long long px, long long py) -> std::uint8_t& {
        return indices[static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px)];
    };
    while (true) {
        if (pos + 2 > data.size()) {
            return DibError::Truncated;
        }
        const int count = data[pos];
        const int value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (y >= height || x + count > width) {
                return DibError::Corrupt;
            }
            for (int i = 0; i < count; ++i) {
                at(x + i, y) = static_cast<std::uint8_t>(fourBit ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            }
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
            if (y > height) {
                return DibError::Corrupt;
            }
        } else if (value == 1) { // end of bitmap
            return DibError::None;
        } else if (value == 2) { // delta
            if (pos + 2 > data.size()) {
                return DibError::Truncated;
            }
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            if (x > width || y > height) {
                return DibError::Corrupt;
            }
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const int n = value;
            const std::size_t byteCount = fourBit ? static_cast<std::size_t>((n + 1) / 2) : static_cast<std::size_t>(n);
            const std::size_t padded = (byteCount + 1) & ~std::size_t{1};
            if (pos + byteCount > data.size()) {
                return DibError::Truncated;
            }
            if (y >= height || x + n > width) {
                return DibError::Corrupt;
            }
            for (int i = 0; i < n; ++i) {
                const std::uint8_t b = data[pos + static_cast<std::size_t>(fourBit ? i / 2 : i)];
                at(x + i, y) = fourBit ? static_cast<std::uint8_t>((i & 1) ? (b & 0x0F) : (b >> 4)) : b;
            }
            x += n;
            pos += std::min(padded, data.size() - pos);
        }
    }
}

} // namespace

DibError BmpCodec::decode(std::span<const std::uint8_t> bytes, ClsDIB& out)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
        return DibError::NotBmp;
    }
    if (bytes.size() < kFileHeaderSize + 4) {
        return DibError::Truncated;
    }
    const std::uint64_t pixelOffset = u32(bytes, 10);
    Header h;
    if (const DibError e = readHeader(bytes, h); e != DibError::None) {
        return e;
    }
    if (h.planes != 1) {
        return DibError::Corrupt;
    }
    if (h.compression == kBiJpeg || h.compression == kBiPng) { // a JPEG or PNG inside: depth 0
        return DibError::Unsupported;
    }
    const int bits = h.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return DibError::BadBitCount;
    }
    if (h.width <= 0 || h.height == 0) {
        return DibError::Corrupt;
    }
    const bool topDown = h.height < 0;
    const long long rows = topDown ? -h.height : h.height;
    if (h.width > kMaxSide || rows > kMaxSide) {
        return DibError::TooLarge;
    }
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(rows);
    if (static_cast<long long>(*ClsDIB::strideFor(width, 24)) * height > kMaxPixelBytes) {
        return DibError::TooLarge;
    }

    // Which decoding the compression asks for, checked against the depth.
    bool rle = false;
    bool bitfields = false;
    std::size_t maskBytesAfterHeader = 0;
    switch (h.compression) {
    case kBiRgb: break;
    case kBiRle8:
    case kBiRle4:
        if ((h.compression == kBiRle8 && bits != 8) || (h.compression == kBiRle4 && bits != 4)) {
            return DibError::Corrupt;
        }
        if (topDown) { // run-length data is defined bottom-up only
            return DibError::Corrupt;
        }
        rle = true;
        break;
    case kBiBitfields:
    case kBiAlphaBitfields:
        if (h.os2V2) { // Huffman 1D and RLE24 of OS/2
            return DibError::Unsupported;
        }
        if (bits != 16 && bits != 32) {
            return DibError::Corrupt;
        }
        bitfields = true;
        if (h.headerSize == 40) {
            maskBytesAfterHeader = h.compression == kBiBitfields ? 12 : 16;
        }
        break;
    case kBiJpeg:
    case kBiPng: return DibError::Unsupported;
    default: return DibError::Corrupt;
    }

    const std::size_t headersEnd = kFileHeaderSize + h.headerSize + maskBytesAfterHeader;
    if (headersEnd > bytes.size()) {
        return DibError::Truncated;
    }
    if (pixelOffset < headersEnd) {
        return DibError::Corrupt;
    }
    if (pixelOffset > bytes.size()) {
        return DibError::Truncated;
    }

    Channel red;
    Channel green;
    Channel blue;
    if (bits == 16 || bits == 32) {
        std::uint32_t masks[3] = {0, 0, 0};
        if (bitfields) {
            const std::size_t at = kFileHeaderSize + 40;
            masks[0] = u32(bytes, at);
            masks[1] = u32(bytes, at + 4);
            masks[2] = u32(bytes, at + 8);
        } else if (bits == 16) {
            masks[0] = 0x7C00u;
            masks[1] = 0x03E0u;
            masks[2] = 0x001Fu;
        } else {
            masks[0] = 0x00FF0000u;
            masks[1] = 0x0000FF00u;
            masks[2] = 0x000000FFu;
        }
        if (!makeChannel(masks[0], bits, red) || !makeChannel(masks[1], bits, green)
            || !makeChannel(masks[2], bits, blue)) {
            return DibError::Corrupt;
        }
    }

    // Colour table: 2^bits entries unless the header names fewer; never more than fit before the
    // pixels.
    std::array<ColorValue, 256> palette{};
    std::size_t paletteCount = 0;
    if (bits <= 8) {
        const std::size_t entrySize = h.os2Core ? 3 : 4;
        const std::size_t maxEntries = std::size_t{1} << bits;
        paletteCount = h.colorsUsed == 0 ? maxEntries : std::min<std::size_t>(h.colorsUsed, maxEntries);
        paletteCount = std::min<std::size_t>(paletteCount, (pixelOffset - headersEnd) / entrySize);
        if (paletteCount == 0) {
            return DibError::Corrupt;
        }
        for (std::size_t i = 0; i < paletteCount; ++i) {
            const std::size_t at = headersEnd + i * entrySize;
            palette[i] = makeColor(bytes[at + 2], bytes[at + 1], bytes[at]);
        }
    }

    const std::span<const std::uint8_t> data = bytes.subspan(static_cast<std::size_t>(pixelOffset));
    const int fileStride = *ClsDIB::strideFor(width, bits);
    if (!rle && static_cast<unsigned long long>(fileStride) * static_cast<unsigned long long>(height) > data.size()) {
        return DibError::Truncated;
    }

    std::vector<std::uint8_t> indices;
    if (rle) {
        try {
            indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            return DibError::TooLarge;
        }
        if (const DibError e = decodeRle(data, bits == 4, width, height, indices); e != DibError::None) {
            return e;
        }
    }

    ClsDIB result;
    if (!result.Create(width, height, 24, false)) {
        return result.lastError();
    }
    std::span<std::uint8_t> pixels;
    const int outStride = result.MapArray(pixels);
    const auto colourOf = [&](unsigned index) { return index < paletteCount ? palette[index] : ColorValue{0}; };

    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int memoryRow = topDown ? height - 1 - fileRow : fileRow;
        std::uint8_t* dst = pixels.data() + static_cast<std::size_t>(memoryRow) * outStride;
        if (rle) {
            const std::uint8_t* src = indices.data() + static_cast<std::size_t>(fileRow) * width;
            for (int x = 0; x < width; ++x) {
                writeBgr(dst + 3 * x, colourOf(src[x]));
            }
            continue;
        }
        const std::uint8_t* src = data.data() + static_cast<std::size_t>(fileRow) * fileStride;
        switch (bits) {
        case 1:
            for (int x = 0; x < width; ++x) {
                writeBgr(dst + 3 * x, colourOf((src[x >> 3] >> (7 - (x & 7))) & 1u));
            }
            break;
        case 4:
            for (int x = 0; x < width; ++x) {
                writeBgr(dst + 3 * x, colourOf((x & 1) ? (src[x >> 1] & 0x0Fu) : (src[x >> 1] >> 4)));
            }
            break;
        case 8:
            for (int x = 0; x < width; ++x) {
                writeBgr(dst + 3 * x, colourOf(src[x]));
            }
            break;
        case 24: std::memcpy(dst, src, static_cast<std::size_t>(width) * 3); break;
        default: {
            const int bytesPerPixel = bits / 8;
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = src + static_cast<std::size_t>(x) * bytesPerPixel;
                std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
                if (bits == 32) {
                    v |= (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
                }
                dst[3 * x] = blue.extract(v);
                dst[3 * x + 1] = green.extract(v);
                dst[3 * x + 2] = red.extract(v);
            }
            break;
        }
        }
    }
    out = std::move(result);
    return DibError::None;
}

std::vector<std::uint8_t> BmpCodec::encode(const ClsDIB& dib)
{
    if (dib.empty()) {
        return {};
    }
    const int bits = dib.ColorBit();
    const std::size_t entries = bits <= 8 ? (std::size_t{1} << bits) : 0;
    const std::size_t offset = 54 + 4 * entries;
    const std::size_t dataSize = dib.DataSize();
    std::vector<std::uint8_t> out(offset + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(offset + dataSize));
    put32(out, 10, static_cast<std::uint32_t>(offset));
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(dib.Width()));
    put32(out, 22, static_cast<std::uint32_t>(dib.Height()));
    put16(out, 26, 1);
    put16(out, 28, static_cast<std::uint32_t>(bits));
    put32(out, 30, 0);
    put32(out, 34, static_cast<std::uint32_t>(dataSize));
    // Resolutions and colour counts (38..53) stay 0.
    for (std::size_t i = 0; i < entries; ++i) {
        const ColorValue c = dib.GetColorTable(static_cast<int>(i));
        const std::size_t at = 54 + 4 * i;
        out[at] = static_cast<std::uint8_t>(blueOf(c));
        out[at + 1] = static_cast<std::uint8_t>(greenOf(c));
        out[at + 2] = static_cast<std::uint8_t>(redOf(c));
    }
    std::span<const std::uint8_t> pixels;
    dib.MapArray(pixels);
    std::copy(pixels.begin(), pixels.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
    return out;
}

} // namespace kanvo
