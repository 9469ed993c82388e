#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QtTest>

#include "ProgramSessionTest.h"
#include "RecordingMessageBoxes.h"
#include "app/platform/MessageBoxes.h"
#include "app/sources/CaptureWindow.h"
#include "app/sources/ScreenCapture.h"
#include "app/sources/SourcesController.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

using namespace kanvo;

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
const QRgb kWhite = qRgb(255, 255, 255);

// The synthetic screen: every pixel tells where it is, and none is white.
QRgb screenPixel(int x, int y)
{
    return qRgb(x % 251, y % 241, 16 * (x / 251) + 64 * (y / 241) + 1);
}

QImage syntheticScreen()
{
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            image.setPixel(x, y, screenPixel(x, y));
    return image;
}

void send(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class ScreenCaptureTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startHidesMainWindowAndFreezesScreen();
    void rectangleIsTheGridWindowSize();
    void blockLandsAtTheOffsets_data();
    void blockLandsAtTheOffsets();
    void surfaceGrowsToHoldTheBlock();
    void zoomAfterCaptureRedrawsThePicture();
    void escapeCancels();
    void closingCaptureWindowCancels();
    void failedStartBringsMainWindowBack();
    void menuEntryStartsCapture();

private:
    CaptureWindow* start();
    void click(CaptureWindow* capture, QPointF at);

    SourcesController* sources = nullptr;
    int grabs = 0;
};

void ScreenCaptureTest::init()
{
    QVERIFY(openSession());
    sources = window->findChild<SourcesController*>();
    QVERIFY(sources != nullptr);
    grabs = 0;
    sources->screenCapture().setGrabber([this](QScreen*) {
        ++grabs;
        // The main window must be out of the way when the screen is read.
        return window->isVisible() ? QImage() : syntheticScreen();
    });
    QVERIFY(session->start());
}

void ScreenCaptureTest::cleanup()
{
    closeSession();
}

CaptureWindow* ScreenCaptureTest::start()
{
    if (!sources->startScreenCapture())
        return nullptr;
    return sources->screenCapture().captureWindow();
}

