// Part stitches, back stitches, knots and beads in OXS files: read as worked out by hand from
// the files, written back element by element, symbols kept, bad input left out or refused.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "core/edit/ChartEditor.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

std::string dataFile(const std::string& name) { return std::string(KANVO_TEST_DATA_DIR) + "/oxs/" + name; }

// The thread index of a DMC number, found by walking the table.
int thread(int number)
{
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        if (table().dmc(t).cindex == number)
            return t;
    ADD_FAILURE() << number;
    return 0;
}

std::vector<PartStitch> sorted(std::vector<PartStitch> parts)
{
    std::sort(parts.begin(), parts.end(), [](const PartStitch& a, const PartStitch& b) {
        return std::tie(a.y, a.x, a.corners, a.thread) < std::tie(b.y, b.x, b.corners, b.thread);
    });
    return parts;
}

std::string written(const ChartProject& project)
{
    const std::optional<std::string> text = OxsWriter::format(project, table());
    EXPECT_TRUE(text);
    return text.value_or("");
}

OxsReader::Result reread(const std::string& xml)
{
    OxsReader::Result r = OxsReader::read(xml, table());
    EXPECT_EQ(r.error, ProjectError::None) << r.detail;
    EXPECT_TRUE(r.notes.empty());
    return r;
}

// A file in the manner of other programs. By hand: 310's symbol "100" is the code point of "d",
// 666's "+" is ours, 350's "≠" is not (350 takes the first free symbol, "a"), 3865's "人" is
// ours; the unused 150 claims nothing. Direction 1 with both palindexes: 310's three-quarter
// stitch with the bottom-left corner and 666's quarter top-right; direction 2 with palindex2
// only: 350's three-quarter with the bottom-right corner; direction 4: "\". Back stitches in
// sequence order, the one without a sequence after the other of sequence 0. The quarter at
// 9.5, 2 is the top-right of cell 9, 2; the tent of direction 2 is "/".
TEST(OxsLayers, AnotherProgramsFileIsReadAsWorkedOutByHand)
{
    const OxsReader::Result r = OxsReader::readFile(dataFile("other-program-style-commas-order-sequence-symbols.oxs"), table());
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    EXPECT_TRUE(r.notes.empty()) << r.notes.text(table());
    const ChartModel& m = r.project.chart;
    const int k310 = thread(310), k666 = thread(666), k350 = thread(350), k3865 = thread(3865);
    EXPECT_EQ(m.layers.parts, (std::vector<PartStitch>{{4, 3, kTopLeft | kBottomRight | kBottomLeft, k310},
                                  {4, 3, kTopRight, k666}, {5, 3, kBottomLeft | kTopRight | kBottomRight, k350},
                                  {6, 3, kTopLeft | kBottomRight, k666}, {9, 2, kTopRight, k350},
                                  {10, 10, kBottomLeft | kTopRight, k310}}));
    EXPECT_EQ(m.layers.backs, (std::vector<BackStitch>{{{1, 5}, {3.5, 5.5}, k310}, {{0.5, 0.5}, {1.5, 0.5}, k310},
                                  {{2, 2}, {2, 4}, k3865}, {{0, 0}, {16, 12}, k3865}}));
    EXPECT_EQ(m.layers.ornaments, (std::vector<Ornament>{{{11.6875, 3.25}, OrnamentKind::Knot, k3865},
                                      {{8.5, 7.5}, OrnamentKind::Bead, k666}}));
    EXPECT_EQ(m.symbolOf(k310), "d");
    EXPECT_EQ(m.symbolOf(k666), "+");
    EXPECT_EQ(m.symbolOf(k350), "a");
    EXPECT_EQ(m.symbolOf(k3865), "人");
    EXPECT_EQ(m.colorList, (std::vector<int>{k350, k310, k666, k3865})); // symbol order
    // The legend: the three crosses in order, then 3865, which has none.
    ASSERT_EQ(m.threadList.size(), 4u);
    EXPECT_EQ(m.threadList[3].index, k3865);
    EXPECT_EQ(m.threadList[3].count, 0);
}

