// Charts with empty cells on the canvas and on the printed page: blocks and symbols only where
// there are stitches, and the legend's total counts the stitches.
#include <string>

#include <gtest/gtest.h>

#include "core/chart/ChartLayout.h"
#include "core/chart/PrintLayout.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"

namespace kanvo {
namespace {

class OneWidthMetrics final : public TextMetrics {
public:
    [[nodiscard]] float width(std::string_view text, const FontSpec&) const override
    {
        return static_cast<float>(text.size());
    }
    [[nodiscard]] float height(const FontSpec&) const override { return 3.0f; }
};

struct Counts {
    int blocks = 0;
    int symbols = 0;
    std::string note;
};

Counts countOps(const DrawList& list)
{
    Counts counts;
    for (const DrawSection& section : list.sections()) {
        for (std::size_t i = section.begin; i < section.end; ++i) {
            const DrawOp& op = list.ops()[i];
            if (section.stage == DrawStage::Blocks)
                counts.blocks += std::holds_alternative<FillRectOp>(op) ? 1 : 0;
            if (section.stage == DrawStage::Symbols)
                counts.symbols += std::holds_alternative<TextOp>(op) ? 1 : 0;
            if (const auto* text = std::get_if<TextOp>(&op); section.stage == DrawStage::Notes && text
                && text->text.starts_with("注:"))
                counts.note = text->text;
        }
    }
    return counts;
}

TEST(EmptyCellLayout, BlocksSymbolsAndTotalCoverTheStitchesOnly)
{
    // 24 x 4 cells, 7 stitched: a row of six black stitches and one red one.
    std::string xml = R"(<chart><properties chartwidth="24" chartheight="4"/><palette>)"
                      R"(<palette_item index="0" number="cloth"/><palette_item index="1" number="DMC 310"/>)"
                      R"(<palette_item index="2" number="DMC 666"/></palette><fullstitches>)";
    for (int x = 3; x < 9; ++x)
        xml += "<stitch x=\"" + std::to_string(x) + "\" y=\"2\" palindex=\"1\"/>";
    xml += R"(<stitch x="20" y="0" palindex="2"/></fullstitches></chart>)";
    const OxsReader::Result read = OxsReader::read(xml, loadedThreadTable());
    ASSERT_EQ(read.error, ProjectError::None) << read.detail;
    const ChartModel& chart = read.project.chart;
    const ChartOptions options{10, 10, ChartMode::BlocksAndSymbols, 16};
    const std::string note = "注:全部线量总和为7，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计.";

    std::vector<ColorValue> threadColors;
    for (int t = 1; t <= ThreadTable::kEntries; ++t)
        threadColors.push_back(loadedThreadTable().colorOf(t));
    const Counts screen
        = countOps(ChartLayout::build(chart, threadColors, options, OneWidthMetrics()).drawList());
    EXPECT_EQ(screen.blocks, 7);
    EXPECT_EQ(screen.symbols, 7);
    EXPECT_EQ(screen.note, note);

    StitchMatrix colors; // every cell coloured, as a matrix behind a chart may be
    colors.fill(makeColor(1, 2, 3));
    const std::optional<PrintLayout> page = PrintLayout::build(chart, colors, options, 200.0f, 285.0f, OneWidthMetrics());
    ASSERT_TRUE(page);
    const Counts printed = countOps(page->drawList());
    EXPECT_EQ(printed.blocks, 7);
    EXPECT_EQ(printed.symbols, 7);
    EXPECT_EQ(printed.note, note);
}

} // namespace
} // namespace kanvo
