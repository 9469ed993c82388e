#include "app/chart/FramePacer.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace kanvo {

FramePacer::FramePacer(QWidget& widget) : widget_(widget)
{
    holdUpdates();
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
    holdUpdates();
}

void FramePacer::holdUpdates()
{
    // A window that is not on screen yet gets its first paint when it comes: the expose events
    // that bring it are lost on a window whose updates are off.
    const QWindow* window = widget_.window()->windowHandle();
    if (window && window->isExposed())
        widget_.setUpdatesEnabled(false);
}

} // namespace kanvo
