// Writing OXS files and reading them back.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "core/workspace/StitchMatrix.h"
#include "common/TempDir.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

// A generated chart of gw x gh stitches in `colours` picture colours (a plain pattern of
// diagonal stripes and blocks), every cell stitched.
ChartModel generated(int gw, int gh, int colours, int rareThreshold = 0)
{
    StitchMatrix stitches;
    for (int x = 0; x < gw; ++x)
        for (int y = 0; y < gh; ++y) {
            const int k = (x / 3 + 2 * y + x * y / 7) % colours;
            stitches.set(x, y, makeColor(37 * k % 256, 91 * k % 256, 53 * k % 256));
        }
    ChartModel m;
    m.gw = gw;
    m.gh = gh;
    m.xiutuTitle = "春天的花 <&\">";
    EXPECT_EQ(generateChartModel(stitches, m, {0, rareThreshold}, table()), ColorIndexError::None);
    return m;
}

ChartModel roundTrip(const ChartModel& chart, int fabricCount = 14)
{
    ChartProject project;
    project.chart = chart;
    project.stitchesPerInch = fabricCount;
    project.stitchesPerInchY = fabricCount;
    const test::TempDir folder;
    const std::string path = folder.file("round-trip.oxs");
    EXPECT_EQ(OxsWriter::writeFile(path, project, table()), ProjectError::None);
    const OxsReader::Result r = OxsReader::readFile(path, table());
    EXPECT_EQ(r.error, ProjectError::None) << r.detail;
    EXPECT_TRUE(r.notes.empty());
    EXPECT_EQ(r.project.stitchesPerInch, fabricCount);
    return r.project.chart;
}

void expectSameChart(const ChartModel& read, const ChartModel& written)
{
    ASSERT_EQ(read.gw, written.gw);
    ASSERT_EQ(read.gh, written.gh);
    EXPECT_EQ(read.xiutuTitle, written.xiutuTitle);
    for (int x = 0; x < written.gw; ++x)
        for (int y = 0; y < written.gh; ++y)
            ASSERT_EQ(read.threadAt(x, y), written.threadAt(x, y)) << x << "," << y;
    EXPECT_EQ(read.colorList, written.colorList);
    EXPECT_EQ(read.colorCount, written.colorCount);
    EXPECT_EQ(read.threadList, written.threadList);
    EXPECT_EQ(read.maxColor, written.maxColor);
    for (const int t : written.colorList)
        EXPECT_EQ(read.symbolOf(t), written.symbolOf(t)) << t;
}

TEST(OxsRoundTrip, GeneratedChartsComeBackUnchanged)
{
    for (const auto& [gw, gh, colours] : {std::tuple{1, 1, 1}, std::tuple{17, 5, 9}, std::tuple{320, 320, 300},
             std::tuple{3, 320, 80}}) {
        SCOPED_TRACE(std::to_string(gw) + "x" + std::to_string(gh));
        const ChartModel written = generated(gw, gh, colours);
        expectSameChart(roundTrip(written, 18), written);
    }
}

TEST(OxsRoundTrip, ChartsWithEmptyCellsComeBackUnchanged)
{
    ChartModel chart = generated(40, 30, 12);
    // Holes: a frame around the chart, a diagonal, and every stitch of the top-left thread,
    // so that the read chart must also renumber its symbols the way the written one does.
    const int firstThread = chart.threadAt(0, 0);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            if (x == 0 || y == 0 || x == 39 || y == 29 || x == y || chart.threadAt(x, y) == firstThread)
                chart.colorIndex[static_cast<std::size_t>(x) * ChartModel::kMatrixSide + y] = ChartModel::kNoStitch;
    completeChart(chart, 0, table());
    ASSERT_GT(chart.stitchCount(), 0);
    ASSERT_LT(chart.stitchCount(), 40 * 30);
    expectSameChart(roundTrip(chart), chart);
}

