#pragma once

#include <string>
#include <vector>

namespace kanvo {

// Number of chart symbols; a thread whose position in the chart's thread list is beyond this
// has no symbol.
inline constexpr int kSymbolCount = 241;

// The chart symbols `xiuChr` in symbol order, one UTF-8 string per symbol (241 of them):
// 76 distinct ASCII symbols ("a" first, "&" 74th) followed by Chinese characters ("人" 77th).
// Eleven of the Chinese characters occur twice. The result is the same on every call.
[[nodiscard]] std::vector<std::string> loadxiuChr();

} // namespace kanvo
