#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QImage>

#include "core/chart/ChartLayout.h"
#include "core/common/Color.h"
#include "core/palette/ChartModel.h"

namespace kanvo {

class ThreadTable;

// The screen chart of a generated chart model: laid out with the fonts the canvas is painted in
// and painted onto a white canvas pass by pass. The chart window and the headless chart maker
// both draw through here, so a chart made without the window is the window's chart.
class ScreenChart {
public:
    // What becomes of a section about to be painted.
    enum class Step { Paint, Skip, Stop };

    // threadColors()[i - 1] is the colour of thread i of table.
    [[nodiscard]] static std::vector<ColorValue> threadColors(const ThreadTable& table);

    // The layout of model in canvas pixels, with the loaded thread table's colours.
    [[nodiscard]] static ChartLayout layout(const ChartModel& model, const ChartOptions& options);
    // The same layout without the cells (ChartLayout::buildFrame), for a view that lays out the
    // cells it shows.
    [[nodiscard]] static ChartLayout frame(const ChartModel& model, const ChartOptions& options);

    // A white canvas of the layout's size.
    [[nodiscard]] static QImage blankCanvas(const ChartLayout& layout);
    // Saves a painted canvas as the chart bitmap file (see saveChartBitmap): false with the
    // reason in *error when the canvas is empty or the file cannot be written.
    [[nodiscard]] static bool saveBitmap(const QImage& canvas, const QString& path, std::string* error);

    // Paints the layout's sections onto canvas in order with one painter (so glyphs are cached
    // across sections). before decides per section (empty: paint all); Stop ends the pass.
    // after runs once each painted section is on the canvas.
    static void paint(QImage& canvas, const ChartLayout& layout,
        const std::function<Step(const DrawSection& section)>& before = {},
        const std::function<void(const DrawSection& section)>& after = {});
};

} // namespace kanvo
