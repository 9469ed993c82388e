#pragma once

#include <optional>

#include "app/chart/tools/ChartTool.h"
#include "core/stitch/StitchLayers.h"

namespace kanvo {

class ChartToolHost;

// 回针: press on a point of the half-cell lattice, drag to another, release: one back stitch,
// one step of the history. A click (press and release on the same point) starts a chain
// instead: every later click adds a stitch from the chain's last point to the clicked one, and
// the whole chain is one step; Esc, a right click or another tool ends it. The stitch to come
// is drawn from its start to the lattice point nearest the pointer.
class BackStitchTool : public ChartTool {
public:
    explicit BackStitchTool(ChartToolHost& host) : host_(host) {}

    void press(QPointF canvasPoint) override;
    void drag(QPointF canvasPoint) override;
    void release(QPointF canvasPoint) override;
    void hover(QPointF canvasPoint) override;
    void cancel() override;
    void drawOverlay(QPainter& painter) const override;

private:
    // The lattice point nearest a canvas point within half a cell of the chart.
    [[nodiscard]] std::optional<StitchPoint> latticePoint(QPointF canvasPoint) const;
    void add(StitchPoint from, StitchPoint to, int stroke);

    ChartToolHost& host_;
    std::optional<StitchPoint> pressedAt_; // the press of a drag under way
    std::optional<StitchPoint> chainEnd_;  // the last point of a chain under way
    int chainStroke_ = 0;
    std::optional<StitchPoint> pointer_;   // where the stitch to come ends
};

} // namespace kanvo
