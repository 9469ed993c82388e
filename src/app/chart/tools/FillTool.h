#pragma once

#include "app/chart/tools/ChartTool.h"

namespace kanvo {

class ChartToolHost;

// 填充: a click recolours the 4-connected region of one thread (or of empty cells).
class FillTool : public ChartTool {
public:
    explicit FillTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;

private:
    ChartToolHost& host_;
};

} // namespace kanvo
