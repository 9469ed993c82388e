#include "app/chart/ScreenChart.h"

#include <QPainter>

#include "app/chart/ChartPainter.h"
#include "core/chart/ChartBitmapFile.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

std::vector<ColorValue> ScreenChart::threadColors(const ThreadTable& table)
{
    std::vector<ColorValue> colors(ThreadTable::kThreads);
    for (int i = 1; i <= ThreadTable::kThreads; ++i)
        colors[static_cast<std::size_t>(i) - 1] = table.colorOf(i);
    return colors;
}

namespace {

// The canvas measures in pixels of a 96-dpi screen.
ChartPainter::Metrics canvasMetrics() { return {96.0f / 72.0f, 1.0f}; }

} // namespace

ChartLayout ScreenChart::layout(const ChartModel& model, const ChartOptions& options)
{
    return ChartLayout::build(model, threadColors(loadedThreadTable()), options, canvasMetrics());
}

ChartLayout ScreenChart::frame(const ChartModel& model, const ChartOptions& options)
{
    return ChartLayout::buildFrame(model, threadColors(loadedThreadTable()), options, canvasMetrics());
}

QImage ScreenChart::blankCanvas(const ChartLayout& layout)
{
    const ChartGeometry& g = layout.geometry();
    QImage canvas(g.canvasWidth, g.canvasHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

bool ScreenChart::saveBitmap(const QImage& canvas, const QString& path, std::string* error)
{
    // Canvases are made as RGB32 (blankCanvas); anything else is converted once.
    const QImage rgb = canvas.format() == QImage::Format_RGB32 ? canvas : canvas.convertToFormat(QImage::Format_RGB32);
    const CanvasPixels pixels{rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine()};
    return saveChartBitmap(pixels, path.toStdString(), error);
}

void ScreenChart::paint(QImage& canvas, const ChartLayout& layout,
    const std::function<Step(const DrawSection& section)>& before,
    const std::function<void(const DrawSection& section)>& after)
{
    ChartPainter painter;
    for (const DrawSection& section : layout.drawList().sections()) {
        const Step step = before ? before(section) : Step::Paint;
        if (step == Step::Stop)
            break;
        if (step == Step::Skip)
            continue;
        {
            // One QPainter per section: the canvas is complete (and may be shown) in between.
            QPainter p(&canvas);
            painter.paint(p, layout.drawList(), section);
        }
        if (after)
            after(section);
    }
}

} // namespace kanvo
