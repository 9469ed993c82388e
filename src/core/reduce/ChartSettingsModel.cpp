#include "core/reduce/ChartSettingsModel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/common/Rounding.h"
#include "core/reduce/ReductionMethod.h"
#include "core/workspace/RunState.h"

namespace kanvo {

namespace {

[[nodiscard]] std::string_view trimmed(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

[[nodiscard]] std::string numberText(double value)
{
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc())
        return "0";
    return std::string(buffer.data(), end);
}

[[nodiscard]] std::string_view fieldCaption(ChartSettingsModel::Field field)
{
    switch (field) {
    case ChartSettingsModel::Field::BlockWidth:
        return "绣格宽度";
    case ChartSettingsModel::Field::BlockHeight:
        return "绣格高度";
    case ChartSettingsModel::Field::Strength:
        return "减色强度";
    }
    return "";
}

// A block side: a whole number within kBlockMin..kBlockMax.
[[nodiscard]] ChartSettingsModel::Error checkBlock(std::string_view text, int& out)
{
    const auto number = ChartSettingsModel::parseNumber(text);
    if (!number || *number != std::floor(*number))
        return ChartSettingsModel::Error::NotANumber;
    if (*number < ChartSettingsModel::kBlockMin || *number > ChartSettingsModel::kBlockMax)
        return ChartSettingsModel::Error::OutOfRange;
    out = static_cast<int>(*number);
    return ChartSettingsModel::Error::None;
}

} // namespace

std::vector<std::string> ChartSettingsModel::brandChoices() { return {"DMC", "CC"}; }

std::vector<std::string> ChartSettingsModel::methodChoices()
{
    return {"灰度图片", "低分辨彩色图", "高清黑白图片", "高分辨彩色图", "不做减色处理", "精选绣线"};
}

bool ChartSettingsModel::showsThreadSettings(std::string_view methodText)
{
    return ReductionMethod::codeForSettingsText(methodText) == ReductionMethod::kThreadPalette;
}

std::vector<std::string> ChartSettingsModel::blockChoices() { return {"16", "12", "10", "8", "7", "6"}; }

std::vector<std::string> ChartSettingsModel::yesNoChoices() { return {"是", "否"}; }

ChartSettingsModel::Opening ChartSettingsModel::opening(int mergeTol)
{
    Opening result;
    const double strength = static_cast<double>(mergeTol) / 20.0;
    result.strengthText = numberText(strength);
    const long position = static_cast<long>(kSliderMax) - roundHalfEven(strength);
    // A strength typed above 299 (or a negative one set elsewhere) is kept as typed; the slider
    // then rests at the end nearest to it.
    if (position < kSliderMin) {
        result.sliderPosition = kSliderMin;
        result.strengthBeyondSlider = true;
    } else if (position > kSliderMax) {
        result.sliderPosition = kSliderMax;
        result.strengthBeyondSlider = true;
    } else {
        result.sliderPosition = static_cast<int>(position);
    }
    return result;
}

ChartSettingsModel::Entries ChartSettingsModel::inForce(const RunState& state)
{
    Entries e;
    const bool project = state.chart.fromProject;
    const std::string& title = project ? state.settingsTitle : state.chart.xiutuTitle;
    e.title = title.empty() ? std::string(kTitlePlaceholder) : title;
    e.brand = (project ? state.settingsBrand : state.chart.whichType) == "CC" ? "CC" : "DMC";
    e.method = defaultMethod();
    auto texts = methodChoices();
    texts.insert(texts.end(), {"1bit", "8bit"});
    for (const std::string& text : texts)
        if (ReductionMethod::codeForSettingsText(text) == state.ColorBit) {
            e.method = text;
            break;
        }
    e.autoReduce = state.autoColor == 1 ? "否" : "是";
    e.keepColoursOnZoom = "否";
    e.blockWidth = std::to_string(state.blockW);
    e.blockHeight = std::to_string(state.blockH);
    e.strength = opening(state.mergeTol).strengthText;
    e.threads = state.threadReduction;
    return e;
}

std::string ChartSettingsModel::strengthForSlider(int position) { return std::to_string(kSliderMax - position); }

std::optional<int> ChartSettingsModel::sliderForStrength(std::string_view text)
{
    const auto strength = parseNumber(text);
    if (!strength)
        return std::nullopt;
    const double kept = std::clamp(*strength, -1.0, static_cast<double>(kStrengthMax) + 1.0);
    return opening(roundHalfEvenInt(kept) * 20).sliderPosition;
}

std::optional<double> ChartSettingsModel::parseNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 24)
        return std::nullopt;
    // Only plain decimals: no exponent, hex, inf or nan, which from_chars would take too.
    bool digits = false;
    bool point = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c == '-' && i == 0) {
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

ChartSettingsModel::Verdict ChartSettingsModel::check(const Entries& entries)
{
    Verdict verdict;
    Choice choice;
    choice.xiutuTitle = entries.title;
    choice.whichType = entries.brand;
    choice.colorBit = ReductionMethod::codeForSettingsText(entries.method);
    choice.autoColor = entries.autoReduce == "否" ? 1 : 0;

    if (const Error e = checkBlock(entries.blockWidth, choice.blockW); e != Error::None) {
        verdict.field = Field::BlockWidth;
        verdict.error = e;
        return verdict;
    }
    if (const Error e = checkBlock(entries.blockHeight, choice.blockH); e != Error::None) {
        verdict.field = Field::BlockHeight;
        verdict.error = e;
        return verdict;
    }
    const auto strength = parseNumber(entries.strength);
    if (!strength) {
        verdict.field = Field::Strength;
        verdict.error = Error::NotANumber;
        return verdict;
    }
    const long rounded = roundHalfEven(*strength);
    if (rounded < 0 || rounded > kStrengthMax) {
        verdict.field = Field::Strength;
        verdict.error = Error::OutOfRange;
        return verdict;
    }
    choice.mergeTol = static_cast<int>(rounded) * 20;
    using Limits = ThreadReductionSettings;
    choice.threadReduction.threads = std::clamp(entries.threads.threads, Limits::kMinThreads, Limits::kMaxThreads);
    choice.threadReduction.dither = std::clamp(entries.threads.dither, 0, Limits::kMaxDither);
    choice.threadReduction.cleanup = std::clamp(entries.threads.cleanup, 0, Limits::kMaxCleanup);
    verdict.choice = std::move(choice);
    return verdict;
}

void ChartSettingsModel::apply(const Choice& choice, RunState& state)
{
    // A project's chart keeps its own title; the settings' one waits for the next chart.
    (state.chart.fromProject ? state.settingsTitle : state.chart.xiutuTitle) = choice.xiutuTitle;
    (state.chart.fromProject ? state.settingsBrand : state.chart.whichType) = choice.whichType;
    if (choice.colorBit)
        state.ColorBit = *choice.colorBit;
    state.autoColor = choice.autoColor;
    state.blockW = choice.blockW;
    state.blockH = choice.blockH;
    state.mergeTol = choice.mergeTol;
    state.threadReduction = choice.threadReduction;
}

std::string ChartSettingsModel::errorText(Field field, Error error)
{
    std::string text = "“";
    text += fieldCaption(field);
    text += "”";
    if (field == Field::Strength) {
        text += error == Error::NotANumber ? "不是数字" : "超出范围";
        text += "：请输入 0 到 " + std::to_string(kStrengthMax) + " 之间的数。";
    } else {
        text += error == Error::NotANumber ? "不是整数" : "超出范围";
        text += "：请输入 " + std::to_string(kBlockMin) + " 到 " + std::to_string(kBlockMax)
            + " 之间的整数。";
    }
    text += "设置未改变。";
    return text;
}

} // namespace kanvo
