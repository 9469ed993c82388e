// The editor's layer tools: back stitches, part stitches, knots and removing any element, with
// their undo and redo, and the symbols, legend and counts that follow them; LayerFinder's
// picking and snapping. Expected values worked out by hand from the charts drawn here and in
// ChartEditTestSupport.h.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/edit/ChartEditor.h"
#include "core/edit/LayerFinder.h"
#include "tests/core/edit/ChartEditTestSupport.h"

namespace kanvo {
namespace {

using namespace test;

int symbolOf(const ChartModel& m, int thread) { return m.chrIndex[static_cast<std::size_t>(thread)]; }

class LayerEditTest : public EditedChartTest {};

TEST_F(LayerEditTest, ABackStitchOfANewThreadGetsTheNextSymbolAndAnEntryThenUndoAndRedo)
{
    const BackStitch stitch{{0, 0}, {1.5, 0.5}, D};
    const ChartChange change = editor.addBackStitch(stitch);
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{stitch}));
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C, D}));
    EXPECT_EQ(symbolOf(chart, D), 4);
    // D has no full stitch: listed after the cells' threads with a count of 0
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}, {C, 1}, {D, 0}}));
    EXPECT_EQ(chart.maxColor, 4);
    EXPECT_EQ(chart.colorCount, 4);
    EXPECT_EQ(editor.layerElementsOf(D), 1);
    ASSERT_EQ(change.layerSteps.size(), 1u);
    EXPECT_TRUE(change.cells.empty());
    ASSERT_TRUE(change.symbolsBefore.has_value());
    EXPECT_EQ(change.symbolsBefore->colorList, (std::vector<int>{A, B, C}));

    editor.undo(change);
    EXPECT_TRUE(chart.layers.backs.empty());
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C}));
    EXPECT_EQ(symbolOf(chart, D), 0);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}, {C, 1}}));
    EXPECT_EQ(chart.colorCount, 3);
    EXPECT_EQ(editor.layerElementsOf(D), 0);

    editor.redo(change);
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{stitch}));
    EXPECT_EQ(symbolOf(chart, D), 4);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}, {C, 1}, {D, 0}}));
}

TEST_F(LayerEditTest, AThreadKeptOnlyByABackStitchKeepsItsSymbolAndLeavingFreesItForTheNext)
{
    const ChartModel original = chart;
    std::vector<ChartChange> changes;
    changes.push_back(editor.addBackStitch({{3, 2}, {4, 3}, C}));
    EXPECT_FALSE(changes.back().symbolsBefore.has_value()); // C had its symbol already
    changes.push_back(editor.stroke({3, 2}, {3, 2}, kEmpty));
    // C's one cross is gone, its back stitch holds it in the chart
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BAB.", "BBA."}));
    EXPECT_EQ(symbolOf(chart, C), 3);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}, {C, 0}}));
    EXPECT_EQ(chart.colorCount, 3);

    changes.push_back(editor.removeElement({StitchLayerKind::Back, 0}));
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B}));
    EXPECT_EQ(symbolOf(chart, C), 0);
    EXPECT_EQ(symbolOf(chart, A), 1);
    EXPECT_EQ(symbolOf(chart, B), 2);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}}));
    EXPECT_EQ(chart.colorCount, 2);

    // the freed position 3 goes to the next new thread, a knot's
    changes.push_back(editor.addKnot({1, 1}, D));
    EXPECT_EQ(symbolOf(chart, D), 3);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, D}));
    EXPECT_EQ(chart.layers.ornaments, (std::vector<Ornament>{{{1, 1}, OrnamentKind::Knot, D}}));

    for (auto c = changes.rbegin(); c != changes.rend(); ++c)
        editor.undo(*c);
    EXPECT_EQ(chart.colorIndex, original.colorIndex);
    EXPECT_EQ(chart.colorList, original.colorList);
    EXPECT_EQ(chart.chrIndex, original.chrIndex);
    EXPECT_TRUE(chart.layers.empty());
    for (const ChartChange& c : changes)
        editor.redo(c);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, D}));
    EXPECT_EQ(symbolOf(chart, D), 3);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BAB.", "BBA."}));
    EXPECT_TRUE(chart.layers.backs.empty());
    EXPECT_EQ(chart.layers.ornaments.size(), 1u);
}

