#include "core/chart/ChartTexts.h"

#include <cstdio>

#include "core/common/Translation.h"
#include "core/reduce/ChartSettingsModel.h"

namespace kanvo::chart_texts {

std::string defaultTitle() { return translate("ChartTexts", "我的绣图"); }
std::string symbolLabel() { return translate("ChartTexts", "符号"); }
std::string numberLabel() { return translate("ChartTexts", "线号"); }
std::string countLabel() { return translate("ChartTexts", "数量"); }
std::string secondNote() { return translate("ChartTexts", "图中的符号代表了绣线颜色，这样就可以方便的绣图。"); }

std::string title(const ChartModel& model)
{
    if (model.xiutuTitle.empty())
        return defaultTitle();
    // The settings' placeholder, kept by OK as it stands, is a text of the program and is shown
    // in the chosen language; a title the user typed is shown as typed.
    if (model.xiutuTitle == ChartSettingsModel::kTitlePlaceholder)
        return translate("ChartSettingsModel", ChartSettingsModel::kTitlePlaceholder.data());
    return model.xiutuTitle;
}

std::string subtitle(const ChartModel& model)
{
    const std::string brand = model.whichType.empty() ? std::string(kDefaultBrand) : model.whichType;
    return withArgs(translate("ChartTexts", "绣线:%1  颜色数：%2   宽x高：%3x%4"),
        {brand, std::to_string(model.maxColor), std::to_string(model.gw), std::to_string(model.gh)});
}

std::string totalNote(const ChartModel& model)
{
    // Only stitched cells need thread; a generated chart stitches every cell.
    const long total = model.stitchCount();
    return withArgs(
        translate("ChartTexts", "注:全部线量总和为%1，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计."),
        {std::to_string(total)});
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
