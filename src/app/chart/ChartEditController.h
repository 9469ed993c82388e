#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QPointF>
#include <QPointer>

#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"
#include "core/edit/ChartRegion.h"

class QPainter;
class QTransform;
class QUndoStack;

namespace kanvo {

class BackgroundRemovalDialog;
class ChartLayout;
class ChartTool;
class StitchToolPanel;

// Routes the chart window's input to the chart editor: the left button on the canvas (in canvas
// pixels) works the panel's current tool (each tool a ChartTool of its own), Delete empties the
// selection, and 去除背景 opens its dialog. Every change goes onto the undo stack as one command
// (a whole stroke or back stitch chain is one); after each change, undo and redo `changed` runs
// so that the window lays out the legend and redraws. The selection rectangle, the background
// preview and the tool's work (a back stitch being drawn) are drawn by drawOverlay().
//
// The chart, table, stack and panel must outlive the controller.
class ChartEditController : public QObject, private ChartToolHost {
    Q_OBJECT

public:
    ChartEditController(ChartModel& chart, const ThreadTable& table, QUndoStack& stack, StitchToolPanel& panel,
        QWidget* window);
    ~ChartEditController() override;

    // The layout of the chart on screen (cell and legend positions); may return null.
    std::function<const ChartLayout*()> layout;
    // Lays out what the counts change and redraws (the window's refreshChart()).
    std::function<void()> changed;
    // Repaints the canvas only (selection and preview moved).
    std::function<void()> repaint;
    // Whether the view shows a layer; all are shown when unset.
    std::function<bool(StitchLayerKind)> layerVisible;

    // A chart is on screen and complete: editing starts afresh with an empty history. The
    // legend leaves out threads of fewer than `rareThreshold` stitches, as the generation did.
    void startEditing(int rareThreshold);
    // The chart is about to be replaced (a generation, a project): no editing, empty history.
    void stopEditing();
    [[nodiscard]] bool editing() const { return editor_ != nullptr; }

    // The canvas's left-button signals.
    void pressed(QPointF canvasPoint, Qt::KeyboardModifiers modifiers);
    void dragged(QPointF canvasPoint);
    void released(QPointF canvasPoint);
    // The pointer moved (the canvas's pointerMoved).
    void hovered(QPointF canvasPoint);
    // Esc or a right click: the tool ends what it has under way (a back stitch chain).
    void cancelled();

    [[nodiscard]] std::optional<CellRect> selection() const { return selection_; }
    void clearSelection(); // Delete, 删除选区
    void fillSelection();  // 填充选区
    // 去除背景: opens the dialog with its preview; applying it removes the background.
    void openBackgroundRemoval();
    [[nodiscard]] BackgroundRemovalDialog* backgroundDialog() const;
    // The background cells the dialog would empty now (empty without the dialog).
    [[nodiscard]] const std::vector<CellPos>& backgroundPreview() const { return preview_; }

    // The layer element under a canvas point, among the layers shown, if any.
    [[nodiscard]] std::optional<LayerHit> elementAt(QPointF canvasPoint) const;
    // What the status bar says of it: "回针 DMC 310"; empty when there is none.
    [[nodiscard]] QString elementText(QPointF canvasPoint) const;

    // Draws the selection, the background preview and the current tool's work; canvasToView
    // maps canvas pixels to the view.
    void drawOverlay(QPainter& painter, const QTransform& canvasToView) const;

private:
    // ChartToolHost
    [[nodiscard]] ChartEditor& editor() override { return *editor_; }
    [[nodiscard]] StitchToolPanel& panel() override { return panel_; }
    [[nodiscard]] const ChartLayout* chartLayout() const override;
    [[nodiscard]] std::optional<CellPos> cellAt(QPointF canvasPoint) const override;
    [[nodiscard]] std::optional<StitchPoint> chartPoint(QPointF canvasPoint) const override;
    [[nodiscard]] bool layerShown(StitchLayerKind kind) const override;
    void push(ChartChange change, const QString& text, int stroke = 0) override;
    [[nodiscard]] int newStroke() override { return ++strokeCount_; }
    void setSelection(std::optional<CellRect> selection) override;
    void repaintCanvas() override;

    [[nodiscard]] ChartTool* currentTool() const;
    void updatePreview();
    void applyBackground();
    void closeBackgroundRemoval();
    void chartChanged();

    ChartModel& chart_;
    const ThreadTable& table_;
    QUndoStack& stack_;
    StitchToolPanel& panel_;
    QWidget* window_ = nullptr;
    std::unique_ptr<ChartEditor> editor_;
    std::vector<std::unique_ptr<ChartTool>> tools_; // indexed by StitchToolPanel::Tool

    int strokeCount_ = 0; // strokes made so far: each gets its own number
    std::optional<CellRect> selection_;

    QPointer<BackgroundRemovalDialog> dialog_;
    ColorValue backgroundColour_ = 0;
    std::vector<CellPos> preview_;
};

} // namespace kanvo
