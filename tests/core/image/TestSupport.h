#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/common/Color.h"
#include "common/TempDir.h"

namespace kanvo::test {

[[nodiscard]] std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

[[nodiscard]] std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at);
[[nodiscard]] std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at);

// A picture as read by an independent decoder (Pillow, or ImageMagick where Pillow refuses).
struct ReferencePicture {
    std::string mode; // Pillow's mode: "1", "P", "RGB", ...
    int width = 0;
    int height = 0;
    std::vector<ColorValue> rgbTopDown; // width * height colours, top row first
    std::vector<ColorValue> palette;    // entries of a "P" picture
    [[nodiscard]] ColorValue at(int x, int yFromTop) const
    {
        return rgbTopDown[static_cast<std::size_t>(yFromTop) * static_cast<std::size_t>(width)
            + static_cast<std::size_t>(x)];
    }
};

// Runs tests/core/image/reference_decode.py on `file`; nullopt when no decoder reads it.
// Pillow goes first (it reports palettes) unless `magickFirst`.
[[nodiscard]] std::optional<ReferencePicture> decodeWithReference(const std::string& file, const TempDir& scratch,
    bool magickFirst = false);

// Builds BMP files byte by byte for the hostile-input tests, independent of the codec.
struct BmpBuilder {
    std::vector<std::uint8_t> bytes;
    void u8(int v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v)
    {
        u8(static_cast<int>(v & 0xFF));
        u8(static_cast<int>((v >> 8) & 0xFF));
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // File header and a 40-byte info header; sizes and offsets as given, no checks.
    static BmpBuilder withInfoHeader(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t compression,
        std::uint32_t pixelOffset, std::uint32_t colorsUsed = 0);
    void set32(std::size_t at, std::uint32_t v)
    {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
        bytes[at + 2] = static_cast<std::uint8_t>(v >> 16);
        bytes[at + 3] = static_cast<std::uint8_t>(v >> 24);
    }
};

} // namespace kanvo::test