TEST(OxsLayers, AnotherProgramsFileComesBackFromASave)
{
    const OxsReader::Result first = OxsReader::readFile(dataFile("other-program-style-commas-order-sequence-symbols.oxs"), table());
    ASSERT_EQ(first.error, ProjectError::None) << first.detail;
    const std::string text = written(first.project);
    // Points with '.', exactly as given.
    EXPECT_NE(text.find(R"(x1="11.6875" y1="3.25")"), std::string::npos);
    EXPECT_NE(text.find(R"(x2="3.5" y2="5.5")"), std::string::npos);
    EXPECT_EQ(text.find(",5\""), std::string::npos);
    // The two sides of cell 4, 3 are one element again, 350's single side keeps its place.
    EXPECT_NE(text.find(R"(<partstitch x="4" y="3" palindex1="2" palindex2="3" direction="1" />)"), std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(<partstitch x="5" y="3" palindex1="0" palindex2="1" direction="2" />)"), std::string::npos);
    EXPECT_NE(text.find(R"(<object x1="9.5" y1="2" palindex="1" objecttype="quarter" />)"), std::string::npos);

    const OxsReader::Result second = reread(text);
    const ChartModel& a = first.project.chart;
    const ChartModel& b = second.project.chart;
    EXPECT_EQ(sorted(b.layers.parts), sorted(a.layers.parts));
    EXPECT_EQ(b.layers.backs, a.layers.backs);
    EXPECT_EQ(b.layers.ornaments, a.layers.ornaments);
    EXPECT_EQ(b.colorList, a.colorList);
    for (const int t : a.colorList)
        EXPECT_EQ(b.symbolOf(t), a.symbolOf(t)) << t;
    EXPECT_EQ(b.threadList, a.threadList);
    // Our own file reads back to itself, element for element, and saves to the same text.
    EXPECT_EQ(written(second.project), text);
}

// A chart made here with every kind: written and read back, every element at its place in its
// thread. Quarter stitches travel as objects after the other part stitches; two corners side by
// side are two quarters.
TEST(OxsLayers, EveryKindMadeHereComesBack)
{
    ChartProject project;
    ChartModel& m = project.chart;
    m.gw = 6;
    m.gh = 5;
    m.colorIndex.assign(static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide, 0);
    m.colorIndex[0] = 34;
    const double tenth = 0.1 + 0.2; // 0.30000000000000004: kept to the last bit
    m.layers.parts = {{0, 0, kTopLeft, 1}, {1, 0, kTopRight, 2}, {2, 0, kBottomLeft, 3}, {3, 0, kBottomRight, 4},
        {0, 1, kHalfSlash, 5}, {1, 1, kHalfBackslash, 6}, {0, 2, kHalfSlash | kTopLeft, 7},
        {1, 2, kHalfSlash | kBottomRight, 8}, {2, 2, kHalfBackslash | kBottomLeft, 9},
        {3, 2, kHalfBackslash | kTopRight, 10}, {4, 4, kTopLeft | kTopRight, 11}, {5, 4, kHalfSlash, 34}};
    m.layers.backs = {{{0, 0}, {6, 5}, 12}, {{0.5, 0}, {0.5, 4.5}, 34}, {{tenth, 1}, {2, 1}, 12}};
    m.layers.ornaments = {{{5.5, 0.5}, OrnamentKind::Knot, 13}, {{1.25, 4.75}, OrnamentKind::Bead, 12},
        {{6, 5}, OrnamentKind::Knot, 34}};
    completeChart(m, 0, table());
    EXPECT_EQ(m.colorList.size(), 14u);

    const OxsReader::Result r = reread(written(project));
    const ChartModel& back = r.project.chart;
    EXPECT_EQ(back.layers.parts, (std::vector<PartStitch>{{0, 1, kHalfSlash, 5}, {1, 1, kHalfBackslash, 6},
                                     {0, 2, kHalfSlash | kTopLeft, 7}, {1, 2, kHalfSlash | kBottomRight, 8},
                                     {2, 2, kHalfBackslash | kBottomLeft, 9}, {3, 2, kHalfBackslash | kTopRight, 10},
                                     {5, 4, kHalfSlash, 34}, {0, 0, kTopLeft, 1}, {1, 0, kTopRight, 2},
                                     {2, 0, kBottomLeft, 3}, {3, 0, kBottomRight, 4}, {4, 4, kTopLeft, 11},
                                     {4, 4, kTopRight, 11}}));
    EXPECT_EQ(back.layers.backs, m.layers.backs);
    EXPECT_EQ(back.layers.ornaments, m.layers.ornaments);
    EXPECT_EQ(back.colorList, m.colorList);
    for (const int t : m.colorList)
        EXPECT_EQ(back.symbolOf(t), m.symbolOf(t)) << t;
}

// The issue's case: 310 = a, 666 = b, 350 = c, 3865 = d; every 666 cross filled away with 310,
// saved and reopened: 350 is still c and 3865 still d; a new thread takes the freed b.
TEST(OxsLayers, SymbolsStayAfterAThreadIsFilledAwaySavedAndReopened)
{
    OxsReader::Result opened = OxsReader::readFile(dataFile("symbols-stay-when-a-thread-leaves.oxs"), table());
    EXPECT_EQ(opened.error, ProjectError::None) << opened.detail;
    EXPECT_TRUE(opened.notes.empty());
    ChartModel& chart = opened.project.chart;
    const int k310 = thread(310), k666 = thread(666), k350 = thread(350), k3865 = thread(3865), k550 = thread(550);
    EXPECT_EQ(chart.symbolOf(k350), "c");
    EXPECT_EQ(chart.symbolOf(k3865), "d"); // only a back stitch uses it
    {
        ChartEditor editor(chart, table(), 0);
        (void)editor.fill(CellPos{1, 0}, k310);
    }
    ASSERT_EQ(chart.symbolOf(k666), "");
    completeChart(chart, 5, table()); // as the chart window does when it draws an opened chart

    const std::string saved = written(opened.project);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(saved.c_str()));
    EXPECT_STREQ(doc.child("chart").child("palette").find_child_by_attribute("number", "DMC 350").attribute("symbol").value(),
        "c");
    OxsReader::Result reopened = reread(saved);
    ChartModel& again = reopened.project.chart;
    EXPECT_EQ(again.symbolOf(k310), "a");
    EXPECT_EQ(again.symbolOf(k350), "c");
    EXPECT_EQ(again.symbolOf(k3865), "d");
    EXPECT_EQ(again.colorList, (std::vector<int>{k310, k350, k3865}));
    ChartEditor editor(again, table(), 0);
    (void)editor.paint(std::vector<CellPos>{{3, 1}}, k550);
    EXPECT_EQ(again.symbolOf(k550), "b");
    EXPECT_EQ(again.symbolOf(k350), "c");
}

