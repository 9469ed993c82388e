#pragma once

#include <QElapsedTimer>

class QWidget;

namespace kanvo {

// Paces the repaints of a widget while a long pass runs on the user-interface thread: the pass
// yields to window events after every step (so a stop button and the scroll bars answer), but
// the widget, whatever asks it to repaint meanwhile, is painted at most once a frame. Painting a
// large view after each of hundreds of steps would cost more than the pass itself.
//
// While the pacer lives the widget's updates are off except during a due frame; the destructor
// turns them on again, which repaints the widget once more.
class FramePacer {
public:
    static constexpr int kFrameMs = 40;

    // widget (not owned) must outlive the pacer.
    explicit FramePacer(QWidget& widget);
    ~FramePacer();
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Lets pending window events run; the widget is repainted among them when a frame is due.
    void yield();

private:
    void holdUpdates();

    QWidget& widget_;
    QElapsedTimer clock_;
};

} // namespace kanvo
