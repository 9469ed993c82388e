// Reading OXS files: one hand-written file per tolerant case and per refusal (tests/data/oxs,
// named after what each catches), and hostile documents.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/PaletteItemMatcher.h"
#include "common/TempDir.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

std::string dataFile(const std::string& name) { return std::string(KANVO_TEST_DATA_DIR) + "/oxs/" + name; }

OxsReader::Result readData(const std::string& name) { return OxsReader::readFile(dataFile(name), table()); }

// Thread numbers of the chart's threads in symbol order.
std::vector<int> symbolOrderNumbers(const ChartModel& m)
{
    std::vector<int> numbers;
    for (const int t : m.colorList)
        numbers.push_back(table().dmc(t).cindex);
    return numbers;
}

int numberAt(const ChartModel& m, int x, int y) { return table().dmc(m.threadAt(x, y)).cindex; }

struct Spelling {
    const char* text;
    int number; // 0: not a DMC number of ours
};

TEST(PaletteItemMatcher, ReadsTheSpellingsFilesUse)
{
    const Spelling cases[] = {
        {"DMC    310", 310}, {"310", 310}, {" 310 ", 310}, {"DMC310", 310}, {"dmc-310", 310}, {"DMC 0310", 310},
        {"B5200", 5200}, {"DMC B5200", 5200}, {"5200", 5200}, {"BLANC", 0}, {"DMC BLANC", 0}, {"ECRU", 0},
        {"Anchor 403", 0}, {"Madeira 2400", 0}, {"Mill Hill 00123", 0}, {"", 0}, {"31O", 0}, {"123456", 0},
        {"DMC 3865 ", 3865}};
    for (const Spelling& c : cases) {
        const std::optional<int> number = PaletteItemMatcher::dmcNumber(c.text);
        EXPECT_EQ(number.value_or(0), c.number) << '"' << c.text << '"';
    }
}

// Threads that DMC names instead of numbering stand for their own colours when a file (or the
// editor's number box) gives none: BLANC is 5200's white FFFFFF; ECRU F0EADA is nearest to 543
// EDE3D9 (distance 59, the least on the card). Other names still need a colour.
TEST(PaletteItemMatcher, NamedThreadsWithoutAColourTakeTheNearestThread)
{
    const PaletteItemMatcher matcher(table());
    const Spelling cases[] = {{"BLANC", 5200}, {"dmc blanc", 5200}, {" DMC-Ecru ", 543}, {"ECRU", 543},
        {"ECRUX", 0}, {"Anchor 403", 0}, {"abc", 0}, {"99999", 0}, {"", 0}};
    for (const Spelling& c : cases) {
        const std::optional<PaletteItemMatcher::Match> match = matcher.match(c.text, std::nullopt);
        EXPECT_EQ(match ? table().dmc(match->thread).cindex : 0, c.number) << '"' << c.text << '"';
        if (match)
            EXPECT_TRUE(match->substituted) << '"' << c.text << '"';
    }
    // A colour given with the name still wins: this "ECRU" is black.
    const std::optional<PaletteItemMatcher::Match> given = matcher.match("ECRU", makeColor(0, 0, 0));
    ASSERT_TRUE(given);
    EXPECT_EQ(table().dmc(given->thread).cindex, 310);
}

TEST(OxsReader, ThreadNumberSpellingsMapToOurThreads)
{
    const OxsReader::Result r = readData("thread-number-spellings.oxs");
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    const ChartModel& m = r.project.chart;
    EXPECT_EQ(m.gw, 5);
    EXPECT_EQ(m.gh, 1);
    EXPECT_EQ(m.xiutuTitle, "Spellings");
    EXPECT_EQ(r.project.stitchesPerInch, 18);
    EXPECT_EQ(r.project.stitchesPerInchY, 18); // missing: the same as across
    // "DMC 0310" is 310 again, whatever colour the file gives it.
    EXPECT_EQ(symbolOrderNumbers(m), (std::vector<int>{310, 666, 5200, 3865}));
    EXPECT_EQ(numberAt(m, 4, 0), 310);
    EXPECT_TRUE(r.notes.empty());
    EXPECT_EQ(m.threadAt(0, 0), 34); // 310 is entry 34 of the card
    EXPECT_EQ(m.threadAt(2, 0), 452); // 5200 is the last entry
}

