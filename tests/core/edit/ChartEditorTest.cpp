#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/chart/ChartTexts.h"
#include "core/edit/ChartEditor.h"
#include "core/palette/ColorIndex.h"
#include "tests/core/edit/ChartEditTestSupport.h"

namespace kanvo {
namespace {

using namespace test;

// Everything an edit may change, for comparing whole charts.
void expectSameChart(const ChartModel& actual, const ChartModel& expected)
{
    EXPECT_EQ(actual.colorIndex, expected.colorIndex);
    EXPECT_EQ(actual.colorList, expected.colorList);
    EXPECT_EQ(actual.chrIndex, expected.chrIndex);
    EXPECT_EQ(actual.threadList, expected.threadList);
    EXPECT_EQ(actual.maxColor, expected.maxColor);
    EXPECT_EQ(actual.colorCount, expected.colorCount);
    EXPECT_EQ(actual.chartReady, expected.chartReady);
}

class ChartEditorTest : public EditedChartTest {};

TEST_F(ChartEditorTest, PencilStrokeSetsTheCellsOfTheLineAndListsTheLegend)
{
    const ChartChange change = editor.stroke({0, 0}, {3, 1}, C);
    // the line (0,0) (1,0) (2,1) (3,1); every cell changed, so each is recorded
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"CCB.", "BACC", "BBAC"}));
    EXPECT_EQ(change.cells.size(), 4u);
    EXPECT_EQ(change.cells[0], (ChartChange::Cell{0, 0, A, C}));
    EXPECT_EQ(change.cells[3], (ChartChange::Cell{3, 1, kEmpty, C}));
    // legend in order of first stitch: C at (0,0), B at (2,0), A at (1,1)
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{C, 5}, {B, 4}, {A, 2}}));
    EXPECT_EQ(chart.maxColor, 3);
    EXPECT_EQ(chart.colorCount, 3);
    EXPECT_EQ(chart_texts::totalNote(chart).find("注:全部线量总和为11，"), 0u);
    // symbols unchanged: no thread came or went
    EXPECT_FALSE(change.symbolsBefore.has_value());
}

TEST_F(ChartEditorTest, PaintingWhatACellHoldsChangesNothing)
{
    const ChartChange change = editor.stroke({0, 0}, {1, 0}, A);
    EXPECT_TRUE(change.empty());
}

TEST_F(ChartEditorTest, EraserEmptiesCellsAndAThreadAtZeroLeavesLegendAndSymbols)
{
    const int symbolOfC = chart.chrIndex[static_cast<std::size_t>(C)];
    ASSERT_EQ(symbolOfC, 3);
    const ChartChange change = editor.stroke({3, 2}, {3, 2}, kEmpty);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BAB.", "BBA."}));
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{A, 4}, {B, 5}}));
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, B}));
    EXPECT_EQ(chart.chrIndex[static_cast<std::size_t>(C)], 0);
    EXPECT_EQ(chart.colorCount, 2);
    EXPECT_EQ(chart.stitchCount(), 9);
    ASSERT_TRUE(change.symbolsBefore && change.symbolsAfter);
    EXPECT_EQ(change.symbolsBefore->colorList, (std::vector<int>{A, B, C}));
}

TEST_F(ChartEditorTest, ANewThreadTakesTheLowestFreeSymbol)
{
    // B gives up symbol 2; D then takes 2 and sits between A and C in symbol order
    (void)editor.fill({0, 1}, A);
    (void)editor.fill({2, 0}, A);
    ASSERT_EQ(chart.chrIndex[static_cast<std::size_t>(B)], 0);
    (void)editor.stroke({3, 0}, {3, 0}, D);
    EXPECT_EQ(chart.chrIndex[static_cast<std::size_t>(D)], 2);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, D, C}));
    EXPECT_EQ(chart_texts::symbolOfThread(chart, D), chart.xiuChr[1]);
    // a further thread goes after the last symbol
    (void)editor.stroke({3, 1}, {3, 1}, B);
    EXPECT_EQ(chart.chrIndex[static_cast<std::size_t>(B)], 4);
    EXPECT_EQ(chart.colorList, (std::vector<int>{A, D, C, B}));
}

struct FillCase {
    const char* name;
    CellPos seed;
    char letter;
    std::vector<std::string> after;
};

