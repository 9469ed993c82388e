// Writing OXS files and reading them back.
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
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
    // whose symbol "a" is then free while every other thread keeps its own.
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

// The palette item number each palindex-like attribute of the kept sections names, in document
// order: "section/element@attribute=number" ("cloth" for index 0), with the element's other
// attributes.
std::vector<std::string> keptReferences(const std::string& xml)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::map<std::string, std::string> numberOf;
    for (pugi::xml_node item : doc.child("chart").child("palette").children("palette_item"))
        numberOf[item.attribute("index").value()] = item.attribute("number").value();
    std::vector<std::string> out;
    for (pugi::xml_node section : doc.child("chart").children()) {
        const std::string name = section.name();
        if (name != "partstitches" && name != "backstitches" && name.rfind("ornaments", 0) != 0)
            continue;
        for (pugi::xml_node object : section.children()) {
            std::string line = name + "/" + object.name();
            for (pugi::xml_attribute a : object.attributes()) {
                const std::string attribute = a.name();
                line += " " + attribute + "="
                    + (attribute.rfind("palindex", 0) == 0 ? numberOf[a.value()] : std::string(a.value()));
            }
            out.push_back(line);
        }
    }
    return out;
}

// Part stitches, back stitches, knots and beads of another program's file come back from a save
// as they were, naming the same threads (and the palette lists DMC 150, which only a back
// stitch uses).
TEST(OxsRoundTrip, PartAndBackStitchesKnotsAndBeadsSurviveASave)
{
    const std::string source = std::string(KANVO_TEST_DATA_DIR) + "/oxs/kept-extras-with-a-backstitch-only-thread.oxs";
    const OxsReader::Result read = OxsReader::readFile(source, table());
    ASSERT_EQ(read.error, ProjectError::None) << read.detail;
    EXPECT_TRUE(read.notes.empty()) << read.notes.text(table());
    const StitchLayers& layers = read.project.chart.layers;
    EXPECT_EQ(layers.parts.size(), 1u);
    EXPECT_EQ(layers.backs.size(), 2u);
    EXPECT_EQ(layers.ornaments.size(), 2u);

    const std::vector<std::string> expected = {
        "partstitches/partstitch x=3 y=2 palindex1=DMC 310 palindex2=cloth direction=1",
        "backstitches/backstitch x1=0 y1=0 x2=4 y2=3 palindex=DMC 150 objecttype=backstitch sequence=0",
        "backstitches/backstitch x1=1 y1=1 x2=2 y2=1 palindex=DMC 310 objecttype=backstitch sequence=1",
        "ornaments_inc_knots_and_beads/object x1=2.5 y1=1.5 palindex=DMC 310 objecttype=knot",
        "ornaments_inc_knots_and_beads/object x1=0.5 y1=2.5 palindex=DMC 666 objecttype=bead",
    };
    const std::optional<std::string> written = OxsWriter::format(read.project, table());
    ASSERT_TRUE(written);
    EXPECT_EQ(keptReferences(*written), expected);

    // Read back: the same layers, the same full stitches, and a second save writes the same file.
    const OxsReader::Result again = OxsReader::read(*written, table());
    ASSERT_EQ(again.error, ProjectError::None) << again.detail;
    EXPECT_EQ(again.project.chart.layers, layers);
    EXPECT_EQ(again.project.chart.stitchCount(), 3);
    EXPECT_EQ(OxsWriter::format(again.project, table()), written);
}

} // namespace
} // namespace kanvo
