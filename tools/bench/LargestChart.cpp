#include "LargestChart.h"

#include <string>

#include <QImage>
#include <QPainter>

#include "app/chart/ChartPainter.h"
#include "core/chart/ChartLayout.h"
#include "core/palette/ThreadTable.h"

namespace kanvo::bench {

namespace {

constexpr int kSide = 320;
constexpr int kThreads = 60;

} // namespace

ChartModel largestChart()
{
    ChartModel m;
    m.gw = kSide;
    m.gh = kSide;
    m.colorIndex.assign(321 * 321, 0);
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y)
            m.colorIndex[static_cast<std::size_t>(x) * 321 + y] = ((x / 7) * 13 + (y / 5) * 7 + x * y % 3) % kThreads + 1;
    const char* ascii = "abcdefghkmnpqrstuvwxyz-+=:()23456789@#$%*<>?/\\{}ABDEFGHIJKLMNOPQRSTUVWXYZ";
    for (const char* p = ascii; *p; ++p)
        m.xiuChr.emplace_back(1, *p);
    m.chrIndex.assign(500, 0);
    for (int t = 1; t <= kThreads; ++t) {
        m.chrIndex[static_cast<std::size_t>(t)] = t;
        m.threadList.push_back(ThreadEntry{makeColor(t * 4, 255 - t * 4, 128), t, std::to_string(t) + "       ", 1700});
    }
    m.threadList.resize(kThreads);
    for (auto& e : m.threadList)
        e.name.resize(8, ' ');
    m.maxColor = kThreads;
    m.colorCount = kThreads;
    return m;
}

std::vector<ColorValue> tableColors()
{
    std::vector<ColorValue> colors;
    for (int t = 1; t <= 452; ++t)
        colors.push_back(makeColor((t * 53) % 256, (t * 101) % 256, (t * 29 + 80) % 256));
    return colors;
}

bool generateAndPaint(const StitchMatrix& stitches, int gw, int gh, ChartMode mode, const ColorIndexSettings& settings)
{
    const ThreadTable& table = loadedThreadTable();
    std::vector<ColorValue> colors;
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        colors.push_back(table.colorOf(t));
    ChartModel model;
    model.gw = gw;
    model.gh = gh;
    if (generateChartModel(stitches, model, settings, table) != ColorIndexError::None)
        return false;
    ChartOptions options;
    options.mode = mode;
    const ChartLayout layout = ChartLayout::build(model, colors, options, ChartPainter::Metrics(96.0f / 72.0f, 1.0f));
    QImage canvas(layout.geometry().canvasWidth, layout.geometry().canvasHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    ChartPainter chartPainter(1.0f);
    chartPainter.paint(painter, layout.drawList());
    return true;
}

} // namespace kanvo::bench