TEST_F(LayerEditTest, APartStitchReplacesTheCrossAndTheStitchesOnItsCornersOnly)
{
    // A quarter of D in the top-left corner of cell (1, 1), which holds a cross of A
    const ChartChange quarter = editor.addPartStitch({1, 1, kTopLeft, D});
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "B.B.", "BBAC"}));
    EXPECT_EQ(quarter.cells, (std::vector<ChartChange::Cell>{{1, 1, A, kEmpty}}));
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 3}, {B, 5}, {C, 1}, {D, 0}}));
    EXPECT_EQ(chart.stitchCount(), 9);

    // "/" covers bottom-left and top-right: the quarter stays
    const ChartChange slash = editor.addPartStitch({1, 1, kHalfSlash, B});
    EXPECT_EQ(chart.layers.parts, (std::vector<PartStitch>{{1, 1, kTopLeft, D}, {1, 1, kHalfSlash, B}}));
    // the same stitch again changes nothing
    EXPECT_TRUE(editor.addPartStitch({1, 1, kHalfSlash, B}).empty());

    // "\" covers top-left and bottom-right: it replaces the quarter, and D leaves the chart
    const ChartChange backslash = editor.addPartStitch({1, 1, kHalfBackslash, C});
    EXPECT_EQ(chart.layers.parts, (std::vector<PartStitch>{{1, 1, kHalfSlash, B}, {1, 1, kHalfBackslash, C}}));
    EXPECT_EQ(symbolOf(chart, D), 0);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C}));
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 3}, {B, 5}, {C, 1}}));

    editor.undo(backslash);
    EXPECT_EQ(chart.layers.parts, (std::vector<PartStitch>{{1, 1, kTopLeft, D}, {1, 1, kHalfSlash, B}}));
    EXPECT_EQ(symbolOf(chart, D), 4);
    editor.undo(slash);
    editor.undo(quarter);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BAB.", "BBAC"}));
    EXPECT_TRUE(chart.layers.parts.empty());
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}, {C, 1}}));
}

TEST_F(LayerEditTest, ACrossReplacesThePartStitchesOfItsCellTheEraserLeavesThem)
{
    (void)editor.addPartStitch({3, 0, kHalfSlash, D});
    (void)editor.addPartStitch({3, 1, kTopLeft, E});
    (void)editor.addPartStitch({3, 1, kBottomRight, D});
    // emptying a cell keeps its part stitches
    EXPECT_TRUE(editor.stroke({3, 0}, {3, 0}, kEmpty).empty());
    const ChartChange stroke = editor.stroke({3, 0}, {3, 1}, A);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AABA", "BABA", "BBAC"}));
    EXPECT_TRUE(chart.layers.parts.empty());
    EXPECT_EQ(stroke.layerSteps.size(), 3u);
    EXPECT_EQ(symbolOf(chart, D), 0);
    EXPECT_EQ(symbolOf(chart, E), 0);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C}));
    editor.undo(stroke);
    EXPECT_EQ(chart.layers.parts,
        (std::vector<PartStitch>{{3, 0, kHalfSlash, D}, {3, 1, kTopLeft, E}, {3, 1, kBottomRight, D}}));
    EXPECT_EQ(symbolOf(chart, D), 4);
    EXPECT_EQ(symbolOf(chart, E), 5);
}

