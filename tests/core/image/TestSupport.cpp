#include "TestSupport.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace kanvo::test {

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b.at(at)) | (static_cast<std::uint32_t>(b.at(at + 1)) << 8)
        | (static_cast<std::uint32_t>(b.at(at + 2)) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::optional<ReferencePicture> decodeWithReference(const std::string& file, const TempDir& scratch, bool magickFirst)
{
    static std::atomic<int> counter{0};
    const std::string prefix = scratch.file("ref" + std::to_string(++counter));
    const std::string command = std::string("/usr/bin/python3 '") + KANVO_REFERENCE_SCRIPT + "' '" + file + "' '"
        + prefix + "'" + (magickFirst ? " magick-first" : "");
    if (std::system(command.c_str()) != 0) {
        return std::nullopt;
    }
    ReferencePicture picture;
    std::ifstream info(prefix + ".txt");
    std::string decoder;
    info >> picture.mode >> picture.width >> picture.height >> decoder;
    int r = 0;
    int g = 0;
    int b = 0;
    while (info >> r >> g >> b) {
        picture.palette.push_back(makeColor(r, g, b));
    }
    const std::vector<std::uint8_t> ppm = readBytes(prefix + ".ppm");
    // Header "P6\nW H\n255\n": skip three whitespace-separated tokens and one whitespace byte.
    std::size_t pos = 0;
    for (int token = 0; token < 4; ++token) {
        while (pos < ppm.size() && std::isspace(ppm[pos])) {
            ++pos;
        }
        while (pos < ppm.size() && !std::isspace(ppm[pos])) {
            ++pos;
        }
    }
    ++pos;
    const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (ppm.size() < pos + 3 * count) {
        return std::nullopt;
    }
    picture.rgbTopDown.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        picture.rgbTopDown[i] = makeColor(ppm[pos + 3 * i], ppm[pos + 3 * i + 1], ppm[pos + 3 * i + 2]);
    }
    return picture;
}

BmpBuilder BmpBuilder::withInfoHeader(std::int32_t width, std::int32_t height, int bitCount,
    std::uint32_t compression, std::uint32_t pixelOffset, std::uint32_t colorsUsed)
{
    BmpBuilder b;
    b.u8('B');
    b.u8('M');
    b.u32(0); // file size: readers must not trust it
    b.u32(0);
    b.u32(pixelOffset);
    b.u32(40);
    b.u32(static_cast<std::uint32_t>(width));
    b.u32(static_cast<std::uint32_t>(height));
    b.u16(1);
    b.u16(static_cast<std::uint32_t>(bitCount));
    b.u32(compression);
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u32(colorsUsed);
    b.u32(0);
    return b;
}

} // namespace kanvo::test
