#pragma once

#include "app/chart/tools/ChartTool.h"

namespace kanvo {

class ChartToolHost;

// 吸管: a click takes the thread of what it is on as the current thread: a knot, bead, back
// stitch or part stitch of a shown layer (LayerFinder::find), else the cell's full stitch, else
// a legend entry.
class PickerTool : public ChartTool {
public:
    explicit PickerTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;

private:
    ChartToolHost& host_;
};

} // namespace kanvo
