#include "core/chart/ChartTexts.h"

#include <cstdio>

namespace kanvo::chart_texts {

std::string title(const ChartModel& model)
{
    return model.xiutuTitle.empty() ? std::string(kDefaultTitle) : model.xiutuTitle;
}

std::string subtitle(const ChartModel& model)
{
    const std::string brand = model.whichType.empty() ? std::string(kDefaultBrand) : model.whichType;
    return "绣线:" + brand + "  颜色数：" + std::to_string(model.maxColor) + "   宽x高："
        + std::to_string(model.gw) + "x" + std::to_string(model.gh);
}

std::string totalNote(const ChartModel& model)
{
    // Only stitched cells need thread; a generated chart stitches every cell.
    const long total = model.stitchCount();
    return "注:全部线量总和为" + std::to_string(total)
        + "，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计.";
}

std::string symbolOfThread(const ChartModel& model, int threadIndex)
{
    if (threadIndex <= 0 || threadIndex >= static_cast<int>(model.chrIndex.size()))
        return {};
    const int position = model.chrIndex[static_cast<std::size_t>(threadIndex)];
    if (position < 1 || position > static_cast<int>(model.xiuChr.size()))
        return {};
    return model.xiuChr[static_cast<std::size_t>(position) - 1];
}

int threadOfStitch(const ChartModel& model, int x, int y)
{
    const std::size_t offset = static_cast<std::size_t>(x) * 321 + static_cast<std::size_t>(y);
    if (x < 0 || y < 0 || y > 320 || offset >= model.colorIndex.size())
        return 0;
    return model.colorIndex[offset];
}

std::string signedNumber(int value)
{
    return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

std::string zeroPadded(int value, int digits)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    return buffer;
}

std::string columnLetter(int n)
{
    int code = 'A' + n;
    if (code > '~')
        code += 0xA1 - 0x7F; // skip DEL and the C1 controls
    if (code < 0x80)
        return std::string(1, static_cast<char>(code));
    // UTF-8 of a code point below 0x800
    if (code < 0x800) {
        std::string out;
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
        return out;
    }
    return "?";
}

} // namespace kanvo::chart_texts