TEST_F(LayerEditTest, RemovingAndUndoingKeepsEachListInItsOrder)
{
    const std::vector<BackStitch> backs{{{0, 0}, {1, 0}, A}, {{1, 0}, {1, 1}, B}, {{1, 1}, {0.5, 1.5}, C}};
    for (const BackStitch& b : backs)
        (void)editor.addBackStitch(b);
    const ChartChange removed = editor.removeElement({StitchLayerKind::Back, 1});
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{backs[0], backs[2]}));
    editor.undo(removed);
    EXPECT_EQ(chart.layers.backs, backs);

    // the same segment, the other way round: in the same thread nothing, in another a replacement
    EXPECT_TRUE(editor.addBackStitch({{1, 1}, {1, 0}, B}).empty());
    const ChartChange replaced = editor.addBackStitch({{1, 1}, {1, 0}, D});
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{backs[0], backs[2], {{1, 1}, {1, 0}, D}}));
    editor.undo(replaced);
    EXPECT_EQ(chart.layers.backs, backs);
}

TEST_F(LayerEditTest, ChangesAppendedAsOneStrokeUndoAsOne)
{
    // a back stitch chain: two segments merged into one step
    ChartChange chain = editor.addBackStitch({{0, 0}, {1, 1}, E});
    chain.append(editor.addBackStitch({{1, 1}, {2, 0.5}, E}));
    EXPECT_EQ(chart.layers.backs.size(), 2u);
    EXPECT_EQ(symbolOf(chart, E), 4);
    editor.undo(chain);
    EXPECT_TRUE(chart.layers.backs.empty());
    EXPECT_EQ(symbolOf(chart, E), 0);
    editor.redo(chain);
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{{{0, 0}, {1, 1}, E}, {{1, 1}, {2, 0.5}, E}}));
    EXPECT_EQ(editor.layerElementsOf(E), 2);
}

TEST_F(LayerEditTest, EditsOutsideTheChartOrTheLatticeOrWithoutAThreadChangeNothing)
{
    const ChartModel before = chart;
    EXPECT_TRUE(editor.addBackStitch({{0, 0}, {0.25, 1}, A}).empty()); // off the half-cell lattice
    EXPECT_TRUE(editor.addBackStitch({{3, 3}, {4.5, 3}, A}).empty());  // past the right edge (4)
    EXPECT_TRUE(editor.addBackStitch({{1, 1}, {1, 1}, A}).empty());    // no length
    EXPECT_TRUE(editor.addBackStitch({{0, 0}, {1, 1}, 0}).empty());
    EXPECT_TRUE(editor.addBackStitch({{0, 0}, {1, 1}, 453}).empty());
    EXPECT_TRUE(editor.addKnot({-0.5, 1}, A).empty());
    EXPECT_TRUE(editor.addPartStitch({4, 0, kTopLeft, A}).empty());
    EXPECT_TRUE(editor.addPartStitch({0, 0, 15, A}).empty()); // four corners: a cross
    EXPECT_TRUE(editor.addPartStitch({0, 0, 0, A}).empty());
    EXPECT_TRUE(editor.removeElement({StitchLayerKind::Ornament, 0}).empty());
    EXPECT_EQ(chart.colorIndex, before.colorIndex);
    EXPECT_EQ(chart.colorList, before.colorList);
    EXPECT_TRUE(chart.layers.empty());
}

TEST(LayerEditOpenedTest, ElementsAlreadyInTheChartCountForTheirThreads)
{
    // E is used only by a back stitch of the chart as opened, with symbol 4
    ChartModel chart = chartOf({"AB", "BA"});
    chart.layers.backs.push_back({{0, 0}, {2, 2}, E});
    chart.colorList.push_back(E);
    chart.chrIndex[static_cast<std::size_t>(E)] = 3;
    ChartEditor editor(chart, loadedThreadTable(), 1);
    EXPECT_EQ(editor.layerElementsOf(E), 1);
    (void)editor.stroke({0, 0}, {0, 0}, B);
    EXPECT_EQ(symbolOf(chart, E), 3);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{B, 3}, {A, 1}, {E, 0}}));
    (void)editor.removeElement({StitchLayerKind::Back, 0});
    EXPECT_EQ(symbolOf(chart, E), 0);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B}));
}