void ScreenCaptureTest::click(CaptureWindow* capture, QPointF at)
{
    send(capture, QEvent::MouseButtonPress, at, Qt::LeftButton);
    send(capture, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}

void ScreenCaptureTest::startHidesMainWindowAndFreezesScreen()
{
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    QCOMPARE(grabs, 1);
    QVERIFY(!window->isVisible());
    QVERIFY(capture->isVisible());
    QCOMPARE(capture->objectName(), QStringLiteral("mobileCap"));
    QVERIFY(capture->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(capture->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(capture->frozenScreen(), syntheticScreen());
    // A second start while one runs changes nothing.
    QVERIFY(sources->startScreenCapture());
    QCOMPARE(sources->screenCapture().captureWindow(), capture);
    QCOMPARE(grabs, 1);
}

void ScreenCaptureTest::rectangleIsTheGridWindowSize()
{
    window->findChild<QScrollBar*>(QStringLiteral("wChange"))->setValue(117);
    window->findChild<QScrollBar*>(QStringLiteral("hChange"))->setValue(132);
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    QCOMPARE(capture->rectangle().width(), 117);
    QCOMPARE(capture->rectangle().height(), 132);
    // The bottom-right corner follows the pointer.
    send(capture, QEvent::MouseMove, QPointF(300, 200), Qt::NoButton);
    QCOMPARE(capture->rectangle().topLeft().x, 300 - 117);
    QCOMPARE(capture->rectangle().topLeft().y, 200 - 132);
}

void ScreenCaptureTest::blockLandsAtTheOffsets_data()
{
    QTest::addColumn<bool>("wholeMode");
    QTest::addColumn<QPoint>("offset"); // moveX1, moveY1 in part mode
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QPoint>("pointer");

    QTest::newRow("part mode at the origin") << false << QPoint(0, 0) << true << QPoint(400, 300);
    QTest::newRow("part mode, dragged offsets") << false << QPoint(37, 21) << true << QPoint(500, 420);
    QTest::newRow("near the top-left edge") << false << QPoint(5, 3) << true << QPoint(60, 45);
    QTest::newRow("near the bottom-right edge") << false << QPoint(0, 0) << true << QPoint(639, 479);
    QTest::newRow("no movement before the click") << false << QPoint(12, 8) << false << QPoint(300, 300);
    QTest::newRow("whole-picture mode") << true << QPoint(0, 0) << true << QPoint(350, 260);
}

void ScreenCaptureTest::blockLandsAtTheOffsets()
{
    QFETCH(bool, wholeMode);
    QFETCH(QPoint, offset);
    QFETCH(bool, moved);
    QFETCH(QPoint, pointer);

    if (wholeMode)
        window->wholeMode();
    state->moveX1 = offset.x();
    state->moveY1 = offset.y();
    const int w = state->gridWidth();
    const int h = state->picH;
    const QSize surfaceBefore = window->zoomedSurface().size();
    const std::string sourceBefore = state->sourceFile;
    const double picWBefore = state->picW;

    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    QPointer<CaptureWindow> guard = capture;
    if (moved)
        send(capture, QEvent::MouseMove, pointer, Qt::NoButton);
    click(capture, pointer);
    settle();
    QVERIFY(guard.isNull());
    QVERIFY(window->isVisible());

    // The block's top-left corner on the screen: the pointer minus the rectangle's size, or
    // (-w, -h) when the pointer never moved.
    const int fromX = (moved ? pointer.x() : 0) - w;
    const int fromY = (moved ? pointer.y() : 0) - h;
    const int toX = wholeMode ? 0 : offset.x();
    const int toY = wholeMode ? 0 : offset.y();
    const QImage& surface = window->zoomedSurface();
    QVERIFY(surface.width() >= std::max(surfaceBefore.width(), toX + w));
    QVERIFY(surface.height() >= std::max(surfaceBefore.height(), toY + h));
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            QRgb expected = kWhite;
            const int bx = x - toX;
            const int by = y - toY;
            if (bx >= 0 && by >= 0 && bx < w && by < h) {
                const int sx = fromX + bx;
                const int sy = fromY + by;
                if (sx >= 0 && sy >= 0 && sx < kScreenWidth && sy < kScreenHeight)
                    expected = screenPixel(sx, sy);
            }
            if (qRgb(qRed(surface.pixel(x, y)), qGreen(surface.pixel(x, y)), qBlue(surface.pixel(x, y)))
                != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
    // A capture loads no file and leaves the grid alone.
    QCOMPARE(state->sourceFile, sourceBefore);
    QCOMPARE(state->picW, picWBefore);
    QCOMPARE(state->picH, h);
    QVERIFY(boxes->texts.isEmpty());
}

void ScreenCaptureTest::surfaceGrowsToHoldTheBlock()
{
    // The start-up picture (360 x 240) at zoom 120 gives a surface of 120 x 80; the grid is 117 x 240.
    window->findChild<QScrollBar*>(QStringLiteral("zoom"))->setValue(120);
    QCOMPARE(window->zoomedSurface().size(), QSize(120, 80));
    state->moveX1 = 30;
    state->moveY1 = 0;
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    send(capture, QEvent::MouseMove, QPointF(200, 300), Qt::NoButton);
    click(capture, QPointF(200, 300));
    settle();
    const QImage& surface = window->zoomedSurface();
    QCOMPARE(surface.size(), QSize(30 + 117, 240));
    // The last pixel of the block is the screen pixel under the rectangle's bottom-right corner.
    QCOMPARE(surface.pixel(30 + 116, 239) | 0xFF000000u, screenPixel(199, 299));
    QCOMPARE(window->surfaceWidget()->size(), surface.size());
}

void ScreenCaptureTest::zoomAfterCaptureRedrawsThePicture()
{
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    send(capture, QEvent::MouseMove, QPointF(400, 400), Qt::NoButton);
    click(capture, QPointF(400, 400));
    settle();
    QCOMPARE(window->zoomedSurface().pixel(0, 0) | 0xFF000000u, screenPixel(400 - 117, 400 - 240));
    window->zoomIn();
    // Back to the start-up picture, stretched: no screen pixel at the corner any more.
    QVERIFY((window->zoomedSurface().pixel(0, 0) | 0xFF000000u) != screenPixel(400 - 117, 400 - 240));
}

void ScreenCaptureTest::escapeCancels()
{
    const QImage surfaceBefore = window->zoomedSurface();
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    QPointer<CaptureWindow> guard = capture;
    send(capture, QEvent::MouseMove, QPointF(300, 300), Qt::NoButton);
    QTest::keyClick(capture, Qt::Key_Escape);
    settle();
    QVERIFY(guard.isNull());
    QVERIFY(window->isVisible());
    QCOMPARE(window->zoomedSurface(), surfaceBefore);
    QCOMPARE(sources->screenCapture().captureWindow(), nullptr);
    // A new capture can start.
    QVERIFY(start() != nullptr);
}

void ScreenCaptureTest::closingCaptureWindowCancels()
{
    const QImage surfaceBefore = window->zoomedSurface();
    CaptureWindow* capture = start();
    QVERIFY(capture != nullptr);
    capture->close();
    settle();
    QVERIFY(window->isVisible());
    QCOMPARE(window->zoomedSurface(), surfaceBefore);
}

void ScreenCaptureTest::failedStartBringsMainWindowBack()
{
    sources->screenCapture().setGrabber([](QScreen*) { return QImage(); });
    const QImage surfaceBefore = window->zoomedSurface();
    QVERIFY(!sources->startScreenCapture());
    QVERIFY(window->isVisible());
    QCOMPARE(sources->screenCapture().captureWindow(), nullptr);
    QCOMPARE(window->zoomedSurface(), surfaceBefore);
    QVERIFY(boxes->texts.isEmpty());
}

void ScreenCaptureTest::menuEntryStartsCapture()
{
    window->findChild<QAction*>(QStringLiteral("mnuScreenCapture"))->trigger();
    QVERIFY(sources->screenCapture().captureWindow() != nullptr);
    QVERIFY(!window->isVisible());
    // The main window's exit also closes a running capture.
    QPointer<CaptureWindow> guard = sources->screenCapture().captureWindow();
    window->exitProgram();
    settle();
    QVERIFY(guard.isNull());
}

QTEST_MAIN(ScreenCaptureTest)
#include "ScreenCaptureTest.moc"
