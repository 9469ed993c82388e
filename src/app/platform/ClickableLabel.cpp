#include "app/platform/ClickableLabel.h"

#include <QMouseEvent>

namespace kanvo {

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (event->button() == Qt::LeftButton && wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    QLabel::mouseMoveEvent(event);
}

void ClickableLabel::enterEvent(QEnterEvent* event)
{
    emit hovered();
    QLabel::enterEvent(event);
}

} // namespace kanvo