TEST(LayerEditClearTest, DeletingASelectionTakesTheLayersWithinItAsOneStep)
{
    // The selection: columns 1..3, rows 1..2, whose outline runs from (1, 1) to (4, 3).
    ChartModel chart = chartOf({
        "AAAAAA",
        "A..BCA",
        "AB...A",
        "AA.AAA",
        "AAAAAA",
    });
    // D and E are used only by the layers, with symbols 4 and 5; everything of D lies within.
    chart.colorList.insert(chart.colorList.end(), {D, E});
    chart.chrIndex[static_cast<std::size_t>(D)] = 4;
    chart.chrIndex[static_cast<std::size_t>(E)] = 5;
    const PartStitch inCorner{1, 1, kTopLeft, D}, inLast{3, 2, kHalfSlash, E};
    const PartStitch rightOf{4, 2, kBottomRight, E}, below{2, 3, kTopLeft, E};
    chart.layers.parts = {inCorner, inLast, rightOf, below};
    const BackStitch diagonal{{1, 1}, {4, 3}, E};     // corner to corner
    const BackStitch crossing{{3.5, 2.5}, {4.5, 2.5}, B}; // runs out of it
    const BackStitch rightEdge{{4, 1}, {4, 3}, D};    // along the outline
    const BackStitch fromLeft{{0.5, 1}, {1, 1}, E};   // starts outside, ends on the corner
    const BackStitch within{{2, 2}, {2.5, 1.5}, D};
    chart.layers.backs = {diagonal, crossing, rightEdge, fromLeft, within};
    const Ornament cornerKnot{{1, 1}, OrnamentKind::Knot, D}, above{{2.5, 0.9375}, OrnamentKind::Knot, E};
    const Ornament cornerBead{{4, 3}, OrnamentKind::Bead, D}, pastRight{{4.0625, 2}, OrnamentKind::Knot, E};
    const Ornament bead{{2, 2}, OrnamentKind::Bead, E}, pastLeft{{0.9375, 2}, OrnamentKind::Knot, E};
    chart.layers.ornaments = {cornerKnot, above, cornerBead, pastRight, bead, pastLeft};
    ChartEditor editor(chart, loadedThreadTable(), 1);
    const ChartModel original = chart;

    const ChartChange change = editor.clearRect({1, 1, 3, 2});
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAAAAA", "A...CA", "A....A", "AA.AAA", "AAAAAA"}));
    EXPECT_EQ(change.cells, (std::vector<ChartChange::Cell>{{1, 2, B, kEmpty}, {3, 1, B, kEmpty}}));
    EXPECT_EQ(change.layerSteps.size(), 8u);
    EXPECT_EQ(chart.layers.parts, (std::vector<PartStitch>{rightOf, below}));
    EXPECT_EQ(chart.layers.backs, (std::vector<BackStitch>{crossing, fromLeft}));
    EXPECT_EQ(chart.layers.ornaments, (std::vector<Ornament>{above, pastRight, pastLeft}));
    // D leaves the chart; B keeps its symbol through the stitch that crosses out, listed after E,
    // whose part stitch comes first in the layers
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C, E}));
    EXPECT_EQ(symbolOf(chart, D), 0);
    EXPECT_EQ(symbolOf(chart, E), 5);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 21}, {C, 1}, {E, 0}, {B, 0}}));
    EXPECT_EQ(editor.layerElementsOf(D), 0);
    EXPECT_EQ(editor.layerElementsOf(E), 6);
    const ChartModel cleared = chart;

    editor.undo(change);
    EXPECT_EQ(chart.colorIndex, original.colorIndex);
    EXPECT_EQ(chart.layers.parts, original.layers.parts);
    EXPECT_EQ(chart.layers.backs, original.layers.backs);
    EXPECT_EQ(chart.layers.ornaments, original.layers.ornaments);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B, C, D, E}));
    EXPECT_EQ(chart.chrIndex, original.chrIndex);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 21}, {B, 2}, {C, 1}, {D, 0}, {E, 0}}));
    EXPECT_EQ(editor.layerElementsOf(D), 5);

    editor.redo(change);
    EXPECT_EQ(chart.colorIndex, cleared.colorIndex);
    EXPECT_EQ(chart.layers, cleared.layers);
    EXPECT_EQ(chart.colorList, cleared.colorList);
    EXPECT_EQ(chart.chrIndex, cleared.chrIndex);
    EXPECT_EQ(chart.threadList, cleared.threadList);
    // nothing left within: deleting again changes nothing
    EXPECT_TRUE(editor.clearRect({1, 1, 3, 2}).empty());
}

