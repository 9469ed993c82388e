#include "app/workspace/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace kanvo {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setImage(QImage image)
{
    image_ = std::move(image);
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (!image_.isNull())
        painter.drawImage(QPoint(0, 0), image_);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position(), event->button());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->position(), event->button());
}

} // namespace kanvo