TEST(OxsReader, ForeignThreadsTakeTheNearestColourAndAreReported)
{
    const OxsReader::Result r = readData("foreign-threads-nearest-colour.oxs");
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    const ChartModel& m = r.project.chart;
    // BLANC FFFFFF is 5200's colour; ECRU F0EADA lies 3,7,1 from 543 EDE3D9 (distance 59, the
    // least on the card); Anchor black is 310; 9B963A is the colour of both 731 and 732, and
    // the tie goes to the lower index, 731.
    EXPECT_EQ(numberAt(m, 0, 0), 5200);
    EXPECT_EQ(numberAt(m, 1, 0), 543);
    EXPECT_EQ(numberAt(m, 2, 0), 310);
    EXPECT_EQ(numberAt(m, 3, 0), 731);
    ASSERT_EQ(r.notes.substituted.size(), 4u); // the unused Anchor 9999 is not mentioned
    EXPECT_EQ(r.notes.substituted[1].number, "DMC ECRU");
    EXPECT_EQ(r.notes.substituted[1].color, makeColor(0xF0, 0xEA, 0xDA));
    const std::string text = r.notes.text(table());
    EXPECT_NE(text.find("Anchor 403 (000000) -> DMC 310"), std::string::npos) << text;
    EXPECT_NE(text.find("Mill Hill 00123 (9B963A) -> DMC 731"), std::string::npos) << text;
}

TEST(OxsReader, TwoItemsOfOneThreadBecomeOneThread)
{
    const OxsReader::Result r = readData("duplicate-items-one-thread.oxs");
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    const ChartModel& m = r.project.chart;
    EXPECT_EQ(symbolOrderNumbers(m), (std::vector<int>{666, 310})); // palette order
    ASSERT_EQ(m.threadList.size(), 2u);                            // legend: first stitch first
    EXPECT_EQ(m.threadList[0].name, "310     ");
    EXPECT_EQ(m.threadList[0].count, 5);
    EXPECT_EQ(m.threadList[1].name, "666     ");
    EXPECT_EQ(m.threadList[1].count, 1);
    EXPECT_EQ(m.symbolOf(m.threadAt(2, 0)), "a");
    EXPECT_EQ(m.symbolOf(m.threadAt(0, 0)), "b");
    EXPECT_EQ(m.colorCount, 2);
    EXPECT_EQ(m.maxColor, 2);
    EXPECT_TRUE(m.chartReady);
}

TEST(OxsReader, CellsWithoutAFullStitchAreEmpty)
{
    const OxsReader::Result r = readData("empty-cells-and-cloth-stitches.oxs");
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    const ChartModel& m = r.project.chart;
    int stitched = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            stitched += m.isStitched(x, y) ? 1 : 0;
    EXPECT_EQ(stitched, 3); // the diagonal; the stitch on the cloth (palindex 0) is no stitch
    EXPECT_FALSE(m.isStitched(2, 0));
    EXPECT_EQ(m.stitchCount(), 3);
    ASSERT_EQ(m.threadList.size(), 1u);
    EXPECT_EQ(m.threadList[0].count, 3);
    EXPECT_EQ(m.clothColor, makeColor(0xE0, 0xF0, 0xFF));
}

// Part stitches, back stitches, knots and beads become the chart's layers, worked out from the
// file by hand: direction 1 with palindex1 is the bottom-left three-quarter stitch along "\",
// direction 3 the half stitch "/".
TEST(OxsReader, PartBackStitchesKnotsAndBeadsAreRead)
{
    const OxsReader::Result r = readData("layers-of-every-kind.oxs");
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    EXPECT_TRUE(r.notes.empty()) << r.notes.text(table());
    const StitchLayers& l = r.project.chart.layers;
    constexpr int k310 = 34;
    EXPECT_EQ(l.parts, (std::vector<PartStitch>{{1, 0, kTopLeft | kBottomRight | kBottomLeft, k310},
                           {1, 1, kBottomLeft | kTopRight, k310}}));
    EXPECT_EQ(l.backs, (std::vector<BackStitch>{{{0, 0}, {2, 2}, k310}, {{0, 2}, {2, 0}, k310}, {{0, 1}, {2, 1}, k310}}));
    EXPECT_EQ(l.ornaments, (std::vector<Ornament>{{{1, 1}, OrnamentKind::Knot, k310}, {{0.5, 1}, OrnamentKind::Bead, k310},
                               {{1.5, 1}, OrnamentKind::Bead, k310}, {{1.5, 0}, OrnamentKind::Bead, k310}}));
    EXPECT_EQ(r.project.chart.stitchCount(), 1);
}

struct Refusal {
    const char* file;
    ProjectError error;
};

class OxsRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(OxsRefusal, IsRefusedWithItsReason)
{
    const OxsReader::Result r = readData(GetParam().file);
    EXPECT_EQ(r.error, GetParam().error) << r.detail;
    EXPECT_FALSE(errorText(r.error).empty());
    EXPECT_FALSE(r.project.chart.chartReady);
}

