#include <gtest/gtest.h>

#include "core/chart/ChartGridText.h"

namespace kanvo {
namespace {

// Table entries by hand from the colour card: 1 is thread 150, 34 thread 310, 452 thread 5200.
TEST(ChartGridText, RowsOfThreadNumbersWithZeroForNoStitch)
{
    ChartModel model;
    model.gw = 3;
    model.gh = 2;
    model.colorIndex.assign(static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide, 34);
    const auto cell = [](int x, int y) { return static_cast<std::size_t>(x) * ChartModel::kMatrixSide + y; };
    model.colorIndex[cell(1, 0)] = 452;
    model.colorIndex[cell(2, 0)] = ChartModel::kNoStitch;
    model.colorIndex[cell(0, 1)] = 1;
    model.colorIndex[cell(3, 0)] = 1; // beyond gw: not part of the chart
    EXPECT_EQ(ChartGridText::csv(model, loadedThreadTable()), "310,5200,0\n150,310,310\n");

    model.gw = 0; // no chart generated
    EXPECT_EQ(ChartGridText::csv(model, loadedThreadTable()), "");
    model.gw = 3;
    model.colorIndex.clear();
    EXPECT_EQ(ChartGridText::csv(model, loadedThreadTable()), "");
}

} // namespace
} // namespace kanvo
