#include "core/chart/ChartGridText.h"

namespace kanvo {

std::string ChartGridText::csv(const ChartModel& model, const ThreadTable& table)
{
    const bool sized = model.gw >= 1 && model.gw <= ChartModel::kMaxSide && model.gh >= 1
        && model.gh <= ChartModel::kMaxSide
        && model.colorIndex.size() >= static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide;
    if (!sized)
        return {};
    std::string text;
    text.reserve(static_cast<std::size_t>(model.gw) * static_cast<std::size_t>(model.gh) * 5);
    for (int y = 0; y < model.gh; ++y) {
        for (int x = 0; x < model.gw; ++x) {
            if (x > 0)
                text += ',';
            text += std::to_string(model.isStitched(x, y) ? table.dmc(model.threadAt(x, y)).cindex : 0);
        }
        text += '\n';
    }
    return text;
}

} // namespace kanvo
