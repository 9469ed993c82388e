#pragma once

#include <optional>
#include <string_view>

namespace kanvo {

// What the chart shows in its cells, as chosen in the chart window's mode list.
enum class ChartMode {
    BlocksAndSymbols, // "生成绣图色块"
    SymbolsOnly,      // "无色块绣图" (the initial choice)
    BlocksOnly,       // "仅生成色块"
};

// The mode list's caption of mode, in Chinese (shown as translate("ChartMode", caption)).
[[nodiscard]] std::string_view chartModeText(ChartMode mode);
// The mode of a caption; nullopt for any other text.
[[nodiscard]] std::optional<ChartMode> chartModeFromText(std::string_view text);

[[nodiscard]] constexpr bool modeHasBlocks(ChartMode mode) { return mode != ChartMode::SymbolsOnly; }
[[nodiscard]] constexpr bool modeHasSymbols(ChartMode mode) { return mode != ChartMode::BlocksOnly; }

} // namespace kanvo
