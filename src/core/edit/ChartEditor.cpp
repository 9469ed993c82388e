#include "core/edit/ChartEditor.h"

#include <algorithm>
#include <vector>

#include "core/palette/ColorIndex.h"

namespace kanvo {

namespace {

std::size_t offset(CellPos c)
{
    return static_cast<std::size_t>(c.x) * ChartModel::kMatrixSide + static_cast<std::size_t>(c.y);
}

} // namespace

ChartEditor::ChartEditor(ChartModel& chart, const ThreadTable& table, int rareThreshold)
    : chart_(chart), table_(table), rareThreshold_(rareThreshold)
{
    if (chart_.colorIndex.size() < static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide)
        chart_.colorIndex.resize(static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide, 0);
    if (chart_.chrIndex.size() < static_cast<std::size_t>(ChartModel::kThreadSlots))
        chart_.chrIndex.resize(ChartModel::kThreadSlots, 0);
    for (int x = 0; x < std::clamp(chart_.gw, 0, ChartModel::kMaxSide); ++x)
        for (int y = 0; y < std::clamp(chart_.gh, 0, ChartModel::kMaxSide); ++y)
            if (const int t = chart_.threadAt(x, y); t > 0 && t < ChartModel::kThreadSlots)
                ++counts_[static_cast<std::size_t>(t)];
}

bool ChartEditor::contains(CellPos cell) const
{
    return cell.x >= 0 && cell.y >= 0 && cell.x < std::min(chart_.gw, ChartModel::kMaxSide)
        && cell.y < std::min(chart_.gh, ChartModel::kMaxSide);
}

int ChartEditor::threadAt(CellPos cell) const
{
    return contains(cell) ? chart_.threadAt(cell.x, cell.y) : ChartModel::kNoStitch;
}

int ChartEditor::stitchesOf(int thread) const
{
    return thread > 0 && thread < ChartModel::kThreadSlots ? counts_[static_cast<std::size_t>(thread)] : 0;
}

bool ChartEditor::isThreadValue(int thread)
{
    return thread == ChartModel::kNoStitch || ThreadTable::isThread(thread);
}

void ChartEditor::setCell(CellPos cell, int thread)
{
    int& value = chart_.colorIndex[offset(cell)];
    if (value > 0 && value < ChartModel::kThreadSlots)
        --counts_[static_cast<std::size_t>(value)];
    value = thread;
    if (thread > 0 && thread < ChartModel::kThreadSlots)
        ++counts_[static_cast<std::size_t>(thread)];
}

ChartChange ChartEditor::paint(std::span<const CellPos> cells, int thread)
{
    ChartChange change;
    if (!isThreadValue(thread))
        return change;
    SymbolState before = symbols();
    std::vector<int> touched;
    for (const CellPos c : cells) {
        if (!contains(c))
            continue;
        const int old = chart_.threadAt(c.x, c.y);
        if (old == thread)
            continue;
        if (std::find(touched.begin(), touched.end(), old) == touched.end())
            touched.push_back(old);
        setCell(c, thread);
        change.cells.push_back(ChartChange::Cell{static_cast<short>(c.x), static_cast<short>(c.y), old, thread});
    }
    if (change.empty())
        return change;
    touched.push_back(thread);
    if (settleSymbols(touched)) {
        change.symbolsBefore = std::move(before);
        change.symbolsAfter = symbols();
    }
    relist();
    return change;
}

ChartChange ChartEditor::stroke(CellPos from, CellPos to, int thread)
{
    const std::vector<CellPos> cells = ChartRegion::line(chart_, from, to);
    return paint(cells, thread);
}

ChartChange ChartEditor::fill(CellPos seed, int thread)
{
    if (threadAt(seed) == thread)
        return {};
    const std::vector<CellPos> cells = ChartRegion::connected(chart_, seed);
    return paint(cells, thread);
}

ChartChange ChartEditor::fillRect(CellRect rect, int thread)
{
    const std::vector<CellPos> cells = ChartRegion::rectangle(chart_, rect);
    return paint(cells, thread);
}

ChartChange ChartEditor::removeBackground(ColorValue reference, double tolerance)
{
    const std::vector<CellPos> cells = ChartRegion::background(chart_, table_, reference, tolerance);
    return paint(cells, ChartModel::kNoStitch);
}

bool ChartEditor::settleSymbols(std::span<const int> touched)
{
    bool changed = false;
    for (const int t : touched) {
        if (t <= 0 || t >= ChartModel::kThreadSlots)
            continue;
        const auto listed = std::find(chart_.colorList.begin(), chart_.colorList.end(), t);
        const bool stitched = counts_[static_cast<std::size_t>(t)] > 0;
        if (!stitched && listed != chart_.colorList.end()) {
            chart_.colorList.erase(listed);
            chart_.chrIndex[static_cast<std::size_t>(t)] = 0;
            changed = true;
        } else if (stitched && listed == chart_.colorList.end()) {
            const int position = freeSymbolPosition();
            chart_.chrIndex[static_cast<std::size_t>(t)] = position;
            // colorList stays in symbol order: the new thread goes before the first thread whose
            // symbol comes after its own.
            const auto next = std::find_if(chart_.colorList.begin(), chart_.colorList.end(), [&](int other) {
                return other > 0 && other < ChartModel::kThreadSlots
                    && chart_.chrIndex[static_cast<std::size_t>(other)] > position;
            });
            chart_.colorList.insert(next, t);
            changed = true;
        }
    }
    return changed;
}

int ChartEditor::freeSymbolPosition() const
{
    std::vector<bool> taken(chart_.colorList.size() + 2, false);
    for (const int t : chart_.colorList) {
        if (t <= 0 || t >= ChartModel::kThreadSlots)
            continue;
        const int p = chart_.chrIndex[static_cast<std::size_t>(t)];
        if (p > 0 && p < static_cast<int>(taken.size()))
            taken[static_cast<std::size_t>(p)] = true;
    }
    int position = 1;
    while (taken[static_cast<std::size_t>(position)])
        ++position;
    return position;
}

void ChartEditor::relist()
{
    const bool ready = chart_.chartReady;
    (void)sortColorIndex(chart_, rareThreshold_, table_);
    chart_.chartReady = ready;
    chart_.colorCount = static_cast<int>(chart_.colorList.size());
}

void ChartEditor::undo(const ChartChange& change)
{
    for (auto c = change.cells.rbegin(); c != change.cells.rend(); ++c)
        setCell(CellPos{c->x, c->y}, c->before);
    if (change.symbolsBefore) {
        chart_.colorList = change.symbolsBefore->colorList;
        chart_.chrIndex = change.symbolsBefore->chrIndex;
    }
    relist();
}

void ChartEditor::redo(const ChartChange& change)
{
    for (const ChartChange::Cell& c : change.cells)
        setCell(CellPos{c.x, c.y}, c.after);
    if (change.symbolsAfter) {
        chart_.colorList = change.symbolsAfter->colorList;
        chart_.chrIndex = change.symbolsAfter->chrIndex;
    }
    relist();
}

} // namespace kanvo
