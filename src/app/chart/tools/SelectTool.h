#pragma once

#include <optional>

#include "app/chart/tools/ChartTool.h"
#include "core/palette/CellPos.h"

namespace kanvo {

class ChartToolHost;

// 选区: a drag spans a rectangle of cells, which the controller keeps as the selection.
class SelectTool : public ChartTool {
public:
    explicit SelectTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;
    void drag(QPointF canvasPoint) override;
    void release(QPointF canvasPoint) override;
    void cancel() override { anchor_.reset(); }

private:
    ChartToolHost& host_;
    std::optional<CellPos> anchor_; // where the drag started
};

} // namespace kanvo
