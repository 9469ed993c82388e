#pragma once

#include <QPointF>

class QPainter;

namespace kanvo {

// One tool of the chart editor (画笔, 回针, ...). The controller forwards the canvas's left
// button to the current tool, in canvas pixels: press, drag (button held), release; hover
// reports every move of the pointer, with or without a button. cancel() ends whatever the tool
// has under way (Esc, a right click, another tool chosen, an undo or redo) without undoing what
// it already changed. A tool
// with state, such as a back stitch chain, keeps it to itself. The tools' texts belong to the
// controller's translation context (kanvo::ChartEditController::tr, spelled out for lupdate).
class ChartTool {
public:
    virtual ~ChartTool() = default;

    virtual void press(QPointF canvasPoint) = 0;
    virtual void drag(QPointF /*canvasPoint*/) {}
    virtual void release(QPointF /*canvasPoint*/) {}
    virtual void hover(QPointF /*canvasPoint*/) {}
    virtual void cancel() {}
    // Draws what the tool is working on; the painter maps canvas pixels.
    virtual void drawOverlay(QPainter& /*painter*/) const {}
};

} // namespace kanvo
