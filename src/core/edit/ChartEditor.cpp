#include "core/edit/ChartEditor.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "core/palette/ColorIndex.h"

namespace kanvo {

namespace {

std::size_t offset(CellPos c)
{
    return static_cast<std::size_t>(c.x) * ChartModel::kMatrixSide + static_cast<std::size_t>(c.y);
}

template <typename Element>
std::vector<Element>& listOf(StitchLayers& layers)
{
    if constexpr (std::is_same_v<Element, PartStitch>)
        return layers.parts;
    else if constexpr (std::is_same_v<Element, BackStitch>)
        return layers.backs;
    else
        return layers.ornaments;
}

bool isThreadSlot(int thread) { return thread > 0 && thread < ChartModel::kThreadSlots; }

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
    const auto count = [this](int t) {
        if (isThreadSlot(t))
            ++layerCounts_[static_cast<std::size_t>(t)];
    };
    for (const PartStitch& p : chart_.layers.parts)
        count(p.thread);
    for (const BackStitch& b : chart_.layers.backs)
        count(b.thread);
    for (const Ornament& o : chart_.layers.ornaments)
        count(o.thread);
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

int ChartEditor::layerElementsOf(int thread) const
{
    return isThreadSlot(thread) ? layerCounts_[static_cast<std::size_t>(thread)] : 0;
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
    if (thread != ChartModel::kNoStitch && !chart_.layers.parts.empty()) {
        // A cross covers its whole cell: the part stitches there go.
        const int w = std::min(chart_.gw, ChartModel::kMaxSide);
        std::vector<bool> covered(static_cast<std::size_t>(w) * static_cast<std::size_t>(std::min(chart_.gh, ChartModel::kMaxSide)));
        const auto at = [w](int x, int y) { return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x); };
        for (const CellPos c : cells)
            if (contains(c))
                covered[at(c.x, c.y)] = true;
        for (std::size_t i = chart_.layers.parts.size(); i-- > 0;) {
            const PartStitch& p = chart_.layers.parts[i];
            if (!contains(CellPos{p.x, p.y}) || !covered[at(p.x, p.y)])
                continue;
            touched.push_back(p.thread);
            eraseElement(change, StitchLayerKind::Part, i);
        }
    }
    touched.push_back(thread);
    // setCell leaves the symbols be: they are still those from before the change.
    return finish(std::move(change), symbols(), std::move(touched));
}

ChartChange ChartEditor::finish(ChartChange change, SymbolState before, std::vector<int> touched)
{
    if (change.empty())
        return change;
    if (settleSymbols(touched)) {
        change.symbolsBefore = std::move(before);
        change.symbolsAfter = symbols();
    }
    relist();
    return change;
}

void ChartEditor::applyStep(const ChartChange::LayerStep& step, bool forward)
{
    std::visit(
        [&](const auto& element) {
            auto& list = listOf<std::decay_t<decltype(element)>>(chart_.layers);
            const auto at = list.begin() + static_cast<std::ptrdiff_t>(step.index);
            int& count = layerCounts_[static_cast<std::size_t>(isThreadSlot(element.thread) ? element.thread : 0)];
            if (step.added == forward) {
                list.insert(at, element);
                ++count;
            } else {
                list.erase(at);
                --count;
            }
        },
        step.element);
}

void ChartEditor::insertElement(ChartChange& change, std::size_t index,
    std::variant<PartStitch, BackStitch, Ornament> element)
{
    change.layerSteps.push_back(ChartChange::LayerStep{true, index, std::move(element)});
    applyStep(change.layerSteps.back(), true);
}

void ChartEditor::eraseElement(ChartChange& change, StitchLayerKind kind, std::size_t index)
{
    ChartChange::LayerStep step{false, index, {}};
    switch (kind) {
    case StitchLayerKind::Part:
        step.element = chart_.layers.parts[index];
        break;
    case StitchLayerKind::Back:
        step.element = chart_.layers.backs[index];
        break;
    case StitchLayerKind::Ornament:
        step.element = chart_.layers.ornaments[index];
        break;
    }
    change.layerSteps.push_back(std::move(step));
    applyStep(change.layerSteps.back(), true);
}

bool ChartEditor::onLattice(StitchPoint point) const
{
    const auto half = [](double v, int side) { return v >= 0 && v <= side && std::floor(v * 2) == v * 2; };
    return half(point.x, std::min(chart_.gw, ChartModel::kMaxSide)) && half(point.y, std::min(chart_.gh, ChartModel::kMaxSide));
}

ChartChange ChartEditor::addBackStitch(BackStitch stitch)
{
    if (!ThreadTable::isThread(stitch.thread) || !onLattice(stitch.from) || !onLattice(stitch.to) || stitch.from == stitch.to)
        return {};
    const SymbolState before = symbols();
    ChartChange change;
    std::vector<int> touched{stitch.thread};
    std::vector<BackStitch>& backs = chart_.layers.backs;
    for (std::size_t i = backs.size(); i-- > 0;) {
        const BackStitch& b = backs[i];
        if (!((b.from == stitch.from && b.to == stitch.to) || (b.from == stitch.to && b.to == stitch.from)))
            continue;
        if (b.thread == stitch.thread)
            return {};
        touched.push_back(b.thread);
        eraseElement(change, StitchLayerKind::Back, i);
    }
    insertElement(change, backs.size(), stitch);
    return finish(std::move(change), before, std::move(touched));
}

ChartChange ChartEditor::addKnot(StitchPoint at, int thread)
{
    const double w = std::min(chart_.gw, ChartModel::kMaxSide);
    const double h = std::min(chart_.gh, ChartModel::kMaxSide);
    if (!ThreadTable::isThread(thread) || !(at.x >= 0 && at.x <= w && at.y >= 0 && at.y <= h))
        return {};
    const SymbolState before = symbols();
    ChartChange change;
    std::vector<int> touched{thread};
    std::vector<Ornament>& ornaments = chart_.layers.ornaments;
    for (std::size_t i = ornaments.size(); i-- > 0;) {
        const Ornament& o = ornaments[i];
        if (o.kind != OrnamentKind::Knot || o.at != at)
            continue;
        if (o.thread == thread)
            return {};
        touched.push_back(o.thread);
        eraseElement(change, StitchLayerKind::Ornament, i);
    }
    insertElement(change, ornaments.size(), Ornament{at, OrnamentKind::Knot, thread});
    return finish(std::move(change), before, std::move(touched));
}

ChartChange ChartEditor::addPartStitch(PartStitch part)
{
    constexpr std::uint8_t kAllCorners = kTopLeft | kTopRight | kBottomLeft | kBottomRight;
    if (!ThreadTable::isThread(part.thread) || !contains(CellPos{part.x, part.y}) || part.corners == 0
        || (part.corners & kAllCorners) != part.corners || part.corners == kAllCorners)
        return {};
    std::vector<PartStitch>& parts = chart_.layers.parts;
    if (std::find(parts.begin(), parts.end(), part) != parts.end())
        return {};
    const SymbolState before = symbols();
    ChartChange change;
    std::vector<int> touched{part.thread};
    for (std::size_t i = parts.size(); i-- > 0;) {
        const PartStitch& p = parts[i];
        if (p.x != part.x || p.y != part.y || (p.corners & part.corners) == 0)
            continue;
        touched.push_back(p.thread);
        eraseElement(change, StitchLayerKind::Part, i);
    }
    const CellPos cell{part.x, part.y};
    if (const int cross = chart_.threadAt(cell.x, cell.y); cross != ChartModel::kNoStitch) {
        touched.push_back(cross);
        setCell(cell, ChartModel::kNoStitch);
        change.cells.push_back(
            ChartChange::Cell{static_cast<short>(cell.x), static_cast<short>(cell.y), cross, ChartModel::kNoStitch});
    }
    insertElement(change, parts.size(), part);
    return finish(std::move(change), before, std::move(touched));
}

ChartChange ChartEditor::removeElement(LayerHit hit)
{
    const StitchLayers& layers = chart_.layers;
    const std::size_t size = hit.kind == StitchLayerKind::Part ? layers.parts.size()
        : hit.kind == StitchLayerKind::Back                   ? layers.backs.size()
                                                              : layers.ornaments.size();
    if (hit.index >= size)
        return {};
    const SymbolState before = symbols();
    std::vector<int> touched{LayerFinder::threadOf(layers, hit)};
    ChartChange change;
    eraseElement(change, hit.kind, hit.index);
    return finish(std::move(change), before, std::move(touched));
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

template <typename Element, typename Inside>
void ChartEditor::eraseWhere(ChartChange& change, std::vector<int>& touched, StitchLayerKind kind, Inside inside)
{
    const std::vector<Element>& list = listOf<Element>(chart_.layers);
    for (std::size_t i = list.size(); i-- > 0;)
        if (inside(list[i])) {
            touched.push_back(list[i].thread);
            eraseElement(change, kind, i);
        }
}

ChartChange ChartEditor::clearRect(CellRect rect)
{
    ChartChange change = fillRect(rect, ChartModel::kNoStitch);
    // The rectangle's outline in cell units, cut to the chart: a point on it counts as inside.
    const double x0 = std::max(rect.left, 0);
    const double y0 = std::max(rect.top, 0);
    const double x1 = std::min(rect.left + rect.width, std::min(chart_.gw, ChartModel::kMaxSide));
    const double y1 = std::min(rect.top + rect.height, std::min(chart_.gh, ChartModel::kMaxSide));
    if (x0 >= x1 || y0 >= y1)
        return change;
    const auto within = [&](StitchPoint p) { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; };
    const SymbolState before = symbols();
    ChartChange layers;
    std::vector<int> touched;
    eraseWhere<PartStitch>(layers, touched, StitchLayerKind::Part,
        [&](const PartStitch& p) { return p.x >= x0 && p.x < x1 && p.y >= y0 && p.y < y1; });
    eraseWhere<BackStitch>(layers, touched, StitchLayerKind::Back,
        [&](const BackStitch& b) { return within(b.from) && within(b.to); });
    eraseWhere<Ornament>(layers, touched, StitchLayerKind::Ornament, [&](const Ornament& o) { return within(o.at); });
    change.append(finish(std::move(layers), before, std::move(touched)));
    return change;
}

ChartChange ChartEditor::removeBackground(ColorValue reference, double tolerance)
{
    const std::vector<CellPos> cells = ChartRegion::background(chart_, table_, reference, tolerance);
    // Only the picture's crosses: the layers are the stitcher's own additions and stay on purpose.
    return paint(cells, ChartModel::kNoStitch);
}

bool ChartEditor::settleSymbols(std::span<const int> touched)
{
    bool changed = false;
    for (const int t : touched) {
        if (t <= 0 || t >= ChartModel::kThreadSlots)
            continue;
        const auto listed = std::find(chart_.colorList.begin(), chart_.colorList.end(), t);
        const bool stitched = counts_[static_cast<std::size_t>(t)] + layerCounts_[static_cast<std::size_t>(t)] > 0;
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
    // Threads the layers use and the cells' count left out still have their entry, after the
    // others, in symbol order.
    std::array<bool, ChartModel::kThreadSlots> listed{};
    for (const ThreadEntry& e : chart_.threadList)
        if (isThreadSlot(e.index))
            listed[static_cast<std::size_t>(e.index)] = true;
    for (const int t : chart_.colorList)
        if (ThreadTable::isThread(t) && layerCounts_[static_cast<std::size_t>(t)] > 0 && !listed[static_cast<std::size_t>(t)]) {
            chart_.threadList.push_back(ThreadEntry{table_.colorOf(t), t, threadName(table_.dmc(t).cindex),
                counts_[static_cast<std::size_t>(t)]});
            listed[static_cast<std::size_t>(t)] = true;
        }
    chart_.maxColor = static_cast<int>(chart_.threadList.size());
    chart_.colorCount = static_cast<int>(chart_.colorList.size());
}

void ChartEditor::undo(const ChartChange& change)
{
    for (auto c = change.cells.rbegin(); c != change.cells.rend(); ++c)
        setCell(CellPos{c->x, c->y}, c->before);
    for (auto step = change.layerSteps.rbegin(); step != change.layerSteps.rend(); ++step)
        applyStep(*step, false);
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
    for (const ChartChange::LayerStep& step : change.layerSteps)
        applyStep(step, true);
    if (change.symbolsAfter) {
        chart_.colorList = change.symbolsAfter->colorList;
        chart_.chrIndex = change.symbolsAfter->chrIndex;
    }
    relist();
}

} // namespace kanvo