TEST(OxsLayers, ElementsOutsideOrOfUnknownThreadsAreLeftOutAndCounted)
{
    const OxsReader::Result r = OxsReader::readFile(dataFile("left-out-outside-unknown-palindex-and-curves.oxs"), table());
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    // Part stitches: right of the chart, palindex 9, direction 7 (the one on the cloth is no
    // stitch); back stitches: to x 3.5, palindex 9 (the curve counts as another kind, the one on
    // the cloth is none); a knot left of the chart; a bead of palindex 9; the curve and the
    // full cross are kinds a chart cannot hold.
    EXPECT_EQ(r.notes.leftOut.partStitches, 3);
    EXPECT_EQ(r.notes.leftOut.backStitches, 2);
    EXPECT_EQ(r.notes.leftOut.knots, 1);
    EXPECT_EQ(r.notes.leftOut.beads, 1);
    EXPECT_EQ(r.notes.leftOut.others, 2);
    EXPECT_NE(r.notes.text(table()).find("略去了半针3处，回针2处，法式结1个，珠子1颗，其他针法2处"), std::string::npos);
    const int k310 = thread(310), k666 = thread(666);
    const StitchLayers& l = r.project.chart.layers;
    EXPECT_EQ(l.parts, (std::vector<PartStitch>{{0, 2, kHalfBackslash, k666}}));
    EXPECT_EQ(l.backs, (std::vector<BackStitch>{{{0, 3}, {3, 3}, k666}})); // along the bottom edge
    EXPECT_EQ(l.ornaments, (std::vector<Ornament>{{{2, 2}, OrnamentKind::Knot, k310}}));
    EXPECT_EQ(r.project.chart.colorList, (std::vector<int>{k310, k666}));
}

