// The core's texts in another language: markers filled like QString::arg(), translations taken
// from the installed translator, the Chinese source text without one.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/chart/ChartTexts.h"
#include "core/common/Translation.h"
#include "core/palette/ChartModel.h"

namespace kanvo {
namespace {

struct ArgsCase {
    const char* name;
    std::string text;
    std::vector<std::string> values;
    std::string expected;
};

class WithArgsTest : public testing::TestWithParam<ArgsCase> {};

TEST_P(WithArgsTest, FillsMarkers)
{
    const ArgsCase& c = GetParam();
    std::string out;
    switch (c.values.size()) {
    case 0:
        out = withArgs(c.text, {});
        break;
    case 1:
        out = withArgs(c.text, {c.values[0]});
        break;
    default:
        out = withArgs(c.text, {c.values[0], c.values[1]});
        break;
    }
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Markers, WithArgsTest,
    testing::Values(ArgsCase{"InOrder", "宽x高：%1x%2", {"30", "40"}, "宽x高：30x40"},
        ArgsCase{"Reordered", "Page %2 of %1", {"9", "3"}, "Page 3 of 9"},
        ArgsCase{"Repeated", "%1-%1", {"7"}, "7-7"},
        ArgsCase{"MarkerWithoutValueStays", "%1 and %2", {"a"}, "a and %2"},
        ArgsCase{"PlainPercentStays", "另加 20% 损耗", {}, "另加 20% 损耗"},
        ArgsCase{"PercentZeroAndEndStay", "%0 %", {"x"}, "%0 %"},
        ArgsCase{"ValuesAreNotScannedAgain", "%1 %2", {"%2", "b"}, "%2 b"}),
    [](const testing::TestParamInfo<ArgsCase>& info) { return std::string(info.param.name); });

class TranslationTest : public testing::Test {
protected:
    void TearDown() override { setTranslator({}); }
};

TEST_F(TranslationTest, SourceTextWithoutTranslator)
{
    EXPECT_EQ(translate("ChartTexts", "我的绣图"), "我的绣图");
    EXPECT_EQ(chart_texts::defaultTitle(), "我的绣图");
}

TEST_F(TranslationTest, TranslatorSeesContextAndSource)
{
    std::vector<std::string> asked;
    setTranslator([&asked](const char* context, const char* source) {
        asked.push_back(std::string(context) + "/" + source);
        return std::string(source) == "我的绣图" ? std::string("My chart") : std::string();
    });
    EXPECT_EQ(chart_texts::defaultTitle(), "My chart");
    // An empty answer keeps the source text.
    EXPECT_EQ(chart_texts::symbolLabel(), "符号");
    EXPECT_EQ(asked, (std::vector<std::string>{"ChartTexts/我的绣图", "ChartTexts/符号"}));
}

TEST_F(TranslationTest, ChartHeadingFillsTheTranslatedPattern)
{
    setTranslator([](const char*, const char* source) {
        return std::string(source) == "绣线:%1  颜色数：%2   宽x高：%3x%4"
            ? std::string("%2 colours of %1, %3 by %4")
            : std::string();
    });
    ChartModel model;
    model.whichType = "DMC";
    model.maxColor = 12;
    model.gw = 80;
    model.gh = 60;
    EXPECT_EQ(chart_texts::subtitle(model), "12 colours of DMC, 80 by 60");
    setTranslator({});
    EXPECT_EQ(chart_texts::subtitle(model), "绣线:DMC  颜色数：12   宽x高：80x60");
}

} // namespace
} // namespace kanvo
