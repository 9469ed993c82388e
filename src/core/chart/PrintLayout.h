#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "core/chart/ChartLayout.h"
#include "core/chart/DrawList.h"
#include "core/chart/TextMetrics.h"
#include "core/palette/ChartModel.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// Why a chart cannot be laid out on a page.
enum class PrintLayoutError {
    None,
    NoPage,                // the printable area is empty
    ChartTooNarrowForFit,  // the screen legend holds no thread per band, so the fit is undefined
    TableTooNarrow,        // the printed thread table holds no thread per band
};

[[nodiscard]] std::string_view printLayoutErrorText(PrintLayoutError error);

// Every position of the printed page, in millimetres from the printable area's top-left corner,
// as single-precision values.
struct PrintGeometry {
    static constexpr float kTableColumn = 8.0f; // thread table column width (38 / 5 rounded)
    static constexpr float kTableRow = 3.0f;    // thread table row height (14 / 5 rounded)

    float pageWidth = 0;  // W
    float pageHeight = 0; // H
    int screenBands = 0;  // S: bands of the screen legend
    int allowance = 0;    // L = 42 S + 260
    bool heightDecides = false;
    float cell = 0;       // c
    float titleTop = 0;   // T = 11 c / 5
    float gridLeft = 0;   // X0 = 8 c
    float titleX = 0;     // left of the centred title
    float subtitleY = 0;  // top of the subtitle (x = X0)
    float gridTop = 0;    // Y0
    float gridRight = 0;  // X0 + c gw
    float gridBottom = 0; // Y0 + c gh
    float guideBottom = 0; // lower end of the vertical guide lines
    float tableTop = 0;   // LT
    float tableRight = 0; // X0 + 8 K
    float tableBottom = 0; // LB
    int columnsPerBand = 0; // K
    int entriesPerBand = 0; // K - 1
    int bands = 0;
    int rows = 0;           // R = 3 bands
};

// The printed page of a chart: title block, grid with guide lines, colour blocks (unless the mode
// is "无色块绣图"), rulers and block lines, thread table with its entries, notes, maker line and
// a symbol in every cell, as a display list in millimetres (fonts scale by 25.4 / 72 per point).
class PrintLayout {
public:
    // Lays out model for a printable area of pageWidth x pageHeight millimetres. The colour
    // blocks take the stitch colours of stitches; metrics measures in millimetres. Returns
    // nullopt, with the reason in *error when error is given, when the chart cannot be fitted.
    // Part stitches, back stitches, knots and beads take the colours threadColors[t - 1] of
    // their threads t (StitchLayerLayout; none are drawn without colours).
    [[nodiscard]] static std::optional<PrintLayout> build(const ChartModel& model, const StitchMatrix& stitches,
        const ChartOptions& options, float pageWidth, float pageHeight, const TextMetrics& metrics,
        PrintLayoutError* error = nullptr, std::span<const ColorValue> threadColors = {});

    [[nodiscard]] const PrintGeometry& geometry() const { return geometry_; }
    [[nodiscard]] const DrawList& drawList() const { return list_; }

private:
    PrintLayout() : list_(25.4f / 72.0f) {}

    PrintGeometry geometry_;
    DrawList list_;
};

} // namespace kanvo
