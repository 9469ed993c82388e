#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Color.h"
#include "core/image/DibError.h"

namespace kanvo {

// The program's in-memory bitmap: a device-independent bitmap of 1, 4, 8, 16, 24 or 32 bits per
// pixel whose pixel memory is addressed directly.
//
// Layout (also the layout of the BMP file): memory row 0 is the BOTTOM row of the picture, the
// row r-th from the top lies at memory row Height() - 1 - r. Within a row pixels run left to
// right; 24-bit pixels are blue, green, red; 8-bit pixels one palette index per byte; 4-bit
// pixels two per byte, the left one in the high nibble; 1-bit pixels eight per byte, the leftmost
// in the most significant bit. Every row takes stride() bytes, a multiple of 4; pad bytes carry
// no pixels. Buffers of up to 8 bits carry a colour table of 2^ColorBit entries (all 0 when made).
//
// A value type: copying copies header, colour table and pixels (the copy gets its own handle);
// moving leaves the source empty. Operations report failure by their result and lastError();
// the buffer never shows messages.
class ClsDIB {
public:
    ClsDIB() = default;
    ClsDIB(const ClsDIB& other);
    ClsDIB& operator=(const ClsDIB& other);
    ClsDIB(ClsDIB&& other) noexcept;
    ClsDIB& operator=(ClsDIB&& other) noexcept;
    ~ClsDIB() = default;

    // Bytes per row for `width` pixels (>= 0) at `bitCount` bits: ((w*bits + 7) div 8 + 3)
    // rounded down to a multiple of 4 for 1..24 bits, 4*w for 32 bits. nullopt for another depth,
    // a negative width or a stride beyond the int range.
    [[nodiscard]] static std::optional<int> strideFor(int width, int bitCount);

    // Releases the current bitmap, then makes a new one of width x height pixels (both >= 1) at
    // `bitCount` bits (1, 4, 8, 16, 24, 32). With `clear`, all pixel bytes are 0 (new memory is
    // zero either way). False (buffer empty) for another depth, sizes < 1, a DataSize beyond the
    // int range, or when the memory cannot be had; lastError() tells which.
    [[nodiscard]] bool Create(int width, int height, int bitCount, bool clear);
    // Releases the bitmap; all sizes become 0. Nothing happens on an empty buffer.
    void Free();
    // Sets every pixel byte to 0 (black, or palette index 0). Nothing happens on an empty buffer.
    void Cls();

    // Non-zero handle id, unique in this run, while holding a bitmap; 0 when empty.
    [[nodiscard]] int hDC() const { return handle_; }
    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    [[nodiscard]] int ColorBit() const { return bitCount_; }
    // stride() * Height() bytes; 0 when empty.
    [[nodiscard]] std::size_t DataSize() const { return pixels_.size(); }
    [[nodiscard]] int stride() const { return stride_; }
    [[nodiscard]] bool empty() const { return handle_ == 0; }

    // Colour-table entry `index` as 0x00BBGGRR; 0 when there is no such entry.
    [[nodiscard]] ColorValue GetColorTable(int index) const;
    // Writes entry `index` from the red, green and blue bytes of `color` (the top byte is
    // ignored). False when the buffer has no colour table or `index` is outside it.
    [[nodiscard]] bool SetColorTable(int index, ColorValue color);
    // Number of colour-table entries: 2^ColorBit up to 8 bits, else 0.
    [[nodiscard]] int colorTableSize() const { return static_cast<int>(palette_.size()); }

    // Makes `view` a non-owning view of the DataSize() pixel bytes, memory row 0 first, and
    // returns the stride. An empty view and 0 on an empty buffer. The view stays valid until the
    // buffer is re-created, freed, assigned or destroyed.
    int MapArray(std::span<std::uint8_t>& view);
    int MapArray(std::span<const std::uint8_t>& view) const;

    // The stride() bytes of the row `r` counted from the top (0 = top row); empty if out of range.
    [[nodiscard]] std::span<std::uint8_t> rowFromTop(int r);
    [[nodiscard]] std::span<const std::uint8_t> rowFromTop(int r) const;

    // Single pixels of a 24-bit buffer in top-down coordinates, for tests and code off the hot
    // paths. pixel24 gives 0 and setPixel24 does nothing outside the picture or on other depths.
    [[nodiscard]] ColorValue pixel24(int x, int yFromTop) const;
    void setPixel24(int x, int yFromTop, ColorValue color);

