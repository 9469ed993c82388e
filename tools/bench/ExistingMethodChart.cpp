#include "ExistingMethodChart.h"

#include <chrono>

#include "core/image/ClsDIB.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ColorIndex.h"
#include "core/reduce/ReductionMethod.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

namespace {

// The colour index at `tolerance`: the number of threads, or -1 on failure.
int indexAt(const StitchMatrix& stitches, int width, int height, int tolerance, const ThreadTable& table,
    ChartModel& model)
{
    model = ChartModel{};
    model.gw = width;
    model.gh = height;
    if (makeColorIndex(stitches, model, tolerance, table) != ColorIndexError::None)
        return -1;
    return model.colorCount;
}

} // namespace

ExistingMethodChart ExistingMethodChart::make(std::span<const ColorValue> picture, int width, int height,
    int methodCode, int threads, const ThreadTable& table)
{
    ExistingMethodChart result;
    const auto start = std::chrono::steady_clock::now();
    ClsDIB source;
    if (!source.Create(width, height, 24, true))
        return result;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            source.setPixel24(x, y, picture[static_cast<std::size_t>(y * width + x)]);
    ClsDIB reduced24;
    if (methodCode != ReductionMethod::kNoReduction) {
        ClsDIB converted;
        if (!ReductionMethod::convert(methodCode, converted, source) || !reduced24.Create(width, height, 24, true)
            || !reduced24.GethDC(converted, 0, 0, width, height, 0, 0))
            return result;
    } else {
        reduced24 = source;
    }
    StitchMatrix stitches;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            stitches.set(x, y, reduced24.pixel24(x, y));
    const double convertMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    // Thread count falls (nearly) as the tolerance grows: bisect for the smallest that fits.
    ChartModel model;
    int low = -1, high = 1 << 18;
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        const int count = indexAt(stitches, width, height, mid, table, model);
        if (count >= 0 && count <= threads)
            high = mid;
        else
            low = mid;
    }
    const auto indexStart = std::chrono::steady_clock::now();
    result.threads = indexAt(stitches, width, height, high, table, model);
    result.milliseconds = convertMs
        + std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - indexStart).count();
    result.mergeTol = high;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.chart.push_back(table.colorOf(model.threadAt(x, y)));
    return result;
}

} // namespace kanvo
