#pragma once

#include <string>

#include "core/palette/ChartModel.h"

namespace kanvo {

// The texts that the screen chart and the printed page share.
namespace chart_texts {

inline constexpr const char* kDefaultBrand = "DMC";
inline constexpr const char* kFooter = "Quillex inc.Printed";

// The texts below are in the chosen language (see core/common/Translation.h).

// "我的绣图": the title of a chart without one.
[[nodiscard]] std::string defaultTitle();
// The legend's row captions "符号", "线号", "数量".
[[nodiscard]] std::string symbolLabel();
[[nodiscard]] std::string numberLabel();
[[nodiscard]] std::string countLabel();
// The second note line under the legend.
[[nodiscard]] std::string secondNote();
// xiutuTitle, or defaultTitle() when it is empty; the settings' placeholder title
// (ChartSettingsModel::kTitlePlaceholder) in the chosen language.
[[nodiscard]] std::string title(const ChartModel& model);
// "绣线:" + brand + "  颜色数：" + maxColor + "   宽x高：" + gw + "x" + gh; the brand is "DMC"
// when whichType is empty.
[[nodiscard]] std::string subtitle(const ChartModel& model);
// The first note line with the total of stitched cells (gw x gh for a generated chart).
[[nodiscard]] std::string totalNote(const ChartModel& model);

// The symbol of thread threadIndex (1..452): the symbol of xiuChr at the 1-based position
// chrIndex[threadIndex]; empty when the thread has no position or the position lies beyond the
// symbol set.
[[nodiscard]] std::string symbolOfThread(const ChartModel& model, int threadIndex);

// The thread of stitch (x, y), 0 when the colour index does not cover the stitch.
[[nodiscard]] int threadOfStitch(const ChartModel& model, int x, int y);

// A number printed the way numbers are printed to the chart: a blank in place of the sign for
// values >= 0 (" 42"), the minus sign otherwise.
[[nodiscard]] std::string signedNumber(int value);
// value with at least `digits` digits, leading zeros ("00" pattern: 7 -> "07", 123 -> "123").
[[nodiscard]] std::string zeroPadded(int value, int digits);
// The letter under the n-th block boundary (n from 0): "A", "B", ... "Z", then the following
// character codes "[", "\", "]", ... up to "~"; beyond "~" the letters go on with the printable
// Latin-1 signs from "¡" so that no control character is ever printed.
[[nodiscard]] std::string columnLetter(int n);

} // namespace chart_texts
} // namespace kanvo
