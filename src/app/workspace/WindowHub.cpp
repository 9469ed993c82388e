#include "app/workspace/WindowHub.h"

#include <algorithm>

namespace kanvo {

WindowHub::WindowHub(QObject* parent) : QObject(parent) {}

WindowHub::~WindowHub() = default;

void WindowHub::invokeShowChartWindow() const
{
    if (showChartWindow)
        showChartWindow();
}

void WindowHub::invokeOpenChartProject() const
{
    if (openChartProject)
        openChartProject();
}

void WindowHub::invokeSaveChartProject() const
{
    if (saveChartProject)
        saveChartProject();
}

void WindowHub::invokeRedrawProjectChart() const
{
    if (redrawProjectChart)
        redrawProjectChart();
}

void WindowHub::invokeShowSettingsWindow() const
{
    if (showSettingsWindow)
        showSettingsWindow();
}

bool WindowHub::invokeConfirmChartChanges() const
{
    return !confirmChartChanges || confirmChartChanges();
}

void WindowHub::invokeOfferChartRecovery() const
{
    if (offerChartRecovery)
        offerChartRecovery();
}

bool WindowHub::invokeOpenFile(const QString& path) const
{
    return openFile && openFile(path);
}

bool WindowHub::invokeOpenChartProjectFile(const QString& path) const
{
    return openChartProjectFile && openChartProjectFile(path);
}

bool WindowHub::invokePlacePicture(const QImage& picture) const
{
    // Like a screen capture, the picture replaces the one the chart's edits were made on.
    return placePicture && invokeConfirmChartChanges() && placePicture(picture);
}

void WindowHub::invokePastePicture() const
{
    if (pastePicture)
        pastePicture();
}

void WindowHub::invokeFileUsed(const QString& path) const
{
    if (fileUsed)
        fileUsed(path);
}

void WindowHub::invokeShowFileChooser(Origin origin, std::optional<QPoint> topLeft) const
{
    // Another picture replaces the one the chart's edits were made on.
    if (showFileChooser && invokeConfirmChartChanges())
        showFileChooser(origin, topLeft);
}

void WindowHub::invokeShowGallery(Origin origin, std::optional<QPoint> topLeft) const
{
    if (showGallery && invokeConfirmChartChanges())
        showGallery(origin, topLeft);
}

void WindowHub::invokeStartScreenCapture() const
{
    if (startScreenCapture && invokeConfirmChartChanges())
        startScreenCapture();
}

void WindowHub::invokePrepareEdit() const
{
    if (prepareEdit)
        prepareEdit();
}

void WindowHub::invokeChooseOverlayFont() const
{
    if (chooseOverlayFont)
        chooseOverlayFont();
}

void WindowHub::invokeChooseOverlayColor() const
{
    if (chooseOverlayColor)
        chooseOverlayColor();
}

bool WindowHub::invokeEffectPreview() const
{
    return effectPreview ? effectPreview() : false;
}

bool WindowHub::invokeColourReduction() const
{
    return colourReduction ? colourReduction() : false;
}

void WindowHub::invokeSaveEffect() const
{
    if (saveEffect)
        saveEffect();
}

void WindowHub::adoptWindow(QWidget* window)
{
    if (window == nullptr)
        return;
    const bool known = std::any_of(windows_.begin(), windows_.end(),
                                   [window](const QPointer<QWidget>& w) { return w == window; });
    if (!known)
        windows_.emplace_back(window);
}

void WindowHub::closeSecondaryWindows()
{
    // Copy first: closing a window may run code that adopts or destroys others.
    const auto windows = windows_;
    for (const auto& w : windows) {
        if (w)
            w->close();
    }
}

} // namespace kanvo
