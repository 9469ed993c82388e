#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include "core/sources/CaptureRectangle.h"

namespace kanvo {

// The capture window `mobileCap`: borderless, covering the whole screen, showing the frozen
// screen image with the capture rectangle whose bottom-right corner follows the pointer.
// A left click emits clicked(); Escape, or closing the window any other way, emits cancelled().
// Rectangle and image share one coordinate system: pixels of the frozen image (which are
// device pixels when the screen scales; pointer positions are converted).
class CaptureWindow : public QWidget {
    Q_OBJECT

public:
    // screen: the frozen screen image (not null). rectWidth x rectHeight: the rectangle's size
    // in image pixels.
    CaptureWindow(QImage screen, int rectWidth, int rectHeight, QWidget* parent = nullptr);
    ~CaptureWindow() override;

    [[nodiscard]] const QImage& frozenScreen() const { return screen_; }
    [[nodiscard]] const CaptureRectangle& rectangle() const { return rect_; }

    // Closes the window without emitting cancelled() (the capture was taken).
    void finish();

signals:
    void clicked();
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The rectangle in widget coordinates, grown by the outline's width.
    [[nodiscard]] QRect outlineArea() const;

    QImage screen_;
    CaptureRectangle rect_;
    bool pressed_ = false;
    bool done_ = false;
};

} // namespace kanvo
