#include "core/reduce/ReductionMethod.h"

#include <vector>

#include "core/image/ClsDIB.h"

namespace kanvo {

namespace {

// The picture as colour values, reduced to table threads, written back as 24 bits.
bool convertToThreads(ClsDIB& target, const ClsDIB& source, const ThreadReductionSettings& settings,
    std::span<const std::uint8_t> cloth)
{
    const int width = source.Width();
    const int height = source.Height();
    if (source.ColorBit() != 24 || width < 1 || height < 1)
        return false;
    std::vector<ColorValue> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto row = source.rowFromTop(y);
        ColorValue* out = picture.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x)
            out[x] = makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    const std::vector<ColorValue> reduced
        = ThreadPaletteReducer::reduce(picture, width, height, settings, loadedThreadTable(),
            cloth.size() == picture.size() ? cloth : std::span<const std::uint8_t>{});
    if (reduced.size() != picture.size() || !target.Create(width, height, 24, false))
        return false;
    for (int y = 0; y < height; ++y) {
        const auto row = target.rowFromTop(y);
        const ColorValue* in = reduced.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(blueOf(in[x]));
            row[3 * x + 1] = static_cast<std::uint8_t>(greenOf(in[x]));
            row[3 * x + 2] = static_cast<std::uint8_t>(redOf(in[x]));
        }
    }
    return true;
}

} // namespace

std::optional<int> ReductionMethod::codeForSettingsText(std::string_view text)
{
    if (text == "1bit")
        return 1;
    if (text == "灰度图片")
        return 2;
    if (text == "低分辨彩色图")
        return 3;
    if (text == "高清黑白图片")
        return 4;
    if (text == "8bit")
        return 8;
    if (text == "高分辨彩色图")
        return 16;
    if (text == "不做减色处理")
        return 0;
    if (text == "精选绣线")
        return kThreadPalette;
    return std::nullopt;
}

bool ReductionMethod::isKnownCode(int code)
{
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 16:
    case kThreadPalette:
        return true;
    default:
        return false;
    }
}

int ReductionMethod::outputDepth(int code)
{
    switch (code) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
        return 4;
    case 8:
    case 16:
        return 8;
    case kThreadPalette:
        return 24;
    default:
        return 0;
    }
}

bool ReductionMethod::convert(int code, ClsDIB& target, const ClsDIB& source, const ThreadReductionSettings& threads,
    std::span<const std::uint8_t> cloth)
{
    switch (code) {
    case 16:
        return target.ddGet216C(source, true);
    case 3:
        return target.ddGet3Bit(source, true);
    case 4:
        return target.ddGet4Bit(source);
    case 2:
        return target.ddGet2Bit(source);
    case 8:
        return target.ddGet8Bit(source, true);
    case 1:
        return target.ddGet1Bit(source);
    case kThreadPalette:
        return convertToThreads(target, source, threads, cloth);
    default:
        return false;
    }
}

} // namespace kanvo