class ChartFillTest : public ChartEditorTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(ChartFillTest, FillsTheFourConnectedRegionOfTheSeed)
{
    const FillCase& c = GetParam();
    (void)editor.fill(c.seed, threadOfLetter(c.letter));
    EXPECT_EQ(rowsOf(chart), c.after);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ChartFillTest,
    ::testing::Values(FillCase{"SameThread", {0, 0}, 'D', {"DDB.", "BDB.", "BBAC"}},
        FillCase{"LeftColumnOfB", {0, 2}, 'C', {"AAB.", "CAB.", "CCAC"}},
        FillCase{"EmptyRegion", {3, 0}, 'D', {"AABD", "BABD", "BBAC"}},
        FillCase{"Emptying", {2, 1}, '.', {"AA..", "BA..", "BBAC"}},
        FillCase{"OutsideTheChart", {4, 0}, 'D', {"AAB.", "BAB.", "BBAC"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChartEditorTest, SelectionFillAndDelete)
{
    (void)editor.fillRect(CellRect::spanning({2, 2}, {1, 1}), D);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BDD.", "BDDC"}));
    (void)editor.fillRect(CellRect{2, 0, 9, 2}, kEmpty);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AA..", "BD..", "BDDC"}));
}

TEST(ChartEditorBackgroundTest, RemovesTheBorderRegionOfTheBorderThread)
{
    ChartModel chart = chartOf({
        "AAAAA",
        "ABBBA",
        "ABABA",
        "ABBCA",
        "AAAA.",
    });
    ChartEditor editor(chart, loadedThreadTable(), 1);
    const std::optional<int> border = ChartRegion::borderThread(chart);
    ASSERT_EQ(border, A);
    const ChartChange change = editor.removeBackground(loadedThreadTable().colorOf(*border), 0.0);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{".....", ".BBB.", ".BAB.", ".BBC.", "....."}));
    EXPECT_EQ(change.cells.size(), 15u);
    EXPECT_EQ(legendOf(chart), (std::vector<Listed>{{B, 7}, {A, 1}, {C, 1}}));
    EXPECT_EQ(chart.stitchCount(), 9);
}

TEST_F(ChartEditorTest, UndoAndRedoOfEachToolRestoreTheChartExactly)
{
    editor.undo(editor.stroke({3, 0}, {3, 0}, A)); // lists the legend once, as the editor lists it
    const ChartModel start = chart;
    std::vector<ChartChange> changes;
    changes.push_back(editor.stroke({0, 0}, {3, 0}, D));
    changes.push_back(editor.fill({3, 2}, kEmpty));
    changes.push_back(editor.fillRect(CellRect{0, 1, 2, 2}, C));
    changes.push_back(editor.removeBackground(loadedThreadTable().colorOf(D), 0.0));
    const ChartModel end = chart;
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"....", "CCB.", "CCA."}));
    for (auto c = changes.rbegin(); c != changes.rend(); ++c)
        editor.undo(*c);
    expectSameChart(chart, start);
    for (const ChartChange& c : changes)
        editor.redo(c);
    expectSameChart(chart, end);
}

TEST_F(ChartEditorTest, AStrokeAppendedStepByStepUndoesAsOne)
{
    const ChartModel start = chart;
    // drag (0,0) -> (3,0) -> back to (0,0) with D: the row ends all D, B and the empty cell
    // visited twice
    ChartChange stroke = editor.stroke({0, 0}, {3, 0}, D);
    stroke.append(editor.stroke({3, 0}, {0, 0}, D));
    stroke.append(editor.stroke({0, 0}, {0, 1}, kEmpty));
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{".DDD", ".AB.", "BBAC"}));
    editor.undo(stroke);
    EXPECT_EQ(rowsOf(chart), (std::vector<std::string>{"AAB.", "BAB.", "BBAC"}));
    EXPECT_EQ(chart.colorList, start.colorList);
    EXPECT_EQ(chart.chrIndex, start.chrIndex);
}

// Symbols through a history whose middle step is a stroke appended in parts: the first part
// changes no symbol, the second brings in D and empties C, the third brings in E. Every state is
// worked out by hand: a thread new to the chart takes the lowest symbol position no thread holds.
TEST(ChartEditorSymbolsTest, UndoAndRedoOfEachStepGiveBackItsSymbols)
{
    ChartModel chart = chartOf({"AABC", "AABC"}); // A 1, B 2, C 3
    ChartEditor editor(chart, loadedThreadTable(), 1);
    const int E = threadOfLetter('E');
    struct State {
        std::vector<std::string> rows;
        std::vector<int> colorList;
        std::vector<std::pair<int, int>> symbols; // thread, position; every other thread 0
    };
    const std::vector<State> states{
        {{"AABC", "AABC"}, {A, B, C}, {{A, 1}, {B, 2}, {C, 3}}},
        {{"AAAC", "AAAC"}, {A, C}, {{A, 1}, {C, 3}}},                  // B filled over: 2 is free
        {{"AAAD", ".EAD"}, {A, D, E}, {{A, 1}, {D, 2}, {E, 3}}},       // C gone, D takes 2, E 3
        {{"BAAD", ".EAD"}, {A, D, E, B}, {{A, 1}, {D, 2}, {E, 3}, {B, 4}}}, // B back, after the last
    };
    const auto expectState = [&](std::size_t i, const char* when) {
        SCOPED_TRACE(std::string(when) + " state " + std::to_string(i));
        const State& s = states[i];
        EXPECT_EQ(rowsOf(chart), s.rows);
        EXPECT_EQ(chart.colorList, s.colorList);
        std::vector<int> chrIndex(ChartModel::kThreadSlots, 0);
        for (const auto& [thread, position] : s.symbols)
            chrIndex[static_cast<std::size_t>(thread)] = position;
        EXPECT_EQ(chart.chrIndex, chrIndex);
        EXPECT_EQ(chart.colorCount, static_cast<int>(s.colorList.size()));
    };

    std::vector<ChartChange> steps;
    steps.push_back(editor.fill({2, 0}, A));
    ChartChange stroke = editor.stroke({0, 1}, {0, 1}, kEmpty);
    stroke.append(editor.stroke({3, 0}, {3, 1}, D));
    stroke.append(editor.stroke({1, 1}, {1, 1}, E));
    steps.push_back(std::move(stroke));
    steps.push_back(editor.stroke({0, 0}, {0, 0}, B));
    expectState(3, "made");

    for (std::size_t i = steps.size(); i-- > 0;) {
        editor.undo(steps[i]);
        expectState(i, "undone to");
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        editor.redo(steps[i]);
        expectState(i + 1, "redone to");
    }
}

