#pragma once

#include "app/chart/tools/ChartTool.h"

namespace kanvo {

class ChartToolHost;

// 吸管: a click takes the thread of what it is on (a stitch or a legend entry) as the current
// thread.
class PickerTool : public ChartTool {
public:
    explicit PickerTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;

private:
    ChartToolHost& host_;
};

} // namespace kanvo
