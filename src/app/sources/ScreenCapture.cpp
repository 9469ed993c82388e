#include "app/sources/ScreenCapture.h"

#include <algorithm>
#include <exception>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "app/sources/CaptureWindow.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/sources/BlockCopy.h"

namespace kanvo {

namespace {

constexpr int kRepaintPasses = 1000;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

BlockCopy::ConstPixels constPixels(const QImage& image)
{
    const auto words = static_cast<std::size_t>(image.sizeInBytes() / 4);
    return {std::span<const std::uint32_t>(reinterpret_cast<const std::uint32_t*>(image.constBits()), words),
            image.width(), image.height(), static_cast<std::size_t>(image.bytesPerLine() / 4)};
}

BlockCopy::Pixels pixels(QImage& image)
{
    const auto words = static_cast<std::size_t>(image.sizeInBytes() / 4);
    return {std::span<std::uint32_t>(reinterpret_cast<std::uint32_t*>(image.bits()), words), image.width(),
            image.height(), static_cast<std::size_t>(image.bytesPerLine() / 4)};
}

// A picture with transparency (a pasted one, say) on white, as the cloth shows through.
QImage opaque(const QImage& source)
{
    QImage flat(source.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, source);
    return flat;
}

} // namespace

ScreenCapture::ScreenCapture(MainWindow& mainWindow, WindowHub& hub, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow), hub_(hub)
{
}

ScreenCapture::~ScreenCapture()
{
    delete window_;
}

CaptureWindow* ScreenCapture::captureWindow() const
{
    return window_;
}

void ScreenCapture::setGrabber(Grabber grabber)
{
    grabber_ = std::move(grabber);
}

QImage ScreenCapture::grabScreen(QScreen* screen)
{
    if (screen == nullptr)
        return {};
    return screen->grabWindow(0).toImage();
}

bool ScreenCapture::start()
{
    if (window_) {
        window_->raise();
        window_->activateWindow();
        return true;
    }
    bool hidden = false;
    try {
        QScreen* screen = mainWindow_.screen() != nullptr ? mainWindow_.screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return false;
        const QRect geometry = screen->geometry();

        mainWindow_.hide();
        hidden = true;
        // Lets the windows that the main window covered repaint before the screen is read.
        for (int i = 0; i < kRepaintPasses; ++i)
            QCoreApplication::processEvents();

        // One screen pixel per stitch: the rectangle is as large as the grid window.
        const int width = mainWindow_.workspace().gridWindowPixelWidth();
        const int height = mainWindow_.workspace().gridWindowPixelHeight();
        QImage frozen = grabber_ ? grabber_(screen) : grabScreen(screen);
        if (frozen.isNull()) {
            restoreMainWindow();
            return false;
        }
        frozen = frozen.convertToFormat(QImage::Format_RGB32);

        auto* window = new CaptureWindow(std::move(frozen), width, height);
        window_ = window;
        hub_.adoptWindow(window);
        connect(window, &CaptureWindow::clicked, this, &ScreenCapture::copyAndFinish);
        connect(window, &CaptureWindow::cancelled, this, &ScreenCapture::cancel);
        window->setGeometry(geometry);
        window->showFullScreen();
        window->raise();
        window->activateWindow();
        window->setFocus();
        return true;
    } catch (const std::exception&) {
        delete window_;
        if (hidden)
            restoreMainWindow();
        return false;
    }
}

void ScreenCapture::copyAndFinish()
{
    CaptureWindow* window = window_;
    if (window == nullptr)
        return;
    const CaptureRectangle& rect = window->rectangle();
    const CaptureRectangle::Point from = rect.topLeft();
    (void)placeBlock(window->frozenScreen(), QRect(from.x, from.y, rect.width(), rect.height()));
    window->finish();
    window_ = nullptr;
    restoreMainWindow();
}

bool ScreenCapture::placeBlock(const QImage& source, const QRect& block)
{
    const RunState& state = mainWindow_.runState();
    const int toX = state.ifScale == 1 ? state.moveX1 : 0;
    const int toY = state.ifScale == 1 ? state.moveY1 : 0;
    const QImage pixelsFrom = source.format() == QImage::Format_RGB32 ? source : opaque(source);

    // The cleared surface keeps its size unless the block needs more room.
    const QImage& current = mainWindow_.zoomedSurface();
    const int surfaceWidth = std::max(current.isNull() ? 0 : current.width(), toX + block.width());
    const int surfaceHeight = std::max(current.isNull() ? 0 : current.height(), toY + block.height());
    QImage surface(surfaceWidth, surfaceHeight, QImage::Format_RGB32);
    if (surface.isNull() || pixelsFrom.isNull())
        return false;
    surface.fill(Qt::white);
    (void)BlockCopy::copy(constPixels(pixelsFrom), block.x(), block.y(), block.width(), block.height(),
                          pixels(surface), toX, toY, kWhite);
    mainWindow_.setZoomedSurface(std::move(surface));
    mainWindow_.repaintPicture();
    return true;
}

void ScreenCapture::cancel()
{
    window_ = nullptr;
    restoreMainWindow();
}

void ScreenCapture::restoreMainWindow()
{
    mainWindow_.show();
    mainWindow_.raise();
    mainWindow_.activateWindow();
}

} // namespace kanvo
