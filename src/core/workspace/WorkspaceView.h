#pragma once

#include <optional>

namespace kanvo {

// Width and height of a picture in pixels.
struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// What the workspace model asks of the window that shows it. The model keeps every number
// (grid window, zoomed surface, canvas); the view holds the pixels and mirrors the geometry.
// Every function but decodeSourcePicture has an empty default, so a test view overrides only
// what it watches.
class WorkspaceView {
public:
    virtual ~WorkspaceView() = default;

    // Decodes the file RunState::sourceFile into the source holder; empty when it cannot.
    [[nodiscard]] virtual std::optional<PictureSize> decodeSourcePicture() = 0;
    // The zoomed surface becomes a copy of the source holder at natural size.
    virtual void showNaturalPicture() {}
    // The zoomed surface is cleared at width x height pixels and the whole source picture is
    // stretched onto it, dropping or repeating pixels.
    virtual void stretchPicture(int width, int height)
    {
        (void)width;
        (void)height;
    }
    // The zoomed surface's position (or size) changed.
    virtual void surfaceMoved() {}
    // The grid window's geometry changed.
    virtual void gridWindowChanged() {}
    // The cloth size line changed.
    virtual void clothLineChanged() {}
    // "局部" / "全图" enabled states changed.
    virtual void modeButtonsChanged() {}
    // The grid display canvas must be redrawn from the stitch matrix (size already set).
    virtual void redrawGrid() {}
    // The grid display canvas moved.
    virtual void canvasMoved() {}
};

} // namespace kanvo