struct FindCase {
    const char* name;
    StitchPoint at;
    bool backsShown;
    std::optional<LayerHit> hit;
};

class LayerFinderTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(LayerFinderTest, FindsTheTopmostElementWithinReach)
{
    StitchLayers layers;
    layers.parts = {{2, 2, kTopLeft, A}, {2, 2, kBottomRight, B}};
    layers.backs = {{{0, 0}, {2, 0}, A}, {{0, 0}, {0, 2}, B}};
    layers.ornaments = {{{1, 1}, OrnamentKind::Knot, C}, {{1.5, 1}, OrnamentKind::Bead, D}};
    const FindCase& c = GetParam();
    EXPECT_EQ(LayerFinder::find(layers, c.at, [&](StitchLayerKind kind) { return kind != StitchLayerKind::Back || c.backsShown; }),
        c.hit);
}

INSTANTIATE_TEST_SUITE_P(Points, LayerFinderTest,
    ::testing::Values(FindCase{"OnAKnot", {1.1, 0.9}, true, LayerHit{StitchLayerKind::Ornament, 0}},
        // 0.3 from the knot, 0.2 from the bead: the nearer
        FindCase{"NearerTheBead", {1.3, 1}, true, LayerHit{StitchLayerKind::Ornament, 1}},
        FindCase{"BesideTheTopLine", {1.2, 0.2}, true, LayerHit{StitchLayerKind::Back, 0}},
        FindCase{"BesideTheLeftLine", {0.2, 1.6}, true, LayerHit{StitchLayerKind::Back, 1}},
        FindCase{"LinesHidden", {0.2, 1.6}, false, std::nullopt},
        FindCase{"PastTheLineEnd", {2.3, 0}, true, std::nullopt},
        FindCase{"TopLeftQuarter", {2.2, 2.3}, true, LayerHit{StitchLayerKind::Part, 0}},
        FindCase{"BottomRightQuarter", {2.6, 2.9}, true, LayerHit{StitchLayerKind::Part, 1}},
        // in the empty top-right quadrant: 0.47 from the top-left quarter's centre (2.25, 2.25),
        // 0.35 from the bottom-right one's (2.75, 2.75)
        FindCase{"EmptyCornerNearerBottomRight", {2.7, 2.4}, true, LayerHit{StitchLayerKind::Part, 1}},
        FindCase{"EmptyCell", {3.5, 3.5}, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LayerFinderSnapTest, SnapsToTheHalfCellLatticeInsideTheChart)
{
    EXPECT_EQ(LayerFinder::snap({1.2, 2.8}, 4, 3), (StitchPoint{1.0, 3.0}));
    EXPECT_EQ(LayerFinder::snap({1.3, 2.6}, 4, 3), (StitchPoint{1.5, 2.5}));
    EXPECT_EQ(LayerFinder::snap({-0.4, 3.4}, 4, 3), (StitchPoint{0.0, 3.0}));
    EXPECT_EQ(LayerFinder::snap({4.2, 0.74}, 4, 3), (StitchPoint{4.0, 0.5}));
    EXPECT_EQ(LayerFinder::cornerAt({2.1, 2.2}), kTopLeft);
    EXPECT_EQ(LayerFinder::cornerAt({2.6, 2.2}), kTopRight);
    EXPECT_EQ(LayerFinder::cornerAt({2.1, 2.7}), kBottomLeft);
    EXPECT_EQ(LayerFinder::cornerAt({2.9, 2.9}), kBottomRight);
}

} // namespace
} // namespace kanvo
