#include "core/pattern/PatternLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <tuple>

#include "core/chart/ChartTexts.h"
#include "core/chart/StitchLayerLayout.h"
#include "core/chart/SymbolInk.h"
#include "core/common/Translation.h"
#include "core/palette/ThreadTable.h"
#include "core/pattern/SkeinEstimate.h"
#include "core/stitch/StitchTotals.h"

namespace kanvo {

namespace {

constexpr float kMargin = 10.0f;
constexpr float kMmPerPoint = 25.4f / 72.0f;

// Chart page bands around the grid, in millimetres.
constexpr float kHeaderBand = 20.0f;  // header line and page map above the grid
constexpr float kNumberBand = 4.5f;   // column numbers above, row numbers left of the grid
constexpr float kArrowBand = 2.6f;    // centre marks on every edge
constexpr float kFooterBand = 6.0f;   // the overlap note below the grid
constexpr float kMapWidth = 28.0f;
constexpr float kMapHeight = 16.0f;

constexpr float kKeyRow = 5.5f;
constexpr float kKeyTop = 30.0f;
constexpr float kKeyFootnote = 22.0f;

constexpr ColorValue kBlack = makeColor(0, 0, 0);
constexpr ColorValue kWhite = makeColor(255, 255, 255);
constexpr ColorValue kThinLine = makeColor(150, 150, 150);
constexpr ColorValue kBlockLine = makeColor(40, 40, 40);
constexpr ColorValue kCentreMark = makeColor(200, 30, 30);
constexpr ColorValue kOverlapGrey = makeColor(140, 140, 140);
constexpr ColorValue kEmptyOverlap = makeColor(215, 215, 215);
constexpr ColorValue kMapFill = makeColor(255, 200, 200);
constexpr ColorValue kOverlapEdge = makeColor(30, 90, 220);

constexpr float kThinWidth = 0.1f;
constexpr float kBlockWidth = 0.35f;

FontSpec font(float points) { return FontSpec{PatternLayout::kFontFamily, points, false}; }

// A light tint keeps a colour recognisable while the black symbols stay easy to read.
ColorValue tintOf(ColorValue color) { return StitchLayerLayout::tint(color); }

std::string oneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Halves: whole numbers bare, a quarter's half as ".5"; nothing for none.
std::string halvesText(double halves)
{
    if (halves <= 0.0)
        return {};
    return halves == std::floor(halves) ? std::to_string(static_cast<long>(halves)) : oneDecimal(halves);
}

// A line of the key: a thread of the full and part stitches, a section heading, a back stitch
// thread or a knot or bead thread (index into its list).
struct KeyLine {
    enum Kind { Thread, BackHeading, Back, OrnamentHeading, Ornament } kind = Thread;
    int index = 0;
};

struct PageFrame {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// The area a chart page's grid may fill.
PageFrame gridArea(float pageWidth, float pageHeight)
{
    return PageFrame{kMargin + kNumberBand + kArrowBand, kMargin + kHeaderBand + kNumberBand + kArrowBand,
        pageWidth - kMargin - kArrowBand, pageHeight - kMargin - kFooterBand - kArrowBand};
}

void outline(DrawList& list, float x, float y, float w, float h, ColorValue color, float width)
{
    list.line(x, y, x + w, y, color, width);
    list.line(x + w, y, x + w, y + h, color, width);
    list.line(x + w, y + h, x, y + h, color, width);
    list.line(x, y + h, x, y, color, width);
}

} // namespace

class PatternBuilder {
public:
    PatternBuilder(const ChartModel& model, const ThreadTable& table, const PatternOptions& options, PatternLayout& out)
        : model_(model), table_(table), options_(options), out_(out)
    {
    }

    void build();

private:
    void countStitches();
    void cover();
    void keyPages();
    void chartPage(const PatternPage& page);
    void pageMap(DrawList& list, float x, float y, float w, float h, int current, bool numbers);
    [[nodiscard]] ColorValue threadColor(int thread) const { return table_.colorOf(thread); }
    [[nodiscard]] ColorValue cellFill(ColorValue color) const
    {
        return options_.style == PatternStyle::Tint ? tintOf(color) : color;
    }
    [[nodiscard]] int chartPageCount() const { return static_cast<int>(out_.paging_.pages.size()); }
    [[nodiscard]] int symbolPosition(int thread) const
    {
        const int p = thread < static_cast<int>(model_.chrIndex.size()) ? model_.chrIndex[static_cast<std::size_t>(thread)] : 0;
        return p >= 1 ? p : ChartModel::kThreadSlots + 1;
    }
    void keyLine(DrawList& list, const KeyLine& line, float top, bool withHalves);
    [[nodiscard]] LayerPlacement keyPlacement() const { return LayerPlacement{0, 0, out_.geometry_.cell, 0}; }

