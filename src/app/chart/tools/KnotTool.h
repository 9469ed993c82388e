#pragma once

#include "app/chart/tools/ChartTool.h"

namespace kanvo {

class ChartToolHost;

// 法式结: a click places a French knot on the lattice point nearest the pointer (cell corners,
// edge midpoints and centres).
class KnotTool : public ChartTool {
public:
    explicit KnotTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;

private:
    ChartToolHost& host_;
};

} // namespace kanvo
