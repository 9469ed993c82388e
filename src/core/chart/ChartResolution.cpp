#include "core/chart/ChartResolution.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace kanvo {

namespace {

// numerator / denominator rounded with halves to even, in integers so that exact halves are
// recognised (the height rule 4251 h / 1140 can land on one).
std::int64_t divideRounded(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t q = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && (q % 2) != 0))
        return q + 1;
    return q;
}

constexpr std::size_t kHeaderBytes = 14 + 40;

bool isBmpHeader(std::span<const std::uint8_t> head)
{
    if (head.size() < kHeaderBytes || head[0] != 'B' || head[1] != 'M')
        return false;
    const std::uint32_t infoSize = head[14] | (head[15] << 8) | (head[16] << 16) | (static_cast<std::uint32_t>(head[17]) << 24);
    return infoSize >= 40;
}

void putInt32(std::span<std::uint8_t> out, std::size_t offset, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFFu);
}

} // namespace

std::int32_t chartResolution(int width, int height)
{
    const std::int64_t w = std::max(width, 0);
    const std::int64_t h = std::max(height, 0);
    const std::int64_t byWidth = divideRounded(w * 2834, 570);
    const std::int64_t byHeight = divideRounded(h * 4251, 1140); // 2125.5 / 570
    return static_cast<std::int32_t>(std::max(byWidth, byHeight));
}

bool patchBmpResolution(std::span<std::uint8_t> bmp, std::int32_t d)
{
    if (!isBmpHeader(bmp))
        return false;
    putInt32(bmp, 38, d);
    putInt32(bmp, 42, d);
    return true;
}

bool patchBmpFileResolution(const std::filesystem::path& path, std::int32_t d)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file)
        return false;
    std::array<std::uint8_t, kHeaderBytes> head{};
    if (!file.read(reinterpret_cast<char*>(head.data()), head.size()) || !isBmpHeader(head))
        return false;
    std::array<std::uint8_t, 8> fields{};
    putInt32(fields, 0, d);
    putInt32(fields, 4, d);
    file.seekp(38);
    file.write(reinterpret_cast<const char*>(fields.data()), fields.size());
    file.flush();
    return static_cast<bool>(file);
}

} // namespace kanvo
