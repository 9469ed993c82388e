#pragma once

#include <cstdint>
#include <optional>

#include "app/chart/tools/ChartTool.h"
#include "core/palette/CellPos.h"

namespace kanvo {

class ChartToolHost;

// 半针: a click places the panel's choice in the cell under the pointer: a half stitch / or \,
// or a quarter stitch in the corner nearest the pointer. A drag places one in every cell (or
// corner) it reaches; the stroke is one step of the history. What the editor does to the
// stitches already in the cell: ChartEditor::addPartStitch.
class PartStitchTool : public ChartTool {
public:
    explicit PartStitchTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;
    void drag(QPointF canvasPoint) override;
    void release(QPointF canvasPoint) override;
    void cancel() override;

private:
    void place(QPointF canvasPoint);

    ChartToolHost& host_;
    int stroke_ = 0;
    std::optional<CellPos> lastCell_;
    std::uint8_t lastCorners_ = 0;
};

} // namespace kanvo
