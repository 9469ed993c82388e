#include "core/project/ChartProject.h"

#include <algorithm>

#include "core/common/Translation.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/SymbolSet.h"
#include "core/stitch/LayerTally.h"

namespace kanvo {

std::string rgbHex(ColorValue color)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const int channel : {redOf(color), greenOf(color), blueOf(color)}) {
        out += kDigits[channel >> 4];
        out += kDigits[channel & 15];
    }
    return out;
}

std::string ImportNotes::text(const ThreadTable& table) const
{
    constexpr std::size_t kNamed = 20;
    std::string out;
    if (!substituted.empty()) {
        out += withArgs(translate("ChartProject", "以下%1种绣线不在DMC色卡中，已换成颜色最接近的DMC绣线：\n"),
            {std::to_string(substituted.size())});
        for (std::size_t i = 0; i < std::min(substituted.size(), kNamed); ++i) {
            const Substitution& s = substituted[i];
            out += "  " + (s.number.empty() ? translate("ChartProject", "(无线号)") : s.number) + " (" + rgbHex(s.color)
                + ") -> DMC " + std::to_string(table.dmc(s.thread).cindex) + "\n";
        }
        if (substituted.size() > kNamed)
            out += "  ……\n";
    }
    if (leftOut.total() > 0) {
        out += withArgs(translate("ChartProject",
                            "略去了半针%1处，回针%2处，法式结%3个，珠子%4颗，其他针法%5处：它们在绣图范围之外、"
                            "使用了绣线表中没有的绣线，或是本程序不能显示的针法。\n"),
            {std::to_string(leftOut.partStitches), std::to_string(leftOut.backStitches), std::to_string(leftOut.knots),
                std::to_string(leftOut.beads), std::to_string(leftOut.others)});
    }
    return out;
}

std::vector<int> usedThreads(const ChartModel& chart)
{
    std::vector<int> threads;
    std::vector<bool> listed(ChartModel::kThreadSlots, false);
    const auto add = [&](int t) {
        if (ThreadTable::isEntry(t) && !listed[static_cast<std::size_t>(t)]) {
            listed[static_cast<std::size_t>(t)] = true;
            threads.push_back(t);
        }
    };
    for (int y = 0; y < chart.gh; ++y)
        for (int x = 0; x < chart.gw; ++x)
            add(chart.threadAt(x, y));
    const LayerTally tally(chart.layers);
    for (const int t : tally.threads())
        add(t);
    return threads;
}

void completeChart(ChartModel& chart, int rareThreshold, const ThreadTable& table)
{
    static const std::vector<std::string> symbols = loadxiuChr();
    chart.xiuChr = symbols;
    chart.whichType = "DMC";
    const std::vector<int> found = usedThreads(chart);
    std::vector<bool> used(ChartModel::kThreadSlots, false);
    for (const int t : found)
        used[static_cast<std::size_t>(t)] = true;
    std::erase_if(chart.colorList, [&](int t) { return !ThreadTable::isEntry(t) || !used[static_cast<std::size_t>(t)]; });
    for (const int t : found)
        if (std::find(chart.colorList.begin(), chart.colorList.end(), t) == chart.colorList.end())
            chart.colorList.push_back(t);
    keepSymbols(chart);
    chart.colorCount = static_cast<int>(chart.colorList.size());
    (void)sortColorIndex(chart, rareThreshold, table);
    chart.chartReady = true;
}

StitchMatrix stitchColors(const ChartModel& chart, const ThreadTable& table)
{
    StitchMatrix colors;
    const int gw = std::clamp(chart.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(chart.gh, 0, ChartModel::kMaxSide);
    if (chart.colorIndex.size() < static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide)
        return colors;
    for (int x = 0; x < gw; ++x)
        for (int y = 0; y < gh; ++y)
            colors.set(x, y, chart.isStitched(x, y) ? table.colorOf(chart.threadAt(x, y)) : chart.clothColor);
    return colors;
}

StitchMatrix editedStitchColors(const ChartModel& chart, std::span<const int> generatedThreads,
    const StitchMatrix& picture, const ThreadTable& table)
{
    StitchMatrix colors = stitchColors(chart, table);
    if (generatedThreads.size() < chart.colorIndex.size())
        return colors;
    const int gw = std::clamp(chart.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(chart.gh, 0, ChartModel::kMaxSide);
    for (int x = 0; x < gw; ++x)
        for (int y = 0; y < gh; ++y) {
            const std::size_t cell = static_cast<std::size_t>(x) * ChartModel::kMatrixSide + static_cast<std::size_t>(y);
            if (chart.isStitched(x, y) && chart.colorIndex[cell] == generatedThreads[cell])
                colors.set(x, y, picture.at(x, y));
        }
    return colors;
}

EditColorModel editColors(const ChartModel& chart)
{
    EditColorModel colors;
    colors.width = std::clamp(chart.gw, 0, ChartModel::kMaxSide);
    colors.height = std::clamp(chart.gh, 0, ChartModel::kMaxSide);
    colors.colorIndex.assign(static_cast<std::size_t>(EditColorModel::kSide) * EditColorModel::kSide, 0);
    if (chart.colorIndex.size() >= colors.colorIndex.size())
        for (int x = 0; x < colors.width; ++x)
            for (int y = 0; y < colors.height; ++y)
                colors.colorIndex[static_cast<std::size_t>(x) * EditColorModel::kSide + static_cast<std::size_t>(y)]
                    = chart.threadAt(x, y);
    colors.colorList = chart.colorList;
    colors.maxColor = static_cast<int>(colors.colorList.size());
    colors.distinctColors = colors.maxColor;
    return colors;
}

void setChartThreads(ChartModel& chart, const std::function<int(int x, int y)>& editedThreadAt)
{
    std::vector<bool> listed(ChartModel::kThreadSlots, false);
    for (const int t : chart.colorList)
        if (ThreadTable::isEntry(t))
            listed[static_cast<std::size_t>(t)] = true;
    for (int x = 0; x < chart.gw; ++x)
        for (int y = 0; y < chart.gh; ++y)
            chart.colorIndex[static_cast<std::size_t>(x) * ChartModel::kMatrixSide + static_cast<std::size_t>(y)]
                = editedThreadAt(x, y);
    for (int y = 0; y < chart.gh; ++y)
        for (int x = 0; x < chart.gw; ++x) {
            const int t = chart.threadAt(x, y);
            if (ThreadTable::isEntry(t) && !listed[static_cast<std::size_t>(t)]) {
                listed[static_cast<std::size_t>(t)] = true;
                chart.colorList.push_back(t);
            }
        }
}

} // namespace kanvo