struct BadCoordinate {
    const char* file;
    const char* detail;
};

class OxsBadCoordinate : public testing::TestWithParam<BadCoordinate> {};

TEST_P(OxsBadCoordinate, RefusesTheFileNamingTheElement)
{
    const OxsReader::Result r = OxsReader::readFile(dataFile(GetParam().file), table());
    EXPECT_EQ(r.error, ProjectError::BadCoordinate);
    EXPECT_EQ(r.detail, GetParam().detail);
    EXPECT_TRUE(r.project.chart.layers.empty()); // nothing half read
    EXPECT_EQ(r.project.chart.gw, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, OxsBadCoordinate,
    testing::Values(BadCoordinate{"refused-backstitch-x2-not-a-number.oxs", R"(backstitch x2="1;5")"},
        BadCoordinate{"refused-knot-without-y1.oxs", R"(object y1="")"},
        BadCoordinate{"refused-partstitch-x-not-a-number.oxs", R"(partstitch x="one")"}));

struct NumberForm {
    const char* text;
    double value; // NaN: the file is refused
};

class OxsNumberForm : public testing::TestWithParam<NumberForm> {};

TEST_P(OxsNumberForm, ReadsAsWorkedOut)
{
    const std::string xml = std::string(R"(<chart><properties chartwidth="20" chartheight="20"/><palette>)")
        + R"(<palette_item index="1" number="DMC 310"/></palette><fullstitches/><ornaments_inc_knots_and_beads>)"
        + R"(<object x1=")" + GetParam().text + R"(" y1="1" palindex="1" objecttype="knot"/>)"
        + "</ornaments_inc_knots_and_beads></chart>";
    const OxsReader::Result r = OxsReader::read(xml, table());
    if (std::isnan(GetParam().value)) {
        EXPECT_EQ(r.error, ProjectError::BadCoordinate);
        return;
    }
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    ASSERT_EQ(r.project.chart.layers.ornaments.size(), 1u);
    EXPECT_EQ(r.project.chart.layers.ornaments[0].at.x, GetParam().value);
}

constexpr double kRefused = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Forms, OxsNumberForm,
    testing::Values(NumberForm{"14,5", 14.5}, NumberForm{" 2.5 ", 2.5}, NumberForm{"+3", 3}, NumberForm{"25e-1", 2.5},
        NumberForm{"11.6875", 11.6875}, NumberForm{"0.30000000000000004", 0.1 + 0.2}, NumberForm{"1.5.1", kRefused},
        NumberForm{"1,5,1", kRefused}, NumberForm{"nan", kRefused}, NumberForm{"inf", kRefused},
        NumberForm{"", kRefused}, NumberForm{"0x2", kRefused}, NumberForm{"2 5", kRefused}),
    [](const testing::TestParamInfo<NumberForm>& info) { return "form" + std::to_string(info.index); });

} // namespace
} // namespace kanvo
