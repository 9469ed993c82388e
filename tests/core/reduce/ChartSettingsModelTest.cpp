#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/reduce/ChartSettingsModel.h"
#include "core/workspace/RunState.h"

namespace kanvo {
namespace {

using Model = ChartSettingsModel;

// The entries of a window opened with the defaults and left alone.
Model::Entries untouched()
{
    Model::Entries e;
    e.title = std::string(Model::kTitlePlaceholder);
    e.brand = "DMC";
    e.method = "高分辨彩色图";
    e.autoReduce = "是";
    e.keepColoursOnZoom = "否";
    e.blockWidth = "10";
    e.blockHeight = "10";
    e.strength = "0";
    return e;
}

TEST(ChartSettingsModel, ListsAndDefaults)
{
    EXPECT_EQ(Model::brandChoices(), (std::vector<std::string>{"DMC", "CC"}));
    EXPECT_EQ(Model::methodChoices(),
        (std::vector<std::string>{"灰度图片", "低分辨彩色图", "高清黑白图片", "高分辨彩色图", "不做减色处理"}));
    EXPECT_EQ(Model::blockChoices(), (std::vector<std::string>{"16", "12", "10", "8", "7", "6"}));
    EXPECT_EQ(Model::yesNoChoices(), (std::vector<std::string>{"是", "否"}));
    EXPECT_EQ(Model::defaultMethod(), "高分辨彩色图");
    EXPECT_EQ(Model::defaultBlock(), "10");
}

TEST(ChartSettingsModel, OkWithoutTouchingAnything)
{
    RunState state;
    state.ColorBit = 3;
    state.autoColor = 1;
    state.blockW = 6;
    state.blockH = 7;
    state.mergeTol = 400;
    const auto verdict = Model::check(untouched());
    ASSERT_TRUE(verdict.choice);
    Model::apply(*verdict.choice, state);
    EXPECT_EQ(state.chart.xiutuTitle, "给你的绣图起个名字");
    EXPECT_EQ(state.chart.whichType, "DMC");
    EXPECT_EQ(state.ColorBit, 16);
    EXPECT_EQ(state.autoColor, 0);
    EXPECT_EQ(state.blockW, 10);
    EXPECT_EQ(state.blockH, 10);
    EXPECT_EQ(state.mergeTol, 0);
}

struct MethodCase {
    const char* text;
    int expectedColorBit; // starting from 5, a code no text selects
};

class MethodText : public ::testing::TestWithParam<MethodCase> {};

TEST_P(MethodText, SetsColorBit)
{
    RunState state;
    state.ColorBit = 5;
    auto entries = untouched();
    entries.method = GetParam().text;
    const auto verdict = Model::check(entries);
    ASSERT_TRUE(verdict.choice);
    Model::apply(*verdict.choice, state);
    EXPECT_EQ(state.ColorBit, GetParam().expectedColorBit);
}

INSTANTIATE_TEST_SUITE_P(AllTexts, MethodText,
    ::testing::Values(MethodCase{"1bit", 1}, MethodCase{"灰度图片", 2}, MethodCase{"低分辨彩色图", 3},
        MethodCase{"高清黑白图片", 4}, MethodCase{"8bit", 8}, MethodCase{"高分辨彩色图", 16},
        MethodCase{"不做减色处理", 0}, MethodCase{"abc", 5}, MethodCase{"", 5}, MethodCase{"8BIT", 5},
        MethodCase{"16", 5}));

TEST(ChartSettingsModel, AutoReduceOffAndBrand)
{
    RunState state;
    auto entries = untouched();
    entries.autoReduce = "否";
    entries.brand = "CC";
    entries.title = "小猫";
    entries.blockWidth = "16";
    entries.blockHeight = "6";
    entries.strength = "299";
    const auto verdict = Model::check(entries);
    ASSERT_TRUE(verdict.choice);
    Model::apply(*verdict.choice, state);
    EXPECT_EQ(state.autoColor, 1);
    EXPECT_EQ(state.chart.whichType, "CC");
    EXPECT_EQ(state.chart.xiutuTitle, "小猫");
    EXPECT_EQ(state.blockW, 16);
    EXPECT_EQ(state.blockH, 6);
    EXPECT_EQ(state.mergeTol, 5980);
}

struct EntryCase {
    const char* blockWidth;
    const char* blockHeight;
    const char* strength;
    bool accepted;
    Model::Field field;
    Model::Error error;
    int blockW; // when accepted
    int blockH;
    int mergeTol;
};

class Entries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entries, CheckedBeforeAnythingIsWritten)
{
    const EntryCase& c = GetParam();
    RunState state;
    state.ColorBit = 3;
    state.blockW = 7;
    state.blockH = 8;
    state.mergeTol = 60;
    state.chart.xiutuTitle = "old";
    auto entries = untouched();
    entries.blockWidth = c.blockWidth;
    entries.blockHeight = c.blockHeight;
    entries.strength = c.strength;
    const auto verdict = Model::check(entries);
    ASSERT_EQ(verdict.choice.has_value(), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(verdict.field, c.field);
        EXPECT_EQ(verdict.error, c.error);
        // Nothing was written: the old method stays (no silent switch to 256 colours).
        EXPECT_EQ(state.ColorBit, 3);
        EXPECT_EQ(state.blockW, 7);
        EXPECT_EQ(state.chart.xiutuTitle, "old");
        return;
    }
    Model::apply(*verdict.choice, state);
    EXPECT_EQ(state.blockW, c.blockW);
    EXPECT_EQ(state.blockH, c.blockH);
    EXPECT_EQ(state.mergeTol, c.mergeTol);
}

using F = Model::Field;
using E = Model::Error;
INSTANTIATE_TEST_SUITE_P(Table, Entries,
    ::testing::Values(
        EntryCase{"abc", "10", "0", false, F::BlockWidth, E::NotANumber, 0, 0, 0},
        EntryCase{"10", "x1", "0", false, F::BlockHeight, E::NotANumber, 0, 0, 0},
        EntryCase{"10", "10", "强", false, F::Strength, E::NotANumber, 0, 0, 0},
        EntryCase{"", "10", "0", false, F::BlockWidth, E::NotANumber, 0, 0, 0},
        EntryCase{"10", "10", "", false, F::Strength, E::NotANumber, 0, 0, 0},
        EntryCase{"0", "10", "0", false, F::BlockWidth, E::OutOfRange, 0, 0, 0},
        EntryCase{"321", "10", "0", false, F::BlockWidth, E::OutOfRange, 0, 0, 0},
        EntryCase{"99999999999", "10", "0", false, F::BlockWidth, E::OutOfRange, 0, 0, 0},
        EntryCase{"10", "-4", "0", false, F::BlockHeight, E::OutOfRange, 0, 0, 0},
        EntryCase{"10.5", "10", "0", false, F::BlockWidth, E::NotANumber, 0, 0, 0},
        EntryCase{"1e1", "10", "0", false, F::BlockWidth, E::NotANumber, 0, 0, 0},
        EntryCase{"10", "10", "-1", false, F::Strength, E::OutOfRange, 0, 0, 0},
        EntryCase{"10", "10", "10000", false, F::Strength, E::OutOfRange, 0, 0, 0},
        EntryCase{"10", "10", "4294967296", false, F::Strength, E::OutOfRange, 0, 0, 0},
        EntryCase{"10", "10", "nan", false, F::Strength, E::NotANumber, 0, 0, 0},
        EntryCase{"10", "10", "0x10", false, F::Strength, E::NotANumber, 0, 0, 0},
        // The first faulty entry is named.
        EntryCase{"abc", "def", "ghi", false, F::BlockWidth, E::NotANumber, 0, 0, 0},
        EntryCase{" 8 ", "+12", "1", true, F::BlockWidth, E::None, 8, 12, 20},
        EntryCase{"1", "320", "9999", true, F::BlockWidth, E::None, 1, 320, 199980},
        EntryCase{"10", "10", "500", true, F::BlockWidth, E::None, 10, 10, 10000},
        EntryCase{"10", "10", "12.5", true, F::BlockWidth, E::None, 10, 10, 240},
        EntryCase{"10", "10", "13.5", true, F::BlockWidth, E::None, 10, 10, 280},
        EntryCase{"10.0", "10", "0.4", true, F::BlockWidth, E::None, 10, 10, 0}));

struct OpeningCase {
    int mergeTol;
    const char* text;
    int slider;
    bool beyond;
};

class Opening : public ::testing::TestWithParam<OpeningCase> {};

TEST_P(Opening, ShowsTheToleranceInForce)
{
    const auto o = Model::opening(GetParam().mergeTol);
    EXPECT_EQ(o.strengthText, GetParam().text);
    EXPECT_EQ(o.sliderPosition, GetParam().slider);
    EXPECT_EQ(o.strengthBeyondSlider, GetParam().beyond);
}

INSTANTIATE_TEST_SUITE_P(Table, Opening,
    ::testing::Values(OpeningCase{0, "0", 300, false}, OpeningCase{20, "1", 299, false},
        OpeningCase{5980, "299", 1, false}, OpeningCase{250, "12.5", 288, false},
        OpeningCase{270, "13.5", 286, false}, OpeningCase{5990, "299.5", 1, true},
        OpeningCase{6000, "300", 1, true}, OpeningCase{10000, "500", 1, true},
        OpeningCase{-40, "-2", 300, true}));

TEST(ChartSettingsModel, OpensWithTheValuesInForce)
{
    RunState state;
    EXPECT_EQ(Model::inForce(state).title, untouched().title); // start-up: the defaults
    EXPECT_EQ(Model::inForce(state).method, "高分辨彩色图");
    EXPECT_EQ(Model::inForce(state).brand, "DMC");

    state.chart.xiutuTitle = "猫";
    state.chart.whichType = "CC";
    state.autoColor = 1;
    state.blockW = 12;
    state.blockH = 33;
    state.mergeTol = 250;
    const std::pair<int, const char*> methods[] = {{0, "不做减色处理"}, {1, "1bit"}, {2, "灰度图片"},
        {3, "低分辨彩色图"}, {4, "高清黑白图片"}, {8, "8bit"}, {16, "高分辨彩色图"}, {99, "高分辨彩色图"}};
    for (const auto& [colorBit, text] : methods) {
        state.ColorBit = colorBit;
        const Model::Entries e = Model::inForce(state);
        EXPECT_EQ(e.method, text) << colorBit;
        EXPECT_EQ(e.title, "猫");
        EXPECT_EQ(e.brand, "CC");
        EXPECT_EQ(e.autoReduce, "否");
        EXPECT_EQ(e.blockWidth, "12");
        EXPECT_EQ(e.blockHeight, "33");
        EXPECT_EQ(e.strength, "12.5");
        // OK on what is shown writes the same values back (an unknown code becomes the default).
        const auto verdict = Model::check(e);
        ASSERT_TRUE(verdict.choice);
        RunState again = state;
        Model::apply(*verdict.choice, again);
        EXPECT_EQ(again.ColorBit, colorBit == 99 ? 16 : colorBit);
        EXPECT_EQ(again.autoColor, 1);
        EXPECT_EQ(again.blockW, 12);
        EXPECT_EQ(again.blockH, 33);
        EXPECT_EQ(again.chart.whichType, "CC");
    }
}

TEST(ChartSettingsModel, SliderStrength)
{
    EXPECT_EQ(Model::strengthForSlider(300), "0");
    EXPECT_EQ(Model::strengthForSlider(1), "299");
    EXPECT_EQ(Model::strengthForSlider(290), "10");
}

TEST(ChartSettingsModel, ErrorTextNamesTheField)
{
    EXPECT_NE(Model::errorText(F::BlockWidth, E::NotANumber).find("绣格宽度"), std::string::npos);
    EXPECT_NE(Model::errorText(F::BlockHeight, E::OutOfRange).find("绣格高度"), std::string::npos);
    EXPECT_NE(Model::errorText(F::Strength, E::OutOfRange).find("减色强度"), std::string::npos);
    EXPECT_NE(Model::errorText(F::Strength, E::OutOfRange).find("9999"), std::string::npos);
}

} // namespace
} // namespace kanvo