TEST(OxsWriter, WritesTheDocumentOtherProgramsRead)
{
    ChartModel chart = generated(3, 2, 3); // row 0 in colour 0, row 1 in colour 2
    chart.colorIndex[static_cast<std::size_t>(1) * ChartModel::kMatrixSide + 1] = ChartModel::kNoStitch;
    completeChart(chart, 0, table());
    ChartProject project;
    project.chart = chart;
    const std::optional<std::string> text = OxsWriter::format(project, table());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(text->c_str()));
    const pugi::xml_node properties = doc.child("chart").child("properties");
    EXPECT_STREQ(properties.attribute("oxsversion").value(), "1.0");
    EXPECT_STREQ(properties.attribute("software").value(), "Kanvo");
    EXPECT_STREQ(properties.attribute("chartwidth").value(), "3");
    EXPECT_STREQ(properties.attribute("chartheight").value(), "2");
    EXPECT_STREQ(properties.attribute("charttitle").value(), "春天的花 <&\">");
    EXPECT_STREQ(properties.attribute("stitchesperinch").value(), "14");
    EXPECT_STREQ(properties.attribute("stitchesperinch_y").value(), "14");
    EXPECT_STREQ(properties.attribute("palettecount").value(), "2");

    // Colour 0 of the pattern, at the top-left, is black: thread 310 takes symbol "a".
    const pugi::xml_node palette = doc.child("chart").child("palette");
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node item : palette.children("palette_item"))
        items.push_back(item);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_STREQ(items[0].attribute("index").value(), "0");
    EXPECT_STREQ(items[0].attribute("number").value(), "cloth");
    EXPECT_STREQ(items[0].attribute("color").value(), "FFFFFF");
    EXPECT_STREQ(items[1].attribute("number").value(), "DMC 310");
    EXPECT_STREQ(items[1].attribute("name").value(), "310");
    EXPECT_STREQ(items[1].attribute("color").value(), "000000");
    EXPECT_STREQ(items[1].attribute("strands").value(), "2");
    EXPECT_STREQ(items[1].attribute("symbol").value(), "a");
    EXPECT_STREQ(items[2].attribute("symbol").value(), "b");

    // Five stitches (the hole at (1, 1) has none), 0-based, row by row.
    std::string stitches;
    for (pugi::xml_node s : doc.child("chart").child("fullstitches").children()) {
        EXPECT_STREQ(s.name(), "stitch");
        stitches += std::string(s.attribute("x").value()) + "," + s.attribute("y").value() + ":"
            + s.attribute("palindex").value() + " ";
    }
    EXPECT_EQ(stitches.substr(0, 6), "0,0:1 ");
    EXPECT_EQ(std::count(stitches.begin(), stitches.end(), ':'), 5);
    EXPECT_EQ(stitches.find("1,1:"), std::string::npos);
    EXPECT_TRUE(doc.child("chart").child("partstitches"));
    EXPECT_FALSE(doc.child("chart").child("partstitches").first_child());
    EXPECT_TRUE(doc.child("chart").child("backstitches"));
    EXPECT_FALSE(doc.child("chart").child("backstitches").first_child());
}

TEST(OxsWriter, RefusesAnEmptyModelAndKeepsTheOldFile)
{
    const test::TempDir folder;
    const std::string path = folder.file("kept.oxs");
    std::ofstream(path) << "old";
    EXPECT_EQ(OxsWriter::writeFile(path, ChartProject{}, table()), ProjectError::NoChart);
    ChartProject project;
    project.chart = generated(4, 4, 2);
    std::string detail;
    EXPECT_EQ(OxsWriter::writeFile(folder.file("no-such-folder/x.oxs"), project, table(), &detail),
        ProjectError::CannotWrite);
    EXPECT_FALSE(detail.empty());
    std::stringstream kept;
    kept << std::ifstream(path).rdbuf();
    EXPECT_EQ(kept.str(), "old");
}

} // namespace
} // namespace kanvo
