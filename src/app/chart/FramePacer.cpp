#include "app/chart/FramePacer.h"

#include <QCoreApplication>
#include <QWidget>

namespace kanvo {

FramePacer::FramePacer(QWidget& widget) : widget_(widget)
{
    widget_.setUpdatesEnabled(false);
    clock_.start();
}

FramePacer::~FramePacer() { widget_.setUpdatesEnabled(true); }

void FramePacer::yield()
{
    const bool frame = clock_.elapsed() >= kFrameMs;
    if (frame) {
        // Turning updates on schedules the repaint that the events below deliver.
        widget_.setUpdatesEnabled(true);
        clock_.restart();
    }
    QCoreApplication::processEvents();
    if (frame)
        widget_.setUpdatesEnabled(false);
}

} // namespace kanvo
