#pragma once

#include <functional>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>

class QScreen;

namespace kanvo {

class CaptureWindow;
class MainWindow;
class WindowHub;

// "直接屏幕截图": hides the main window, freezes the screen into a CaptureWindow and, on a
// click, paints the block under the capture rectangle onto the zoomed surface (at moveX1,
// moveY1 in part-of-picture mode, at the origin in whole-picture mode), one screen pixel per
// stitch; then shows the main window again. Nothing else of the workspace changes: no file, no
// grid size, no zoom.
//
// Parts of the block beyond the screen's edges arrive white. The zoomed surface grows (white)
// when the block would reach past its right or bottom edge, so no captured pixel is lost.
// Escape, or closing the capture window otherwise, cancels; a start that fails after the main
// window was hidden shows it again.
class ScreenCapture : public QObject {
    Q_OBJECT

public:
    // Returns the frozen screen image, or a null image when the screen cannot be read.
    using Grabber = std::function<QImage(QScreen* screen)>;

    // mainWindow and hub (not owned) must outlive the capture.
    ScreenCapture(MainWindow& mainWindow, WindowHub& hub, QObject* parent = nullptr);
    ~ScreenCapture() override;

    // Replaces the screen grab (tests feed a synthetic screen). An empty grabber restores the
    // default, grabScreen().
    void setGrabber(Grabber grabber);
    // The whole of screen through QScreen::grabWindow; null image on failure.
    [[nodiscard]] static QImage grabScreen(QScreen* screen);

    // Starts a capture; false when it could not start (the main window is then visible).
    // While a capture runs, a second start only raises its window.
    bool start();
    // Paints block of source onto the zoomed surface as a capture does (transparent pixels on
    // white); "粘贴图片" places a clipboard picture through it. False when the surface could not
    // be made (nothing changes then).
    bool placeBlock(const QImage& source, const QRect& block);
    // The capture window while a capture runs; null otherwise.
    [[nodiscard]] CaptureWindow* captureWindow() const;

private:
    void copyAndFinish();
    void cancel();
    void restoreMainWindow();

    MainWindow& mainWindow_;
    WindowHub& hub_;
    Grabber grabber_;
    QPointer<CaptureWindow> window_;
};

} // namespace kanvo