    // Block copies between buffers, nearest pixel, plain copy. Coordinates are top-down pixels.
    // Rectangles are clipped to both buffers; pixels that fall outside either are skipped.
    // Same depth on both sides copies pixel values (palette indices stay indices); otherwise the
    // target must be 24 or 32 bits and source pixels are turned into colours (through the
    // source's colour table up to 8 bits, 5-5-5 for 16 bits). False when either buffer is
    // empty, a size is negative, or the depths cannot be combined.
    //
    // GethDC: copies from `src` at (srcX, srcY) into this buffer at (x, y), unscaled; a w or h
    // of 0 means this buffer's width or height.
    [[nodiscard]] bool GethDC(const ClsDIB& src, int x, int y, int w, int h, int srcX, int srcY);
    // GethDCEx: as GethDC but stretches (srcX, srcY, srcW, srcH) onto (x, y, w, h); a srcW or
    // srcH of 0 means w or h (after w and h are resolved).
    [[nodiscard]] bool GethDCEx(const ClsDIB& src, int x, int y, int w, int h, int srcX, int srcY, int srcW,
        int srcH);
    // PuthDC: copies this buffer at (meX, meY) into `out` at (x, y), unscaled; a w or h of 0
    // means this buffer's width or height.
    [[nodiscard]] bool PuthDC(ClsDIB& out, int x, int y, int w, int h, int meX, int meY) const;
    // PuthDCEx: stretches this buffer's (meX, meY, meW, meH) onto `out`'s (x, y, w, h); every
    // size given as 0 means this buffer's width or height.
    [[nodiscard]] bool PuthDCEx(ClsDIB& out, int x, int y, int w, int h, int meX, int meY, int meW,
        int meH) const;

    // Reads a BMP file: uncompressed 1/4/8/16/24/32 bits, bit fields (16 and 32 bits, also in
    // V4/V5 headers), RLE4/RLE8, top-down files and the 12-byte OS/2 header. The result is always
    // a 24-bit bottom-up buffer. On failure (missing, truncated, inconsistent, unsupported, more
    // than 32768 pixels a side or 512 MiB of pixel memory) returns false and the buffer is left
    // exactly as it was; lastError() tells why.
    [[nodiscard]] bool LoadBitMap(const std::string& fileName);
    // The same decoder over bytes in memory.
    [[nodiscard]] bool loadFromMemory(std::span<const std::uint8_t> bytes);
    // Writes the buffer as an uncompressed BMP with a 40-byte header (pixel data at 54, or at
    // 54 + 4 * 2^ColorBit after the colour table up to 8 bits). The file is replaced atomically:
    // on failure an existing file is kept. An empty buffer returns false and touches no file.
    [[nodiscard]] bool SaveBMP(const std::string& fileName) const;
    // The file's bytes as SaveBMP writes them; empty for an empty buffer.
    [[nodiscard]] std::vector<std::uint8_t> encodeBmp() const;
    // Error of the last operation that reports one (Create, LoadBitMap, loadFromMemory,
    // SaveBMP, the blits and the converters).
    [[nodiscard]] DibError lastError() const { return lastError_; }

    // Ordered-dither colour-depth converters: each re-creates this buffer from the 24-bit `src`
    // (same size) at its target depth with a fixed palette. False, and this buffer untouched, when
    // `src` is not a 24-bit buffer. `src` may be this buffer itself. With `ddRotate`, blue, green
    // and red use different turns of the threshold matrix.
    [[nodiscard]] bool ddGet1Bit(const ClsDIB& src);                  // 1 bit: black, white
    [[nodiscard]] bool ddGet2Bit(const ClsDIB& src);                  // 4 bits: 4 greys 85*k
    [[nodiscard]] bool ddGet3Bit(const ClsDIB& src, bool ddRotate);   // 4 bits: 8 RGB corners
    [[nodiscard]] bool ddGet4Bit(const ClsDIB& src);                  // 4 bits: 16 greys 17*k
    [[nodiscard]] bool ddGet216C(const ClsDIB& src, bool ddRotate);   // 8 bits: 6x6x6 web colours
    [[nodiscard]] bool ddGet8Bit(const ClsDIB& src, bool ddRotate);   // 8 bits: 4 red x 8 green x 8 blue
    [[nodiscard]] bool ddGet16Bit(const ClsDIB& src, bool ddRotate);  // 24 bits on 5-6-5 levels

    // Internal use by the converters and the decoder: records an error for lastError().
    void setLastError(DibError error) const { lastError_ = error; }

private:
    int handle_ = 0;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    int stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::vector<ColorValue> palette_;
    mutable DibError lastError_ = DibError::None;
};

} // namespace kanvo
