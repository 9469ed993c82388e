#pragma once

#include <memory>
#include <optional>

#include <QWidget>

#include "core/edit/ColorReplacementModel.h"

class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QUndoStack;

namespace kanvo {

class PictureBox;
class ThreadTable;
struct ChartModel;
class WindowHub;
struct RunState;

// The colour replacement window "绣图颜色替换－用来减少绣图颜色": the overview `Picture1` (one
// pixel per stitch) with the viewport rectangle `Shape1`, the zoom view `Picture2` (4 pixels per
// stitch), the palette strips `Picture5` (source, left) and `Picture6` (target, right) with
// their scroll bars `VScroll3` and `VScroll4`, the samples `Label1` ("替换颜色") and `Label7`
// ("目标颜色"), the status line `Label6` and the buttons "<－替换" (`Command1`), "撤销"
// (`Command2`) and "完成" (`Command3`).
//
// It edits a copy of the stitch matrix through a ColorReplacementModel; "完成" writes the copy
// back into the run state's stitch matrix and asks the hub for the chart window. The run state,
// hub and thread table must outlive the window. Closing it keeps nothing: the next load()
// starts afresh.
class ColorReplacementWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kZoomMaxWidth = 360;
    static constexpr int kZoomMaxHeight = 327;

    ColorReplacementWindow(RunState& state, WindowHub& hub, const ThreadTable& table, QWidget* parent = nullptr);
    ~ColorReplacementWindow() override;

    // Window load: a fresh working copy of the run state's stitch matrix over the grid of
    // `colors`, no replacement recorded, no samples, empty palettes and zoom view.
    void load(const EditColorModel& colors);
    // Window load for a chart read from a project (no stitch matrix behind it): its threads and
    // stitches as the chart holds them, the cloth where there is no stitch. "完成" gives the
    // edited threads back to the run state's chart and asks the hub to draw it again.
    void loadChart(const ChartModel& chart);

    [[nodiscard]] ColorReplacementModel* model() const { return model_.get(); }
    // Left, top, width and height of the viewport rectangle in stitches.
    [[nodiscard]] QRect viewport() const;
    [[nodiscard]] QSize zoomSize() const;
    [[nodiscard]] bool palettesShown() const { return palettesShown_; }

    // Handlers, public so tests can run them as the controls do. Positions are in the pixels of
    // the control named.
    void overviewMoved(QPoint position);   // Picture1: the viewport follows the pointer
    void overviewPressed(QPoint position); // Picture1: zoom view (and the palettes, first time)
    void zoomPressed(QPoint position);     // Picture2: pick the source
    void sourceStripPressed(QPoint position); // Picture5: pick the source
    void targetStripPressed(QPoint position); // Picture6: pick the target
    void replaceClicked(); // "<－替换"
    void undoClicked();    // "撤销"
    void doneClicked();    // "完成"
    void drawPalettes();
    void drawZoomView();

    // The replacements as an undo history: "撤销" and Ctrl+Z undo, Ctrl+Shift+Z and Ctrl+Y redo.
    [[nodiscard]] QUndoStack& replacements() const { return *replacements_; }

private:
    void buildControls();
    void startEditing(const EditColorModel& colors);
    void drawOverview();
    void updateStatus();
    void replacementsChanged();
    void scrollStrip(PictureBox* strip, int value);
    void setSample(QLabel* sample, int thread);

    // The stitches as they stand until "完成": the run state's stitch matrix, or a project
    // chart's colours.
    [[nodiscard]] const StitchMatrix& original() const;

    RunState& state_;
    WindowHub& hub_;
    std::optional<StitchMatrix> chartStitches_; // set while a project chart is edited
    const ThreadTable& table_;
    std::unique_ptr<ColorReplacementModel> model_;
    QUndoStack* replacements_ = nullptr; // its commands refer to model_
    bool palettesShown_ = false;
    bool zoomShown_ = false;
    bool drawingZoom_ = false;

    PictureBox* picture1_ = nullptr;
    QFrame* shape1_ = nullptr;
    PictureBox* picture2_ = nullptr;
    PictureBox* picture5_ = nullptr;
    PictureBox* picture6_ = nullptr;
    QScrollBar* vScroll3_ = nullptr;
    QScrollBar* vScroll4_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label7_ = nullptr;
    QLabel* label6_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
};

} // namespace kanvo
