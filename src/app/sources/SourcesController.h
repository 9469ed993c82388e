#pragma once

#include <optional>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include "app/workspace/WindowHub.h"

namespace kanvo {

class FileChooserWindow;
class GalleryWindow;
class MainWindow;
class ScreenCapture;

// The picture sources of the main window: the image file chooser, the pattern gallery and the
// screen capture. install() creates one controller as a child of the main window and sets the
// hub's hooks showFileChooser ("导入图片", "导入图片文件"), showGallery ("绣图图库") and
// startScreenCapture ("直接屏幕截图").
//
// The chooser and the gallery are created on first use and again after they were closed (each
// deletes itself on closing); asked for while open, they are only raised (and moved, when
// asked by the main window's button). Both are adopted by the hub, so the main window's exit
// closes them.
class SourcesController : public QObject {
    Q_OBJECT

public:
    SourcesController(MainWindow& mainWindow, WindowHub& hub);
    ~SourcesController() override;

    static SourcesController* install(MainWindow& mainWindow, WindowHub& hub);

    void showFileChooser(WindowHub::Origin origin, std::optional<QPoint> topLeft);
    void showGallery(WindowHub::Origin origin, std::optional<QPoint> topLeft);
    bool startScreenCapture();

    // Where the gallery looks for its category folders, in order; AppPaths::shippedFolders()
    // unless set. Takes effect at the gallery's next opening.
    void setGalleryFolders(QStringList folders);

    // The open windows; null when closed.
    [[nodiscard]] FileChooserWindow* fileChooser() const;
    [[nodiscard]] GalleryWindow* gallery() const;
    [[nodiscard]] ScreenCapture& screenCapture() { return *capture_; }

private:
    void closeFileChooser();

    MainWindow& mainWindow_;
    WindowHub& hub_;
    std::optional<QStringList> galleryFolders_;
    QPointer<FileChooserWindow> chooser_;
    QPointer<GalleryWindow> gallery_;
    ScreenCapture* capture_ = nullptr;
};

} // namespace kanvo
