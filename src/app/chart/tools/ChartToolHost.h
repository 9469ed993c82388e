#pragma once

#include <optional>

#include <QPointF>
#include <QString>

#include "core/edit/ChartChange.h"
#include "core/edit/ChartRegion.h"
#include "core/edit/LayerFinder.h"
#include "core/stitch/StitchLayers.h"

namespace kanvo {

class ChartEditor;
class ChartLayout;
class StitchToolPanel;

// What the chart editor's tools may use: the editor, the tool panel (current thread and tool
// options), the undo history and the canvas's geometry. Implemented by ChartEditController.
class ChartToolHost {
public:
    virtual ~ChartToolHost() = default;

    [[nodiscard]] virtual ChartEditor& editor() = 0;
    [[nodiscard]] virtual StitchToolPanel& panel() = 0;
    // The layout of the chart on screen; null while no chart is shown.
    [[nodiscard]] virtual const ChartLayout* chartLayout() const = 0;
    // The cell under a canvas point, if any.
    [[nodiscard]] virtual std::optional<CellPos> cellAt(QPointF canvasPoint) const = 0;
    // A canvas point in cell units from the chart's top-left corner (outside the chart too);
    // nullopt while no chart is shown.
    [[nodiscard]] virtual std::optional<StitchPoint> chartPoint(QPointF canvasPoint) const = 0;
    // Whether the view shows a layer (the eraser, picker and status bar leave hidden ones be).
    [[nodiscard]] virtual bool layerShown(StitchLayerKind kind) const = 0;

    // Puts a change the editor has made onto the undo history; changes with the same non-zero
    // stroke number merge into one step. Empty changes are dropped.
    virtual void push(ChartChange change, const QString& text, int stroke = 0) = 0;
    // A fresh stroke number.
    [[nodiscard]] virtual int newStroke() = 0;
    virtual void setSelection(std::optional<CellRect> selection) = 0;
    // Repaints the canvas (the tool's overlay changed).
    virtual void repaintCanvas() = 0;
};

} // namespace kanvo