// A generated chart: random strokes, fills, selections and background removals, undone newest
// first, give back the chart exactly as the generation left it, legend and symbols included.
TEST(ChartEditorRandomTest, UndoingEverythingGivesBackTheGeneratedChart)
{
    const ThreadTable& table = loadedThreadTable();
    std::mt19937 random(20261209);
    StitchMatrix picture;
    const std::vector<int> threads{1, 5, 17, 40, 100, 200, 300, 452};
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 45; ++y) {
            // patches of a few threads, with a noisy edge
            const int patch = (x / 12 + y / 9 + static_cast<int>(random() % 2)) % 6;
            picture.set(x, y, table.colorOf(threads[static_cast<std::size_t>(patch)]));
        }
    ChartModel chart;
    chart.gw = 60;
    chart.gh = 45;
    ASSERT_EQ(generateChartModel(picture, chart, ColorIndexSettings{0, 5}, table), ColorIndexError::None);
    const ChartModel generated = chart;

    ChartEditor editor(chart, table, 5);
    std::vector<ChartChange> history;
    // The chart after every tenth step of the history, to compare with on the way back and forth.
    std::map<std::size_t, ChartModel> kept;
    const auto keep = [&] {
        if (history.size() % 10 == 0)
            kept[history.size()] = chart;
    };
    const auto cell = [&] { return CellPos{static_cast<int>(random() % 64) - 2, static_cast<int>(random() % 49) - 2}; };
    const auto thread = [&] {
        const int pick = static_cast<int>(random() % (threads.size() + 1));
        return pick == 0 ? kEmpty : threads[static_cast<std::size_t>(pick - 1)];
    };
    for (int step = 0; step < 400; ++step) {
        switch (random() % 5) {
        case 0: {
            ChartChange stroke = editor.stroke(cell(), cell(), thread());
            stroke.append(editor.stroke(cell(), cell(), thread()));
            history.push_back(std::move(stroke));
            break;
        }
        case 1: history.push_back(editor.fill(cell(), thread())); break;
        case 2: history.push_back(editor.fillRect(CellRect::spanning(cell(), cell()), thread())); break;
        case 3: history.push_back(editor.removeBackground(table.colorOf(thread() == kEmpty ? 5 : thread()), random() % 20)); break;
        default: history.push_back(editor.paint(std::vector<CellPos>{cell(), cell(), cell()}, thread())); break;
        }
        keep();
        // now and then undo a few and go on from there, as a user does
        if (step % 37 == 0)
            for (int k = 0; k < 3 && !history.empty(); ++k) {
                kept.erase(history.size());
                editor.undo(history.back());
                history.pop_back();
            }
    }
    ASSERT_NE(chart.colorIndex, generated.colorIndex);
    ASSERT_GE(kept.size(), 30u);
    const ChartModel end = chart;
    for (std::size_t i = history.size(); i-- > 0;) {
        editor.undo(history[i]);
        if (const auto k = kept.find(i); k != kept.end()) {
            SCOPED_TRACE("undone to step " + std::to_string(i));
            expectSameChart(chart, k->second);
        }
    }
    expectSameChart(chart, generated);
    for (std::size_t i = 0; i < history.size(); ++i) {
        editor.redo(history[i]);
        if (const auto k = kept.find(i + 1); k != kept.end()) {
            SCOPED_TRACE("redone to step " + std::to_string(i + 1));
            expectSameChart(chart, k->second);
        }
    }
    expectSameChart(chart, end);
}

} // namespace
} // namespace kanvo
