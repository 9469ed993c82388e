#pragma once

#include <optional>

#include <QImage>
#include <QString>

#include "app/platform/PictureDecoder.h"
#include "core/palette/ChartModel.h"
#include "core/workspace/RunState.h"
#include "core/workspace/WorkspaceModel.h"
#include "core/workspace/WorkspaceView.h"

namespace kanvo {

// The main window's picture workspace without a window: the same workspace model over a run
// state, with the source picture and the zoomed surface held as images. Loading, fitting, the
// modes and the zoom behave exactly as in the main window, so the grid it fits samples the same
// pixels.
class HeadlessWorkspace final : public WorkspaceView {
public:
    explicit HeadlessWorkspace(RunState& state);

    [[nodiscard]] WorkspaceModel& model() { return model_; }

    // The main window's load step with path in place of the start-up picture: the run state's
    // defaults, "全图" then "局部", the picture loaded and fitted, then the grid width 117 again.
    // With chartSizedGrid the grid may grow to the largest chart (320 x 320 stitches) instead of
    // stopping at the main window's 230 x 250; the fitting rules stay the same.
    // False when the picture cannot be decoded (the reason in decodeError()).
    [[nodiscard]] bool load(const QString& path, bool chartSizedGrid = false);
    [[nodiscard]] PictureDecoder::Error decodeError() const { return decodeError_; }

    // The zoomed surface the grid window looks at.
    [[nodiscard]] QImage& surface() { return surface_; }
    // Lets go of the natural-size picture once the grid is fitted, so that the reduction
    // painting on the surface does not copy a large picture. Later stretches paint white.
    void releaseSource() { source_ = QImage(); }

    // WorkspaceView
    [[nodiscard]] std::optional<PictureSize> decodeSourcePicture() override;
    void showNaturalPicture() override;
    void stretchPicture(int width, int height) override;

private:
    RunState& state_;
    WorkspaceModel model_;
    QImage source_;  // the picture at natural size
    QImage surface_; // the zoomed surface
    PictureDecoder::Error decodeError_ = PictureDecoder::Error::None;
};

} // namespace kanvo