INSTANTIATE_TEST_SUITE_P(Files, OxsRefusal,
    testing::Values(Refusal{"refused-not-xml.oxs", ProjectError::NotXml},
        Refusal{"refused-not-xml-unclosed.oxs", ProjectError::NotXml},
        Refusal{"refused-no-properties.oxs", ProjectError::NoProperties},
        Refusal{"refused-no-palette.oxs", ProjectError::NoPalette},
        Refusal{"refused-no-fullstitches.oxs", ProjectError::NoFullStitches},
        Refusal{"refused-width-0.oxs", ProjectError::BadSize},
        Refusal{"refused-height-321.oxs", ProjectError::BadSize},
        Refusal{"refused-width-not-a-number.oxs", ProjectError::BadSize},
        Refusal{"refused-palindex-without-item.oxs", ProjectError::UnknownPalIndex},
        Refusal{"refused-stitch-right-of-chart.oxs", ProjectError::StitchOutside},
        Refusal{"refused-stitch-above-chart.oxs", ProjectError::StitchOutside},
        Refusal{"refused-foreign-item-without-colour.oxs", ProjectError::BadPaletteItem},
        Refusal{"refused-backstitch-x2-not-a-number.oxs", ProjectError::BadCoordinate},
        Refusal{"refused-knot-without-y1.oxs", ProjectError::BadCoordinate},
        Refusal{"refused-partstitch-x-not-a-number.oxs", ProjectError::BadCoordinate},
        Refusal{"no-such-file.oxs", ProjectError::CannotRead}),
    [](const testing::TestParamInfo<Refusal>& info) {
        std::string name = info.param.file;
        name.resize(name.size() - 4); // ".oxs"
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(OxsReaderHostile, EntitiesAreNeverExpanded)
{
    for (const char* file : {"hostile-billion-laughs.oxs", "hostile-external-entity.oxs"}) {
        const OxsReader::Result r = readData(file);
        ASSERT_EQ(r.error, ProjectError::None) << file << ": " << r.detail;
        EXPECT_LT(r.project.chart.xiutuTitle.size(), 20u) << file;
        EXPECT_EQ(r.project.chart.xiutuTitle.find("lollol"), std::string::npos);
        EXPECT_EQ(r.project.chart.xiutuTitle.find("root:"), std::string::npos);
    }
}

const std::string kSmallChart = R"(<properties chartwidth="2" chartheight="2" charttitle="T"/>)"
                                R"(<palette><palette_item index="0" number="cloth"/>)"
                                R"(<palette_item index="1" number="DMC 310"/></palette>)";

TEST(OxsReaderHostile, DeepNestingHugeAttributesAndHugeFilesStayBounded)
{
    // A million nested elements: parsed without recursion, then found not to be a chart.
    std::string deep = "<chart>" + kSmallChart;
    for (int i = 0; i < 1000000; ++i)
        deep += "<a>";
    EXPECT_EQ(OxsReader::read(deep, table()).error, ProjectError::NotXml);
    deep += "<fullstitches/>";
    for (int i = 0; i < 1000000; ++i)
        deep += "</a>";
    deep += "</chart>";
    EXPECT_EQ(OxsReader::read(deep, table()).error, ProjectError::NoFullStitches);

    // A 7 MB title and a 7 MB number: the title is cut, the number is no thread of ours.
    const std::string huge(7u << 20, '7');
    const std::string hugeAttributes = "<chart><properties chartwidth=\"2\" chartheight=\"2\" charttitle=\"" + huge
        + "\"/><palette><palette_item index=\"1\" number=\"" + huge + "\" color=\"000000\"/></palette>"
        + "<fullstitches><stitch x=\"1\" y=\"1\" palindex=\"1\"/></fullstitches></chart>";
    const OxsReader::Result r = OxsReader::read(hugeAttributes, table());
    ASSERT_EQ(r.error, ProjectError::None) << r.detail;
    EXPECT_EQ(r.project.chart.xiutuTitle, std::string(200, '7'));
    EXPECT_EQ(numberAt(r.project.chart, 1, 1), 310);

    // Over the limit: refused before parsing, also for the file reader.
    std::string tooLarge(OxsReader::kMaxFileBytes + 1, ' ');
    EXPECT_EQ(OxsReader::read(tooLarge, table()).error, ProjectError::TooLarge);
    const test::TempDir folder;
    const std::string path = folder.file("too-large.oxs");
    std::ofstream(path, std::ios::binary) << tooLarge;
    EXPECT_EQ(OxsReader::readFile(path, table()).error, ProjectError::TooLarge);
}

} // namespace
} // namespace kanvo
