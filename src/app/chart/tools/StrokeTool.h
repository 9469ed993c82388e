#pragma once

#include <optional>

#include "app/chart/tools/ChartTool.h"
#include "core/palette/CellPos.h"

namespace kanvo {

class ChartToolHost;

// 画笔 and the cell part of 橡皮: a click or a drag sets every cell the pointer passes over to the
// current thread (or empties it); the whole stroke is one step of the history.
class StrokeTool : public ChartTool {
public:
    StrokeTool(ChartToolHost& host, bool erasing);

    void press(QPointF canvasPoint) override;
    void drag(QPointF canvasPoint) override;
    void release(QPointF canvasPoint) override;
    void cancel() override;

protected:
    [[nodiscard]] QString strokeText() const;

    ChartToolHost& host_;
    int stroke_ = 0; // the stroke under way, 0 when none

private:
    [[nodiscard]] int thread() const;

    bool erasing_ = false;
    std::optional<CellPos> last_; // the cell the stroke reached
};

} // namespace kanvo
