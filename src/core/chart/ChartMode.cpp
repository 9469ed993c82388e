#include "core/chart/ChartMode.h"

#include "core/common/Translation.h"

namespace kanvo {

std::string_view chartModeText(ChartMode mode)
{
    switch (mode) {
    case ChartMode::BlocksAndSymbols:
        return sourceText("ChartMode", "生成绣图色块");
    case ChartMode::SymbolsOnly:
        return sourceText("ChartMode", "无色块绣图");
    case ChartMode::BlocksOnly:
        return sourceText("ChartMode", "仅生成色块");
    }
    return "无色块绣图";
}

std::optional<ChartMode> chartModeFromText(std::string_view text)
{
    for (ChartMode mode : {ChartMode::BlocksAndSymbols, ChartMode::SymbolsOnly, ChartMode::BlocksOnly}) {
        if (chartModeText(mode) == text)
            return mode;
    }
    return std::nullopt;
}

} // namespace kanvo
