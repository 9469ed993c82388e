#include "app/sources/SourcesController.h"

#include "app/platform/AppPaths.h"
#include "app/sources/FileChooserWindow.h"
#include "app/sources/GalleryWindow.h"
#include "app/sources/ScreenCapture.h"
#include "app/workspace/MainWindow.h"

namespace kanvo {

namespace {

void bringForward(QWidget* window, std::optional<QPoint> topLeft)
{
    if (topLeft)
        window->move(*topLeft);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SourcesController::SourcesController(MainWindow& mainWindow, WindowHub& hub)
    : QObject(&mainWindow), mainWindow_(mainWindow), hub_(hub), capture_(new ScreenCapture(mainWindow, hub, this))
{
    setObjectName(QStringLiteral("sourcesController"));
}

SourcesController::~SourcesController()
{
    // The windows are top-level windows of their own; they go with the main window.
    delete chooser_;
    delete gallery_;
}

SourcesController* SourcesController::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto* controller = new SourcesController(mainWindow, hub);
    hub.showFileChooser = [controller](WindowHub::Origin origin, std::optional<QPoint> topLeft) {
        controller->showFileChooser(origin, topLeft);
    };
    hub.showGallery = [controller](WindowHub::Origin origin, std::optional<QPoint> topLeft) {
        controller->showGallery(origin, topLeft);
    };
    hub.startScreenCapture = [controller] { (void)controller->startScreenCapture(); };
    hub.placePicture = [controller](const QImage& picture) {
        return controller->screenCapture().placeBlock(picture, picture.rect());
    };
    return controller;
}

void SourcesController::showFileChooser(WindowHub::Origin origin, std::optional<QPoint> topLeft)
{
    if (!chooser_) {
        chooser_ = new FileChooserWindow(mainWindow_);
        hub_.adoptWindow(chooser_);
    }
    bringForward(chooser_, origin == WindowHub::Origin::Button ? topLeft : std::nullopt);
}

void SourcesController::showGallery(WindowHub::Origin origin, std::optional<QPoint> topLeft)
{
    if (!gallery_) {
        gallery_ = new GalleryWindow(mainWindow_, [this] { closeFileChooser(); },
                                     galleryFolders_.value_or(AppPaths::shippedFolders()));
        hub_.adoptWindow(gallery_);
    }
    bringForward(gallery_, origin == WindowHub::Origin::Button ? topLeft : std::nullopt);
}

bool SourcesController::startScreenCapture()
{
    return capture_->start();
}

FileChooserWindow* SourcesController::fileChooser() const
{
    return chooser_;
}

GalleryWindow* SourcesController::gallery() const
{
    return gallery_;
}

void SourcesController::setGalleryFolders(QStringList folders)
{
    galleryFolders_ = std::move(folders);
}

void SourcesController::closeFileChooser()
{
    if (chooser_)
        chooser_->close();
}

} // namespace kanvo
