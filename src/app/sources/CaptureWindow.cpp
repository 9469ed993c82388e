#include "app/sources/CaptureWindow.h"

#include <cmath>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace kanvo {

namespace {

constexpr int kOutline = 2;

} // namespace

CaptureWindow::CaptureWindow(QImage screen, int rectWidth, int rectHeight, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      screen_(std::move(screen)),
      rect_(rectWidth, rectHeight)
{
    setObjectName(QStringLiteral("mobileCap"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

CaptureWindow::~CaptureWindow() = default;

void CaptureWindow::finish()
{
    done_ = true;
    close();
}

QRect CaptureWindow::outlineArea() const
{
    const double ratio = screen_.devicePixelRatio();
    const CaptureRectangle::Point corner = rect_.topLeft();
    const QRect inner(static_cast<int>(std::floor(corner.x / ratio)), static_cast<int>(std::floor(corner.y / ratio)),
                      static_cast<int>(std::ceil(rect_.width() / ratio)),
                      static_cast<int>(std::ceil(rect_.height() / ratio)));
    return inner.adjusted(-kOutline, -kOutline, kOutline, kOutline);
}

void CaptureWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), screen_);
    // Drawn just outside the block, so the outline never hides a pixel that is captured.
    QPen pen(QColor(255, 0, 0), kOutline);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRect area = outlineArea();
    painter.drawRect(QRectF(area).adjusted(kOutline / 2.0, kOutline / 2.0, -kOutline / 2.0, -kOutline / 2.0));
}

void CaptureWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QRect before = outlineArea();
    const double ratio = screen_.devicePixelRatio();
    rect_.pointerMoved(event->position().x() * ratio, event->position().y() * ratio);
    update(before.united(outlineArea()));
}

void CaptureWindow::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void CaptureWindow::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release of the left button, both on this window.
    if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        pressed_ = false;
        emit clicked();
        return;
    }
    pressed_ = false;
}

void CaptureWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CaptureWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (!done_) {
        done_ = true;
        emit cancelled();
    }
}

} // namespace kanvo