    const ChartModel& model_;
    const ThreadTable& table_;
    const PatternOptions& options_;
    PatternLayout& out_;
    int gw_ = 0;
    int gh_ = 0;
    int keyRowsPerPage_ = 1;
    float keyFootnote_ = kKeyFootnote;
    std::vector<KeyLine> keyLines_;
    std::vector<ColorValue> colors_; // colors_[t - 1]: the colour of thread t
};

void PatternBuilder::build()
{
    gw_ = std::clamp(model_.gw, 0, ChartModel::kMaxSide);
    gh_ = std::clamp(model_.gh, 0, ChartModel::kMaxSide);
    if (static_cast<int>(model_.colorIndex.size()) < ChartModel::kMatrixSide * ChartModel::kMatrixSide)
        gw_ = gh_ = 0;
    out_.geometry_ = PatternLayout::geometryFor(gw_, gh_, options_);
    out_.paging_ = PatternPaging::build(gw_, gh_, out_.geometry_.columnsPerPage, out_.geometry_.rowsPerPage,
        options_.overlap);
    out_.title_ = chart_texts::title(model_);
    colors_.resize(ThreadTable::kEntries);
    for (int t = 1; t <= ThreadTable::kEntries; ++t)
        colors_[static_cast<std::size_t>(t) - 1] = threadColor(t);
    countStitches();
    const PatternGeometry& g = out_.geometry_;
    // Two more lines of notes explain how part and back stitches count.
    const bool layerNotes = !model_.layers.parts.empty() || !model_.layers.backs.empty();
    keyFootnote_ = kKeyFootnote + (layerNotes ? 9.0f : 0.0f);
    keyRowsPerPage_ = std::max(1, static_cast<int>((g.pageHeight - kMargin - keyFootnote_ - kKeyTop) / kKeyRow));
    for (std::size_t i = 0; i < out_.key_.size(); ++i)
        keyLines_.push_back(KeyLine{KeyLine::Thread, static_cast<int>(i)});
    if (!out_.backKey_.empty())
        keyLines_.push_back(KeyLine{KeyLine::BackHeading, 0});
    for (std::size_t i = 0; i < out_.backKey_.size(); ++i)
        keyLines_.push_back(KeyLine{KeyLine::Back, static_cast<int>(i)});
    if (!out_.ornamentKey_.empty())
        keyLines_.push_back(KeyLine{KeyLine::OrnamentHeading, 0});
    for (std::size_t i = 0; i < out_.ornamentKey_.size(); ++i)
        keyLines_.push_back(KeyLine{KeyLine::Ornament, static_cast<int>(i)});
    const int rows = static_cast<int>(keyLines_.size());
    out_.keyPages_ = std::max(1, (rows + keyRowsPerPage_ - 1) / keyRowsPerPage_);
    cover();
    keyPages();
    for (const PatternPage& page : out_.paging_.pages)
        chartPage(page);
}

void PatternBuilder::countStitches()
{
    std::vector<int> counts(ThreadTable::kEntries + 1, 0);
    // First appearance orders threads that have no symbol position.
    std::vector<int> firstSeen;
    for (int y = 0; y < gh_; ++y) {
        for (int x = 0; x < gw_; ++x) {
            const int thread = model_.threadAt(x, y);
            if (thread == ChartModel::kNoStitch || !ThreadTable::isEntry(thread))
                continue;
            if (counts[static_cast<std::size_t>(thread)]++ == 0)
                firstSeen.push_back(thread);
            ++out_.stitches_;
        }
    }
    // Part stitches count as halves; a thread used only by them is a thread of the key too.
    std::vector<double> halves(ThreadTable::kEntries + 1, 0.0);
    const std::vector<ThreadLayerTotals> totals = layerTotals(model_.layers);
    for (const ThreadLayerTotals& t : totals) {
        if (t.partCorners == 0 || !ThreadTable::isEntry(t.thread))
            continue;
        if (counts[static_cast<std::size_t>(t.thread)] == 0)
            firstSeen.push_back(t.thread);
        halves[static_cast<std::size_t>(t.thread)] = t.halves();
    }
    const auto bySymbol = [this](int a, int b) { return symbolPosition(a) < symbolPosition(b); };
    std::stable_sort(firstSeen.begin(), firstSeen.end(), bySymbol);
    const int fabric = options_.fabricCount;
    for (const int thread : firstSeen) {
        const int stitches = counts[static_cast<std::size_t>(thread)];
        const double half = halves[static_cast<std::size_t>(thread)];
        // A half stitch lays half a cross's thread.
        out_.key_.push_back(KeyRow{thread, std::string(model_.symbolOf(thread)), threadColor(thread),
            table_.dmc(thread).cindex, stitches, SkeinEstimate::skeins(stitches + half / 2.0, fabric), half});
    }

    std::vector<ThreadLayerTotals> others;
    for (const ThreadLayerTotals& t : totals)
        if (ThreadTable::isEntry(t.thread))
            others.push_back(t);
    std::stable_sort(others.begin(), others.end(),
        [&](const ThreadLayerTotals& a, const ThreadLayerTotals& b) { return bySymbol(a.thread, b.thread); });
    for (const ThreadLayerTotals& t : others)
        if (t.backStitches > 0)
            out_.backKey_.push_back(BackKeyRow{t.thread, threadColor(t.thread), table_.dmc(t.thread).cindex,
                t.backLength * 2.54 / std::max(fabric, 1),
                SkeinEstimate::skeinsFor(SkeinEstimate::backStitchMetres(t.backLength, fabric))});
    for (const OrnamentKind kind : {OrnamentKind::Knot, OrnamentKind::Bead})
        for (const ThreadLayerTotals& t : others)
            if (const int n = kind == OrnamentKind::Knot ? t.knots : t.beads; n > 0)
                out_.ornamentKey_.push_back(
                    OrnamentKeyRow{t.thread, kind, threadColor(t.thread), table_.dmc(t.thread).cindex, n});
}

void PatternBuilder::pageMap(DrawList& list, float x, float y, float w, float h, int current, bool numbers)
{
    if (gw_ == 0 || gh_ == 0)
        return;
    const float scale = std::min(w / static_cast<float>(gw_), h / static_cast<float>(gh_));
    const float left = x + (w - scale * static_cast<float>(gw_)) / 2.0f;
    const float top = y + (h - scale * static_cast<float>(gh_)) / 2.0f;
    const int fontId = list.fontId(font(numbers ? 9.0f : 5.0f));
    for (const PatternPage& page : out_.paging_.pages) {
        // Each page's own cells, without the overlap it repeats.
        const float px = left + scale * static_cast<float>(page.columns.begin + page.overlapColumns);
        const float py = top + scale * static_cast<float>(page.rows.begin + page.overlapRows);
        const float pw = scale * static_cast<float>(page.columns.end - page.columns.begin - page.overlapColumns);
        const float ph = scale * static_cast<float>(page.rows.end - page.rows.begin - page.overlapRows);
        if (page.number == current)
            list.fillRect(px, py, pw, ph, kMapFill);
        outline(list, px, py, pw, ph, kBlack, 0.15f);
        if (numbers)
            list.text(px + pw / 2.0f, py + ph / 2.0f, std::to_string(page.number), fontId, kBlack, TextAnchor::Centre);
    }
}

void PatternBuilder::cover()
{
    const PatternGeometry& g = out_.geometry_;
    DrawList& list = out_.pages_.emplace_back(kMmPerPoint);
    list.beginSection(DrawStage::Title);
    list.text(g.pageWidth / 2.0f, kMargin + 6.0f, out_.title_, list.fontId(font(20.0f)), kBlack, TextAnchor::Centre);

    // The finished piece: one box per run of equal stitches in a row, blank where nothing is stitched.
    const float boxTop = kMargin + 16.0f;
    const float boxWidth = g.pageWidth - 2.0f * kMargin;
    const float boxHeight = g.pageHeight * 0.45f;
    if (gw_ > 0 && gh_ > 0) {
        const float s = std::min(boxWidth / static_cast<float>(gw_), boxHeight / static_cast<float>(gh_));
        const float left = kMargin + (boxWidth - s * static_cast<float>(gw_)) / 2.0f;
        for (int y = 0; y < gh_; ++y) {
            for (int x = 0; x < gw_;) {
                const int thread = model_.threadAt(x, y);
                int end = x + 1;
                while (end < gw_ && model_.threadAt(end, y) == thread)
                    ++end;
                if (thread != ChartModel::kNoStitch)
                    // A hair wider, so that no seam shows between neighbouring boxes.
                    list.fillRect(left + s * static_cast<float>(x), boxTop + s * static_cast<float>(y),
                        s * static_cast<float>(end - x) + 0.02f, s + 0.02f, threadColor(thread));
                x = end;
            }
        }
        list.endSection();
        const LayerPlacement place{left, boxTop, s, 0.0f};
        const LayerArea whole{0.0, 0.0, static_cast<double>(gw_), static_cast<double>(gh_)};
        StitchLayerLayout::addParts(list, model_, colors_, place, whole, PartFill::Colour);
        StitchLayerLayout::addBackStitches(list, model_, colors_, place, whole, false);
        StitchLayerLayout::addOrnaments(list, model_, colors_, place, whole);
        list.beginSection(DrawStage::Title);
        outline(list, left, boxTop, s * static_cast<float>(gw_), s * static_cast<float>(gh_), kThinLine, 0.2f);
    }

    const int textFont = list.fontId(font(11.0f));
    float y = boxTop + boxHeight + 8.0f;
    const double fabric = std::max(options_.fabricCount, 1);
    const double widthInches = gw_ / fabric;
    const double heightInches = gh_ / fabric;
    const std::string lines[] = {
        withArgs(translate("PatternLayout", "尺寸：%1 × %2 针"), {std::to_string(gw_), std::to_string(gh_)}),
        withArgs(translate("PatternLayout", "在 %1 CT 绣布上：%2 × %3 cm（%4 × %5 英寸）"),
            {std::to_string(options_.fabricCount), oneDecimal(widthInches * 2.54), oneDecimal(heightInches * 2.54),
                oneDecimal(widthInches), oneDecimal(heightInches)}),
        withArgs(translate("PatternLayout", "绣线：%1 种    针数：%2"),
            {std::to_string(out_.key_.size()), std::to_string(out_.stitches_)}),
        withArgs(translate("PatternLayout", "图纸：封面 1 页，绣线表 %1 页，绣图 %2 页"),
            {std::to_string(out_.keyPages_), std::to_string(chartPageCount())}),
    };
    for (const std::string& line : lines) {
        list.text(kMargin + 10.0f, y, line, textFont);
        y += 6.5f;
    }
    y += 2.0f;
    list.text(kMargin + 10.0f, y, translate("PatternLayout", "分页图"), textFont);
    y += 7.0f;
    pageMap(list, kMargin + 10.0f, y, boxWidth - 20.0f, g.pageHeight - kMargin - y, 0, true);
    list.endSection();
}

namespace {

// Column positions of the key from its left edge: symbol cell, swatch, thread number, the kind of
// a knot or bead, stitches (right-aligned), halves and skeins.
constexpr float kSwatchX = 9.0f;
constexpr float kNumberX = 26.0f;
constexpr float kKindX = 50.0f;
constexpr float kStitchesRight = 80.0f;
constexpr float kColumnStep = 20.0f;
constexpr float kKeyCell = 4.4f;

} // namespace

void PatternBuilder::keyLine(DrawList& list, const KeyLine& line, float top, bool withHalves)
{
    const float left = kMargin + 5.0f;
    const float right = out_.geometry_.pageWidth - kMargin - 5.0f;
    const float stitchesRight = left + kStitchesRight;
    const float skeinsRight = stitchesRight + kColumnStep * (withHalves ? 2.0f : 1.0f);
    const std::string brand = model_.whichType.empty() ? "DMC" : model_.whichType;
    const int textFont = list.fontId(font(9.0f));
    const float middle = top + kKeyRow / 2.0f - 0.5f;
    const float textTop = middle - 1.7f;
    const auto number = [&](int n) { list.text(left + kNumberX, textTop, brand + " " + std::to_string(n), textFont); };
    const auto rightText = [&](float x, const std::string& text) {
        list.text(x, textTop, text, textFont, kBlack, TextAnchor::TopRight);
    };
    const auto heading = [&](const std::string& title, const std::string& column, bool skeins) {
        list.text(left, textTop + 0.6f, title, textFont);
        rightText(stitchesRight, column);
        if (skeins)
            rightText(skeinsRight, translate("PatternLayout", "支数"));
        list.line(left, top + kKeyRow - 0.5f, right, top + kKeyRow - 0.5f, kBlack, 0.25f);
    };

    switch (line.kind) {
    case KeyLine::Thread: {
        const KeyRow& row = out_.key_[static_cast<std::size_t>(line.index)];
        const ColorValue fill = cellFill(row.color);
        list.fillRect(left, middle - kKeyCell / 2.0f, kKeyCell, kKeyCell, fill);
        outline(list, left, middle - kKeyCell / 2.0f, kKeyCell, kKeyCell, kThinLine, kThinWidth);
        list.text(left + kKeyCell / 2.0f, middle, row.symbol, list.fontId(font(kKeyCell * 0.72f / kMmPerPoint)),
            wantsWhiteSymbol(fill) ? kWhite : kBlack, TextAnchor::Centre);
        list.fillRect(left + kSwatchX, middle - 2.0f, 13.0f, 4.0f, row.color);
        number(row.number);
        rightText(stitchesRight, std::to_string(row.stitches));
        if (withHalves)
            rightText(stitchesRight + kColumnStep, halvesText(row.halves));
        rightText(skeinsRight, std::to_string(row.skeins));
        break;
    }
    case KeyLine::BackHeading:
        heading(translate("PatternLayout", "回针"), translate("PatternLayout", "长度"), true);
        return;
    case KeyLine::Back: {
        const BackKeyRow& row = out_.backKey_[static_cast<std::size_t>(line.index)];
        // The line as the chart pages draw it, so that a reader matches it by its look.
        StitchLayerLayout::addBackSample(list, left + 0.5f, middle, left + kSwatchX + 13.0f, middle, row.color,
            keyPlacement());
        number(row.number);
        rightText(stitchesRight, withArgs(translate("PatternLayout", "%1 cm"), {oneDecimal(row.lengthCm)}));
        rightText(skeinsRight, std::to_string(row.skeins));
        break;
    }
    case KeyLine::OrnamentHeading:
        heading(translate("PatternLayout", "法式结和珠子"), translate("PatternLayout", "数量"), false);
        return;
    case KeyLine::Ornament: {
        const OrnamentKeyRow& row = out_.ornamentKey_[static_cast<std::size_t>(line.index)];
        StitchLayerLayout::addOrnamentAt(list, left + kKeyCell / 2.0f, middle, row.kind, row.color, keyPlacement());
        number(row.number);
        list.text(left + kKindX, textTop,
            row.kind == OrnamentKind::Knot ? translate("PatternLayout", "法式结") : translate("PatternLayout", "珠子"),
            textFont);
        rightText(stitchesRight, std::to_string(row.count));
        break;
    }
    }
    list.line(left, top + kKeyRow - 0.5f, right, top + kKeyRow - 0.5f, kThinLine, kThinWidth);
}

void PatternBuilder::keyPages()
{
    const PatternGeometry& g = out_.geometry_;
    const int rowsPerPage = keyRowsPerPage_;
    const int rows = static_cast<int>(keyLines_.size());
    const float left = kMargin + 5.0f;
    const float right = g.pageWidth - kMargin - 5.0f;
    const bool withHalves = !model_.layers.parts.empty();
    const float stitchesRight = left + kStitchesRight;

    for (int p = 0; p < out_.keyPages_; ++p) {
        DrawList& list = out_.pages_.emplace_back(kMmPerPoint);
        list.beginSection(DrawStage::Legend);
        const int heading = list.fontId(font(14.0f));
        const int textFont = list.fontId(font(9.0f));
        const int noteFont = list.fontId(font(7.5f));
        const std::string title = out_.keyPages_ > 1
            ? withArgs(translate("PatternLayout", "绣线表（%1/%2）"),
                {std::to_string(p + 1), std::to_string(out_.keyPages_)})
            : translate("PatternLayout", "绣线表");
        list.text(left, kMargin, title, heading);
        const float headY = kKeyTop - 6.0f;
        list.text(left, headY, translate("PatternLayout", "符号"), textFont);
        list.text(left + kSwatchX + 2.0f, headY, translate("PatternLayout", "颜色"), textFont);
        list.text(left + kNumberX, headY, translate("PatternLayout", "线号"), textFont);
        list.text(stitchesRight, headY, translate("PatternLayout", "针数"), textFont, kBlack, TextAnchor::TopRight);
        if (withHalves)
            list.text(stitchesRight + kColumnStep, headY, translate("PatternLayout", "半针"), textFont, kBlack,
                TextAnchor::TopRight);
        list.text(stitchesRight + kColumnStep * (withHalves ? 2.0f : 1.0f), headY, translate("PatternLayout", "支数"),
            textFont, kBlack, TextAnchor::TopRight);
        list.line(left, kKeyTop - 1.0f, right, kKeyTop - 1.0f, kBlack, 0.25f);

        const int first = p * rowsPerPage;
        const int last = std::min(rows, first + rowsPerPage);
        for (int i = first; i < last; ++i)
            keyLine(list, keyLines_[static_cast<std::size_t>(i)], kKeyTop + kKeyRow * static_cast<float>(i - first),
                withHalves);

        float y = g.pageHeight - kMargin - keyFootnote_ + 4.0f;
        const int fabric = options_.fabricCount;
        const double perStitchMm = SkeinEstimate::metres(1000, fabric) / (1.0 + SkeinEstimate::kWaste);
        std::vector<std::string> notes = {
            withArgs(translate("PatternLayout",
                         "注：支数为估算。每针用线 = (2√2 + 2) × 格宽，格宽 = 25.4 mm ÷ 绣布 CT 数（本图 %1 CT，每针约 %2 mm）；"),
                {std::to_string(fabric), oneDecimal(perStitchMm)}),
            translate("PatternLayout", "两股线绣，每支 8 m 六股线可分出 3 × 8 m = 24 m 双股线；另加 20% 损耗（线头、起针、收针）。"),
            translate("PatternLayout", "支数 = 针数 × 每针用线 × 1.2 ÷ 24 m，向上取整。针数只计需要绣的格子，空格不计。"),
        };
        if (keyFootnote_ > kKeyFootnote) {
            notes.push_back(translate("PatternLayout", "半针计半个十字的用线，四分之一针计四分之一个十字（半针一栏以半针计）。"));
            notes.push_back(translate("PatternLayout", "回针用线 = 回针总长 × 2（正面和背面）× 1.2；法式结和珠子不计入支数。"));
        }
        for (const std::string& note : notes) {
            list.text(left, y, note, noteFont);
            y += 4.5f;
        }
        list.endSection();
    }
}

void PatternBuilder::chartPage(const PatternPage& page)
{
    const PatternGeometry& g = out_.geometry_;
    DrawList& list = out_.pages_.emplace_back(kMmPerPoint);
    const float c = g.cell;
    const float left = g.gridLeft;
    const float top = g.gridTop;
    const float right = left + c * static_cast<float>(page.columns.size());
    const float bottom = top + c * static_cast<float>(page.rows.size());

    list.beginSection(DrawStage::Title);
    const int headerFont = list.fontId(font(10.0f));
    list.text(kMargin, kMargin, PatternPaging::header(page, chartPageCount()), headerFont);
    list.text(kMargin, kMargin + 6.0f, out_.title_, list.fontId(font(8.0f)));
    pageMap(list, g.pageWidth - kMargin - kMapWidth, kMargin, kMapWidth, kMapHeight, page.number, false);
    list.endSection();

    // The overlap repeats the neighbouring page's cells: everything stitched there is greyed.
    const LayerFade fade{LayerArea{static_cast<double>(page.columns.begin + page.overlapColumns),
                             static_cast<double>(page.rows.begin + page.overlapRows),
                             static_cast<double>(page.columns.end), static_cast<double>(page.rows.end)},
        kOverlapGrey, 0.6f};
    // Cells row by row: the fills (one box per run of equal fills), then the symbols centred on
    // them. Only cells with a stitch get either; empty cells of the overlap are shaded.
    const int symbolFont = list.fontId(font(c * 0.72f / kMmPerPoint));
    std::vector<std::optional<ColorValue>> fills(static_cast<std::size_t>(page.columns.size()));
    for (int y = page.rows.begin; y < page.rows.end; ++y) {
        list.beginSection(DrawStage::Symbols, y);
        const bool overlapRow = y < page.rows.begin + page.overlapRows;
        const float cy = top + c * static_cast<float>(y - page.rows.begin);
        for (int x = page.columns.begin; x < page.columns.end; ++x) {
            const bool overlap = overlapRow || x < page.columns.begin + page.overlapColumns;
            const int thread = model_.threadAt(x, y);
            std::optional<ColorValue>& fill = fills[static_cast<std::size_t>(x - page.columns.begin)];
            if (thread == ChartModel::kNoStitch)
                fill = overlap ? std::optional(kEmptyOverlap) : std::nullopt;
            else
                fill = overlap ? fade.faded(cellFill(threadColor(thread))) : cellFill(threadColor(thread));
        }
        for (std::size_t x = 0; x < fills.size();) {
            std::size_t end = x + 1;
            while (end < fills.size() && fills[end] == fills[x])
                ++end;
            if (fills[x])
                list.fillRect(left + c * static_cast<float>(x), cy, c * static_cast<float>(end - x), c, *fills[x]);
            x = end;
        }
        for (int x = page.columns.begin; x < page.columns.end; ++x) {
            const int thread = model_.threadAt(x, y);
            const std::string_view symbol = thread == ChartModel::kNoStitch ? std::string_view() : model_.symbolOf(thread);
            if (symbol.empty())
                continue;
            const ColorValue fill = *fills[static_cast<std::size_t>(x - page.columns.begin)];
            list.text(left + c * (static_cast<float>(x - page.columns.begin) + 0.5f), cy + c / 2.0f, std::string(symbol),
                symbolFont, wantsWhiteSymbol(fill) ? kWhite : kBlack, TextAnchor::Centre);
        }
        list.endSection();
    }
    // This page's share of the layers; back stitches are cut at the page's edges.
    const LayerPlacement place{left - c * static_cast<float>(page.columns.begin),
        top - c * static_cast<float>(page.rows.begin), c, 0.0f};
    const LayerArea area{static_cast<double>(page.columns.begin), static_cast<double>(page.rows.begin),
        static_cast<double>(page.columns.end), static_cast<double>(page.rows.end)};
    const PartFill partFill = options_.style == PatternStyle::Tint ? PartFill::Tint : PartFill::Colour;
    StitchLayerLayout::addParts(list, model_, colors_, place, area, partFill, fade);
    StitchLayerLayout::addPartSymbols(list, model_, colors_, place, area, partFill,
        list.fontId(font(c * 0.72f * StitchLayerLayout::kPartSymbolShare / kMmPerPoint)), fade);

    list.beginSection(DrawStage::GridLines);
    const int blockW = std::max(options_.blockW, 1);
    const int blockH = std::max(options_.blockH, 1);
    for (int n = page.columns.begin; n <= page.columns.end; ++n) {
        const float x = left + c * static_cast<float>(n - page.columns.begin);
        const bool thick = n % blockW == 0 || n == page.columns.begin || n == page.columns.end;
        list.line(x, top, x, bottom, thick ? kBlockLine : kThinLine, thick ? kBlockWidth : kThinWidth);
    }
    for (int n = page.rows.begin; n <= page.rows.end; ++n) {
        const float y = top + c * static_cast<float>(n - page.rows.begin);
        const bool thick = n % blockH == 0 || n == page.rows.begin || n == page.rows.end;
        list.line(left, y, right, y, thick ? kBlockLine : kThinLine, thick ? kBlockWidth : kThinWidth);
    }
    // The overlap ends at a blue line, so the eye finds where this page's own cells begin.
    if (page.overlapColumns > 0) {
        const float x = left + c * static_cast<float>(page.overlapColumns);
        list.line(x, top, x, bottom, kOverlapEdge, kBlockWidth);
    }
    if (page.overlapRows > 0) {
        const float y = top + c * static_cast<float>(page.overlapRows);
        list.line(left, y, right, y, kOverlapEdge, kBlockWidth);
    }
    list.endSection();
    StitchLayerLayout::addBackStitches(list, model_, colors_, place, area, true, fade);
    StitchLayerLayout::addOrnaments(list, model_, colors_, place, area, fade);

    list.beginSection(DrawStage::ColumnNumbers);
    const int numberFont = list.fontId(font(6.0f));
    for (const int n : PatternPaging::numberedLines(page.columns, blockW))
        list.text(left + c * static_cast<float>(n - page.columns.begin), top - kArrowBand - kNumberBand / 2.0f,
            std::to_string(n), numberFont, kBlack, TextAnchor::Centre);
    for (const int n : PatternPaging::numberedLines(page.rows, blockH))
        list.text(left - kArrowBand - kNumberBand / 2.0f - 0.5f, top + c * static_cast<float>(n - page.rows.begin),
            std::to_string(n), numberFont, kBlack, TextAnchor::Centre);

    // Centre marks: arrows on the edges pointing at the chart's middle line.
    const float half = 1.1f;
    const float length = kArrowBand - 0.4f;
    const float centreColumn = static_cast<float>(gw_) / 2.0f;
    if (centreColumn >= static_cast<float>(page.columns.begin) && centreColumn <= static_cast<float>(page.columns.end)) {
        const float x = left + c * (centreColumn - static_cast<float>(page.columns.begin));
        list.polygon({x, top - 0.2f, x - half, top - 0.2f - length, x + half, top - 0.2f - length}, kCentreMark);
        list.polygon({x, bottom + 0.2f, x - half, bottom + 0.2f + length, x + half, bottom + 0.2f + length}, kCentreMark);
    }
    const float centreRow = static_cast<float>(gh_) / 2.0f;
    if (centreRow >= static_cast<float>(page.rows.begin) && centreRow <= static_cast<float>(page.rows.end)) {
        const float y = top + c * (centreRow - static_cast<float>(page.rows.begin));
        list.polygon({left - 0.2f, y, left - 0.2f - length, y - half, left - 0.2f - length, y + half}, kCentreMark);
        list.polygon({right + 0.2f, y, right + 0.2f + length, y - half, right + 0.2f + length, y + half}, kCentreMark);
    }

    if (page.overlapColumns > 0 || page.overlapRows > 0) {
        const float y = bottom + kArrowBand + 1.5f;
        list.fillRect(left, y, 4.0f, 3.0f, kEmptyOverlap);
        list.line(left + 4.0f, y, left + 4.0f, y + 3.0f, kOverlapEdge, kBlockWidth);
        const std::string columns = std::to_string(page.overlapColumns);
        const std::string rows = std::to_string(page.overlapRows);
        const std::string note = page.overlapRows == 0
            ? withArgs(translate("PatternLayout", "灰色格（蓝线外）：重复前页的最后 %1 列（左边），方便对齐"), {columns})
            : page.overlapColumns == 0
            ? withArgs(translate("PatternLayout", "灰色格（蓝线外）：重复前页的最后 %1 行（上边），方便对齐"), {rows})
            : withArgs(translate("PatternLayout", "灰色格（蓝线外）：重复前页的最后 %1 列（左边）和最后 %2 行（上边），方便对齐"),
                {columns, rows});
        list.text(left + 5.5f, y, note, list.fontId(font(7.5f)));
    }
    list.endSection();
}

std::pair<float, float> PatternLayout::paperSize(PaperSize paper)
{
    return paper == PaperSize::Letter ? std::pair{215.9f, 279.4f} : std::pair{210.0f, 297.0f};
}

PatternGeometry PatternLayout::geometryFor(int gw, int gh, const PatternOptions& options)
{
    PatternGeometry g;
    std::tie(g.pageWidth, g.pageHeight) = paperSize(options.paper);
    const PageFrame area = gridArea(g.pageWidth, g.pageHeight);
    const auto fit = [&](float cell) {
        PatternGeometry fitted = g;
        fitted.cell = cell;
        fitted.columnsPerPage = std::max(1, static_cast<int>((area.right - area.left) / cell + 1e-4f));
        fitted.rowsPerPage = std::max(1, static_cast<int>((area.bottom - area.top) / cell + 1e-4f));
        fitted.gridLeft = area.left + (area.right - area.left - cell * static_cast<float>(fitted.columnsPerPage)) / 2.0f;
        fitted.gridTop = area.top;
        return fitted;
    };
    if (options.cellMm != PatternOptions::kAutoCell)
        return fit(std::clamp(options.cellMm, PatternOptions::kCellMin, PatternOptions::kCellMax));

    PatternGeometry best;
    std::size_t fewest = 0;
    for (int tenths = 30; tenths >= 25; --tenths) {
        const PatternGeometry candidate = fit(static_cast<float>(tenths) / 10.0f);
        const std::size_t pages = PatternPaging::split(gw, candidate.columnsPerPage, options.overlap).size()
            * PatternPaging::split(gh, candidate.rowsPerPage, options.overlap).size();
        if (best.cell == 0 || pages < fewest) {
            best = candidate;
            fewest = pages;
        }
    }
    return best;
}

PatternLayout PatternLayout::build(const ChartModel& model, const ThreadTable& table, const PatternOptions& options)
{
    PatternLayout layout;
    PatternBuilder(model, table, options, layout).build();
    return layout;
}

} // namespace kanvo
