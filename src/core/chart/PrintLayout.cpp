#include "core/chart/PrintLayout.h"

#include <algorithm>

#include "core/chart/ChartTexts.h"
#include "core/chart/StitchLayerLayout.h"
#include "core/common/Rounding.h"

namespace kanvo {

namespace {

namespace texts = chart_texts;

constexpr ColorValue kBlack = ChartLayout::kBlack;

float roundedMm(float value) { return static_cast<float>(roundHalfEvenInt(value)); }

} // namespace

std::string_view printLayoutErrorText(PrintLayoutError error)
{
    switch (error) {
    case PrintLayoutError::None:
        return "no error";
    case PrintLayoutError::NoPage:
        return "the printable area of the page is empty";
    case PrintLayoutError::ChartTooNarrowForFit:
        return "the chart is too narrow to be fitted to the page";
    case PrintLayoutError::TableTooNarrow:
        return "the printed thread table is too narrow for one thread per band";
    }
    return "unknown error";
}

std::optional<PrintLayout> PrintLayout::build(const ChartModel& model, const StitchMatrix& stitches,
    const ChartOptions& options, float pageWidth, float pageHeight, const TextMetrics& metrics,
    PrintLayoutError* error, std::span<const ColorValue> threadColors)
{
    auto fail = [error](PrintLayoutError reason) -> std::optional<PrintLayout> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (error)
        *error = PrintLayoutError::None;

    const int gw = std::clamp(model.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(model.gh, 0, ChartModel::kMaxSide);
    const int blockW = std::max(options.blockW, 1);
    const int blockH = std::max(options.blockH, 1);
    const int maxColor = std::clamp(model.maxColor, 0, static_cast<int>(model.threadList.size()));
    if (!(pageWidth > 0.0f) || !(pageHeight > 0.0f))
        return fail(PrintLayoutError::NoPage);

    PrintLayout layout;
    PrintGeometry& g = layout.geometry_;
    DrawList& list = layout.list_;
    g.pageWidth = pageWidth;
    g.pageHeight = pageHeight;

    // Page fit against the screen chart's proportions, legend allowance included.
    const int screenEntries = (10 * gw) / 38 - 1 - 1;
    if (screenEntries < 1)
        return fail(PrintLayoutError::ChartTooNarrowForFit);
    g.screenBands = (maxColor + screenEntries - 1) / screenEntries;
    g.allowance = 42 * g.screenBands + 260;
    const float chartHeight = static_cast<float>(10 * gh + g.allowance);
    const float chartWidth = static_cast<float>(10 * gw + 83);
    const float roundedHeight = roundedMm(pageHeight);
    g.heightDecides = chartHeight / chartWidth > roundedHeight / pageWidth;
    g.cell = g.heightDecides ? 10.0f * pageHeight / chartHeight - 0.01f : 10.0f * pageWidth / chartWidth - 0.01f;
    if (!(g.cell > 0.0f))
        return fail(PrintLayoutError::NoPage);
    const float c = g.cell;

    g.columnsPerBand = roundHalfEvenInt(static_cast<float>(gw) * c) / 8 - 1;
    g.entriesPerBand = g.columnsPerBand - 1;
    if (g.entriesPerBand < 1)
        return fail(PrintLayoutError::TableTooNarrow);
    g.bands = (maxColor + g.entriesPerBand - 1) / g.entriesPerBand;
    g.rows = 3 * g.bands;

    g.titleTop = 11.0f * c / 5.0f;
    g.gridLeft = 40.0f * c / 5.0f;
    const float x0 = g.gridLeft;

    const int arial8 = list.fontId(FontSpec{"Arial", 8.0f, false});
    const int song9 = list.fontId(FontSpec{"宋体", 9.0f, false});
    list.reserve(2 * static_cast<std::size_t>(gw) * static_cast<std::size_t>(gh) + 8 * static_cast<std::size_t>(gw + gh)
        + 3 * static_cast<std::size_t>(maxColor) + 64);

    // Title block.
    const FontSpec tFont = ChartLayout::titleFont();
    const FontSpec sFont = ChartLayout::subtitleFont();
    const std::string title = texts::title(model);
    const float subtitleHeight = metrics.height(sFont);
    g.titleX = (pageWidth - metrics.width(title, tFont)) / 2.0f;
    g.subtitleY = g.titleTop + metrics.height(tFont) + 3.0f;
    g.gridTop = roundedMm(g.subtitleY + subtitleHeight + subtitleHeight + 2.0f) + 3.0f * c / 5.0f;
    const float y0 = g.gridTop;
    list.beginSection(DrawStage::Title);
    list.text(g.titleX, g.titleTop, title, list.fontId(tFont));
    list.text(x0, g.subtitleY, texts::subtitle(model), list.fontId(sFont));
    list.endSection();

    g.gridRight = x0 + c * static_cast<float>(gw);
    g.gridBottom = y0 + c * static_cast<float>(gh);
    g.tableTop = roundedMm(g.gridBottom + 10.0f) + 8.0f * c / 5.0f;
    g.tableRight = x0 + PrintGeometry::kTableColumn * static_cast<float>(g.columnsPerBand);
    g.tableBottom = roundedMm(g.tableTop + PrintGeometry::kTableRow * static_cast<float>(g.rows + 2));
    // The guide lines run on 40 mm below the grid, between the column numbers, like the canvas's
    // 40 pixels; the distance is fixed and does not scale with the cell.
    g.guideBottom = g.gridBottom + 40.0f;

    const ColorValue thin = ChartLayout::kThinLine;
    list.beginSection(DrawStage::GridLines);
    for (int y = 0; y < gh; ++y) {
        const float ly = y0 + c * static_cast<float>(y);
        list.line(0.3f * x0, ly, g.gridRight, ly, thin, 1.0f, true);
    }
    for (int x = 0; x < gw; ++x) {
        const float lx = x0 + c * static_cast<float>(x);
        list.line(lx, y0, lx, g.guideBottom, thin, 1.0f, true);
    }
    list.endSection();

    if (modeHasBlocks(options.mode)) {
        for (int y = 0; y < gh; ++y) {
            list.beginSection(DrawStage::Blocks, y);
            for (int x = 0; x < gw; ++x) {
                if (texts::threadOfStitch(model, x, y) == ChartModel::kNoStitch)
                    continue;
                const float bx = x0 + c * static_cast<float>(x) + 0.01f;
                const float by = y0 + c * static_cast<float>(y) + 0.01f;
                list.fillRect(bx, by, c - 0.02f, c - 0.02f, stitches.at(x, y));
            }
            list.endSection();
        }
    }

    const LayerPlacement place{x0, y0, c, 0.0f};
    const LayerArea whole{0.0, 0.0, static_cast<double>(gw), static_cast<double>(gh)};
    const PartFill partFill = modeHasBlocks(options.mode) ? PartFill::Colour : PartFill::Lines;
    StitchLayerLayout::addParts(list, model, threadColors, place, whole, partFill);

    list.beginSection(DrawStage::GridLines);
    list.line(0.3f * x0, g.gridBottom, g.gridRight, g.gridBottom, thin, 1.0f, true);
    list.line(g.gridRight, y0, g.gridRight, g.gridBottom, thin, 1.0f, true);
    list.endSection();

    list.beginSection(DrawStage::RowNumbers);
    for (int y = 0; y < gh; ++y)
        list.text(x0 - 3.6f, y0 + c * static_cast<float>(y) - 1.0f, texts::zeroPadded(y % blockH + 1, 2), arial8);
    list.endSection();

    list.beginSection(DrawStage::ColumnLetters);
    int letters = 0;
    for (int x = blockW; x <= gw - 1; x += blockW)
        list.text(x0 + c * static_cast<float>(x) - 1.0f, g.gridBottom + 8.4f, texts::columnLetter(letters++), arial8,
            ChartLayout::kLetterRed);
    list.endSection();

    list.beginSection(DrawStage::ColumnNumbers);
    constexpr float kDigitOffsets[3] = {0.5f, 3.0f, 5.5f};
    for (int x = 0; x < gw; ++x) {
        const std::string digits = texts::zeroPadded(x + 1, 3);
        for (std::size_t d = 0; d < 3; ++d)
            list.text(x0 + c * static_cast<float>(x) + 0.5f, g.gridBottom + kDigitOffsets[d], std::string(1, digits[d]),
                arial8);
    }
    list.endSection();

    const ColorValue thick = ChartLayout::kThickLine;
    list.beginSection(DrawStage::BlockLines);
    for (int r = blockH; r <= gh - 1; r += blockH) {
        const float ly = y0 + c * static_cast<float>(r);
        list.line(x0, ly, g.gridRight, ly, thick, 2.0f, true);
    }
    for (int q = blockW; q <= gw - 1; q += blockW) {
        const float lx = x0 + c * static_cast<float>(q);
        list.line(lx, y0, lx, g.gridBottom, thick, 2.0f, true);
    }
    list.endSection();

    // Thread table.
    const float lt = g.tableTop;
    constexpr float col = PrintGeometry::kTableColumn;
    constexpr float row = PrintGeometry::kTableRow;
    list.beginSection(DrawStage::Legend);
    for (int r = 0; r <= g.rows; ++r)
        list.line(x0, lt + row * static_cast<float>(r), g.tableRight, lt + row * static_cast<float>(r), thin, 1.0f, true);
    for (int j = 0; j <= g.columnsPerBand; ++j)
        list.line(x0 + col * static_cast<float>(j), lt, x0 + col * static_cast<float>(j),
            lt + row * static_cast<float>(g.rows), thin, 1.0f, true);
    for (int r = 0; r < g.rows; r += 3) {
        list.text(x0 + 4.0f, lt + row * static_cast<float>(r) + 1.0f, texts::symbolLabel(), song9);
        list.text(x0 + 4.0f, lt + row * static_cast<float>(r + 1) + 1.0f, texts::numberLabel(), song9);
        list.text(x0 + 4.0f, lt + row * static_cast<float>(r + 2) + 1.0f, texts::countLabel(), song9);
    }
    list.endSection();

    list.beginSection(DrawStage::LegendEntries);
    for (int i = 1; i <= maxColor; ++i) {
        const ThreadEntry& entry = model.threadList[static_cast<std::size_t>(i) - 1];
        const int r = 3 * ((i - 1) / g.entriesPerBand);
        const int j = 1 + (i - 1) % g.entriesPerBand;
        const float ex = x0 + col * static_cast<float>(j) + 4.0f;
        list.text(ex, lt + row * static_cast<float>(r) + 1.0f, texts::symbolOfThread(model, entry.index), song9);
        list.text(ex, lt + row * static_cast<float>(r + 1) + 1.0f, entry.name, song9);
        list.text(ex, lt + row * static_cast<float>(r + 2) + 1.0f, texts::signedNumber(entry.count), song9);
    }
    list.endSection();

    list.beginSection(DrawStage::Notes);
    const float lb = g.tableBottom;
    list.text(x0 + 2.0f, lb + 18.0f, texts::totalNote(model), song9);
    list.text(x0 + 23.0f, lb + 36.0f, texts::secondNote(), song9);
    list.text(g.gridRight - 120.0f, lb + 48.0f, texts::kFooter, arial8);
    list.endSection();

    // Symbols are printed in every mode, so that a black-and-white print can be stitched.
    const bool blocks = modeHasBlocks(options.mode);
    for (int y = 0; y < gh; ++y) {
        list.beginSection(DrawStage::Symbols, y);
        for (int x = 0; x < gw; ++x) {
            list.text(x0 + c * static_cast<float>(x) + 0.01f, y0 + c * static_cast<float>(y),
                texts::symbolOfThread(model, texts::threadOfStitch(model, x, y)), song9,
                ChartLayout::symbolInk(blocks, stitches.at(x, y)));
        }
        list.endSection();
    }
    StitchLayerLayout::addPartSymbols(list, model, threadColors, place, whole, partFill,
        list.fontId(FontSpec{"宋体", 9.0f * StitchLayerLayout::kPartSymbolShare, false}));
    StitchLayerLayout::addBackStitches(list, model, threadColors, place, whole, false);
    StitchLayerLayout::addOrnaments(list, model, threadColors, place, whole);
    return layout;
}

} // namespace kanvo
