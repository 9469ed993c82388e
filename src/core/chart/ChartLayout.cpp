#include "core/chart/ChartLayout.h"

#include <algorithm>
#include <cmath>

#include "core/chart/ChartTexts.h"
#include "core/chart/SymbolInk.h"
#include "core/common/Rounding.h"

namespace kanvo {

namespace {

namespace texts = chart_texts;

constexpr int kCell = ChartGeometry::kCell;
constexpr int kLeft = ChartGeometry::kGridLeft;
constexpr int kNoteLeft = kLeft + 2;
constexpr int kSecondNoteLeft = kLeft + 23;
// The least room a text keeps from the canvas's left and right edges.
constexpr int kTextMargin = 10;

FontSpec noteFont() { return FontSpec{"宋体", 9.0f, false}; }

// A line of the canvas includes both of its end points; a 2-pixel pen covers the pixel before
// the line's coordinate and the coordinate itself.
void hLine(DrawList& list, int x1, int x2, int y, ColorValue color, int width = 1)
{
    const int top = y - width / 2;
    list.fillRect(static_cast<float>(x1), static_cast<float>(top), static_cast<float>(x2 - x1 + 1),
        static_cast<float>(width), color);
}

void vLine(DrawList& list, int x, int y1, int y2, ColorValue color, int width = 1)
{
    const int left = x - width / 2;
    list.fillRect(static_cast<float>(left), static_cast<float>(y1), static_cast<float>(width),
        static_cast<float>(y2 - y1 + 1), color);
}

void text(DrawList& list, int x, int y, std::string s, int font, ColorValue color = ChartLayout::kBlack)
{
    list.text(static_cast<float>(x), static_cast<float>(y), std::move(s), font, color);
}

const FontSpec kSymbolFont{"MS Sans Serif", 8.0f, false};
const FontSpec kPartSymbolFont{"MS Sans Serif", 8.0f * StitchLayerLayout::kPartSymbolShare, false};

// The cells of range that lie on a gw x gh chart.
CellRange clampedTo(const CellRange& range, const ChartModel& model)
{
    const int gw = std::clamp(model.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(model.gh, 0, ChartModel::kMaxSide);
    return {std::clamp(range.x0, 0, gw), std::clamp(range.y0, 0, gh), std::clamp(range.x1, 0, gw),
        std::clamp(range.y1, 0, gh)};
}

// One Blocks section per row of range; nothing unless the mode has colour blocks.
void addBlocks(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, int top, const CellRange& range)
{
    if (!modeHasBlocks(options.mode))
        return;
    for (int y = range.y0; y < range.y1; ++y) {
        list.beginSection(DrawStage::Blocks, y);
        for (int x = range.x0; x < range.x1; ++x) {
            const int thread = texts::threadOfStitch(model, x, y);
            if (thread < 1 || thread > static_cast<int>(threadColors.size()))
                continue;
            list.fillRect(static_cast<float>(kLeft + kCell * x + 1), static_cast<float>(top + kCell * y + 1),
                9.0f, 9.0f, threadColors[static_cast<std::size_t>(thread) - 1]);
        }
        list.endSection();
    }
}

// One Symbols section per row of range; nothing unless the mode has symbols. Empty cells have
// no symbol and draw nothing.
void addSymbols(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, int top, const CellRange& range)
{
    if (!modeHasSymbols(options.mode))
        return;
    const int sans8 = list.fontId(kSymbolFont);
    const bool blocks = modeHasBlocks(options.mode);
    for (int y = range.y0; y < range.y1; ++y) {
        list.beginSection(DrawStage::Symbols, y);
        for (int x = range.x0; x < range.x1; ++x) {
            const int thread = texts::threadOfStitch(model, x, y);
            const bool onBlock = blocks && thread >= 1 && thread <= static_cast<int>(threadColors.size());
            const ColorValue ink = ChartLayout::symbolInk(onBlock, onBlock ? threadColors[static_cast<std::size_t>(thread) - 1] : 0);
            std::string symbol = texts::symbolOfThread(model, thread);
            // "f" sits one pixel lower so that its hook stays inside the cell.
            const int drop = symbol == "f" ? 1 : 0;
            text(list, kLeft + kCell * x + 2, top + kCell * y - 2 + drop, std::move(symbol), sans8, ink);
        }
        list.endSection();
    }
}

LayerPlacement placementOn(int top)
{
    // Back stitches at least 2 pixels wide, whatever the view's zoom.
    return LayerPlacement{static_cast<float>(kLeft), static_cast<float>(top), static_cast<float>(kCell), 2.0f};
}

LayerArea areaOf(const CellRange& range)
{
    return LayerArea{static_cast<double>(range.x0), static_cast<double>(range.y0), static_cast<double>(range.x1),
        static_cast<double>(range.y1)};
}

PartFill partFillOf(ChartMode mode) { return modeHasBlocks(mode) ? PartFill::Colour : PartFill::Lines; }

// The part stitch fills over the blocks of range.
void addPartFills(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const LayerVisibility& shown, int top, const CellRange& range)
{
    if (shown.parts && !range.empty())
        StitchLayerLayout::addParts(list, model, threadColors, placementOn(top), areaOf(range), partFillOf(options.mode));
}

// Over the symbols of range: part stitch symbols, back stitches, knots and beads.
void addUpperLayers(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const LayerVisibility& shown, int top, const CellRange& range)
{
    if (range.empty())
        return;
    const LayerPlacement place = placementOn(top);
    const LayerArea area = areaOf(range);
    if (shown.parts && modeHasSymbols(options.mode))
        StitchLayerLayout::addPartSymbols(list, model, threadColors, place, area, partFillOf(options.mode),
            list.fontId(kPartSymbolFont));
    if (shown.backs)
        StitchLayerLayout::addBackStitches(list, model, threadColors, place, area, false);
    if (shown.ornaments)
        StitchLayerLayout::addOrnaments(list, model, threadColors, place, area);
}

} // namespace

LegendGeometry LegendGeometry::forChart(int gw, int maxColor)
{
    LegendGeometry g;
    g.columnsPerBand = std::max(2, (kCell * std::max(gw, 0)) / kCellWidth - 1);
    g.entriesPerBand = g.columnsPerBand - 1;
    const int entries = std::max(maxColor, 0);
    g.bands = (entries + g.entriesPerBand - 1) / g.entriesPerBand;
    g.rows = 3 * g.bands;
    return g;
}

ColorValue ChartLayout::swatchColor(const ThreadEntry& entry, int colorBit)
{
    const ColorValue c = entry.color;
    if (colorBit != 2 && colorBit != 4)
        return c;
    if (c == 0 || (greenOf(c) == 255 && blueOf(c) == 255))
        return c;
    const int grey = roundHalfEvenInt((redOf(c) + greenOf(c) + blueOf(c)) / 3.0);
    return makeColor(grey, grey, grey);
}

FontSpec ChartLayout::titleFont() { return FontSpec{"宋体", 14.0f, true}; }
FontSpec ChartLayout::subtitleFont() { return FontSpec{"宋体", 9.0f, false}; }

ColorValue ChartLayout::symbolInk(bool onBlock, ColorValue block)
{
    return onBlock && wantsWhiteSymbol(block) ? kWhite : kBlack;
}

std::optional<CellPos> ChartLayout::cellAt(double x, double y) const
{
    const int column = static_cast<int>(std::floor((x - kLeft) / kCell));
    const int row = static_cast<int>(std::floor((y - geometry_.gridTop) / kCell));
    if (x < kLeft || y < geometry_.gridTop || column >= gw_ || row >= gh_)
        return std::nullopt;
    return CellPos{column, row};
}

std::optional<int> ChartLayout::legendEntryAt(double x, double y) const
{
    const LegendGeometry& lg = geometry_.legend;
    if (x < kLeft || y < geometry_.legendTop || lg.entriesPerBand < 1)
        return std::nullopt;
    const int column = static_cast<int>(std::floor((x - kLeft) / LegendGeometry::kCellWidth));
    const int row = static_cast<int>(std::floor((y - geometry_.legendTop) / LegendGeometry::kCellHeight));
    if (column < 1 || column > lg.entriesPerBand || row >= lg.rows)
        return std::nullopt;
    const int entry = (row / 3) * lg.entriesPerBand + column;
    if (entry > maxColor_)
        return std::nullopt;
    return entry;
}

ChartLayout ChartLayout::build(const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const TextMetrics& metrics)
{
    return build(model, threadColors, options, metrics, CellRange{0, 0, ChartModel::kMaxSide, ChartModel::kMaxSide});
}

ChartLayout ChartLayout::buildFrame(const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const TextMetrics& metrics)
{
    return build(model, threadColors, options, metrics, CellRange{});
}

DrawList ChartLayout::cells(const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const CellRange& range, const LayerVisibility& shown) const
{
    DrawList list(list_.unitsPerPoint());
    // The same font table as the frame's, so that one painter draws both without re-reading fonts.
    for (const FontSpec& font : list_.fonts())
        (void)list.fontId(font);
    const CellRange inside = clampedTo(range, model);
    // A block and a symbol a cell: growing the list as it fills would move it again and again.
    list.reserve(2 * static_cast<std::size_t>(std::max(inside.x1 - inside.x0, 0)) * static_cast<std::size_t>(std::max(inside.y1 - inside.y0, 0)));
    addBlocks(list, model, threadColors, options, geometry_.gridTop, inside);
    addPartFills(list, model, threadColors, options, shown, geometry_.gridTop, inside);
    addSymbols(list, model, threadColors, options, geometry_.gridTop, inside);
    addUpperLayers(list, model, threadColors, options, shown, geometry_.gridTop, inside);
    return list;
}

CellRange ChartLayout::cellsIn(float left, float top, float right, float bottom) const
{
    const auto floorCell = [](float v) { return static_cast<int>(std::floor(v / kCell)); };
    const auto ceilCell = [](float v) { return static_cast<int>(std::ceil(v / kCell)); };
    const float gridTop = static_cast<float>(geometry_.gridTop);
    // A symbol's line box reaches a little above and below its cell: one cell more on each side.
    return {std::clamp(floorCell(left - kLeft) - 1, 0, gw_), std::clamp(floorCell(top - gridTop) - 1, 0, gh_),
        std::clamp(ceilCell(right - kLeft) + 1, 0, gw_), std::clamp(ceilCell(bottom - gridTop) + 1, 0, gh_)};
}

ChartLayout ChartLayout::build(const ChartModel& model, std::span<const ColorValue> threadColors,
    const ChartOptions& options, const TextMetrics& metrics, const CellRange& cellRange)
{
    ChartLayout layout;
    ChartGeometry& g = layout.geometry_;
    DrawList& list = layout.list_;

    const int gw = std::clamp(model.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(model.gh, 0, ChartModel::kMaxSide);
    const CellRange all = clampedTo(cellRange, model);
    const int blockW = std::max(options.blockW, 1);
    const int blockH = std::max(options.blockH, 1);
    const int maxColor = std::clamp(model.maxColor, 0, static_cast<int>(model.threadList.size()));
    layout.gw_ = gw;
    layout.gh_ = gh;
    layout.maxColor_ = maxColor;

    g.legend = LegendGeometry::forChart(gw, maxColor);
    const LegendGeometry& lg = g.legend;
    const int legendRight = kLeft + LegendGeometry::kCellWidth * lg.columnsPerBand;
    const FontSpec tFont = titleFont();
    const FontSpec sFont = subtitleFont();
    const std::string title = texts::title(model);
    const std::string subtitle = texts::subtitle(model);
    const std::string totalNote = texts::totalNote(model);
    const std::string secondNote = texts::secondNote();
    // The notes are about as long as a 50-stitch chart is wide: a narrower chart's canvas grows
    // to hold them (and a title or subtitle longer than the chart), so that no text is cut.
    const auto rightEnd = [](int left, float width) { return left + static_cast<int>(std::ceil(width)) + kTextMargin; };
    const float titleWidth = metrics.width(title, tFont);
    const int textsRight = std::max({rightEnd(kTextMargin, titleWidth), rightEnd(kLeft, metrics.width(subtitle, sFont)),
        rightEnd(kNoteLeft, metrics.width(totalNote, noteFont())),
        rightEnd(kSecondNoteLeft, metrics.width(secondNote, noteFont()))});
    g.canvasWidth = std::max({kCell * gw + 83, legendRight + 43, textsRight});
    g.canvasHeight = kCell * gh + LegendGeometry::kCellHeight * lg.rows + 260;

    const std::size_t cells = static_cast<std::size_t>(all.x1 - all.x0) * static_cast<std::size_t>(all.y1 - all.y0);
    list.reserve(2 * cells + 8 * static_cast<std::size_t>(gw + gh) + 4 * static_cast<std::size_t>(maxColor) + 64);

    const int arial8 = list.fontId(FontSpec{"Arial", 8.0f, false});
    const int sans8 = list.fontId(kSymbolFont);
    // In the frame's font table too, so that a view painting the frame and its cells with one
    // painter keeps one glyph cache.
    (void)list.fontId(kPartSymbolFont);
    const int song9 = list.fontId(noteFont());

    // Title block: the title centred, the subtitle below it, the grid below the subtitle's next
    // line.
    const int titleHeight = roundHalfEvenInt(metrics.height(tFont));
    const int subtitleHeight = roundHalfEvenInt(metrics.height(sFont));
    g.titleX = roundHalfEvenInt((g.canvasWidth - titleWidth) / 2.0);
    g.subtitleY = ChartGeometry::kTitleTop + titleHeight + 8;
    g.gridTop = g.subtitleY + subtitleHeight + subtitleHeight + 6;
    g.legendTop = kCell * gh + g.gridTop + 58;
    g.legendBottom = g.legendTop + LegendGeometry::kCellHeight * (lg.rows + 2);

    list.beginSection(DrawStage::Title);
    text(list, g.titleX, ChartGeometry::kTitleTop, title, list.fontId(tFont));
    text(list, kLeft, g.subtitleY, subtitle, list.fontId(sFont));
    list.endSection();

    const int top = g.gridTop;
    const int gridRight = kLeft + kCell * gw;
    const int gridBottom = top + kCell * gh;

    // Thin lines: the horizontal ones reach into the row-number margin, the vertical ones run
    // on between the column numbers; the right-hand border stops at the grid.
    list.beginSection(DrawStage::GridLines);
    for (int i = 0; i <= gh; ++i)
        hLine(list, 12, gridRight, top + kCell * i, kThinLine);
    for (int j = 0; j < gw; ++j)
        vLine(list, kLeft + kCell * j, top, gridBottom + 40, kThinLine);
    vLine(list, gridRight, top, gridBottom, kThinLine);
    list.endSection();

    addBlocks(list, model, threadColors, options, top, all);
    addPartFills(list, model, threadColors, options, LayerVisibility{}, top, all);

    list.beginSection(DrawStage::RowNumbers);
    for (int y = 0; y < gh; ++y)
        text(list, 22, top - 1 + kCell * y, texts::zeroPadded(y % blockH + 1, 2), arial8);
    list.endSection();

    list.beginSection(DrawStage::ColumnLetters);
    int letters = 0;
    for (int j = blockW; j <= gw - 1; j += blockW)
        text(list, kLeft + kCell * j - 5, gridBottom + 42, texts::columnLetter(letters++), arial8, kLetterRed);
    list.endSection();

    list.beginSection(DrawStage::ColumnNumbers);
    for (int j = 0; j < gw; ++j) {
        const std::string digits = texts::zeroPadded(j + 1, 3);
        for (int d = 0; d < 3; ++d)
            text(list, kLeft + kCell * j + 2, gridBottom + 2 + 10 * d, std::string(1, digits[static_cast<std::size_t>(d)]),
                arial8);
    }
    list.endSection();

    // Thick block lines; the outer border stays thin.
    list.beginSection(DrawStage::BlockLines);
    for (int q = blockH; q <= gh - 1; q += blockH)
        hLine(list, kLeft, gridRight, top + kCell * q, kThickLine, 2);
    for (int j = blockW; j <= gw - 1; j += blockW)
        vLine(list, kLeft + kCell * j, top, gridBottom, kThickLine, 2);
    list.endSection();

    // Legend ruling and band labels.
    constexpr int cw = LegendGeometry::kCellWidth;
    constexpr int ch = LegendGeometry::kCellHeight;
    list.beginSection(DrawStage::Legend);
    for (int r = 0; r <= lg.rows; ++r)
        hLine(list, kLeft, legendRight, g.legendTop + ch * r, kThinLine);
    for (int c = 0; c <= lg.columnsPerBand; ++c)
        vLine(list, kLeft + cw * c, g.legendTop, g.legendTop + ch * lg.rows, kThinLine);
    for (int b = 0; b < lg.bands; ++b) {
        const int y0 = g.legendTop + ch * 3 * b;
        text(list, kLeft + 4, y0 + 1, texts::symbolLabel(), song9);
        text(list, kLeft + 4, y0 + ch + 1, texts::numberLabel(), song9);
        text(list, kLeft + 4, y0 + 2 * ch + 1, texts::countLabel(), song9);
    }
    list.endSection();

    list.beginSection(DrawStage::LegendEntries);
    for (int n = 1; n <= maxColor; ++n) {
        const ThreadEntry& entry = model.threadList[static_cast<std::size_t>(n) - 1];
        const int band = (n - 1) / lg.entriesPerBand;
        const int column = 1 + (n - 1) % lg.entriesPerBand;
        const int x0 = kLeft + cw * column;
        const int y0 = g.legendTop + ch * 3 * band;
        list.fillRect(static_cast<float>(x0 + 13), static_cast<float>(y0 + 1), 23.0f, 11.0f,
            swatchColor(entry, options.colorBit));
        text(list, x0 + 4, y0 + 1, texts::symbolOfThread(model, entry.index), sans8);
        text(list, x0 + 4, y0 + ch + 1, entry.name, sans8);
        text(list, x0 + 4, y0 + 2 * ch + 1, texts::signedNumber(entry.count), sans8);
    }
    list.endSection();

    list.beginSection(DrawStage::Notes);
    text(list, kNoteLeft, g.legendBottom + 18, totalNote, song9);
    text(list, kSecondNoteLeft, g.legendBottom + 36, secondNote, song9);
    // Below the grid's right part; a chart under eight stitches wide would push it off the left.
    text(list, std::max(kCell * gw + kLeft - 120, kTextMargin), g.legendBottom + 48, texts::kFooter, arial8);
    list.endSection();

    addSymbols(list, model, threadColors, options, top, all);
    addUpperLayers(list, model, threadColors, options, LayerVisibility{}, top, all);
    return layout;
}

} // namespace kanvo
