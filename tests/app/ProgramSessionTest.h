#pragma once

#include <memory>

#include <QObject>

#include "app/chart/ChartWindow.h"
#include "ProgramSession.h"

namespace kanvo {

// Base of the widget tests that drive the whole program: one session per test function, with
// short names for its parts. init() calls openSession(), sets any hooks, then session->start();
// cleanup() calls closeSession().
class ProgramSessionTest : public QObject {
protected:
    // False when the session's working folder cannot be made.
    [[nodiscard]] bool openSession()
    {
        session = std::make_unique<ProgramSession>();
        if (!session->valid())
            return false;
        boxes = &session->boxes;
        state = &session->state;
        hub = &session->hub;
        window = session->window.get();
        return true;
    }

    // The main window goes first and takes its secondary windows with it.
    void closeSession()
    {
        session.reset();
        boxes = nullptr;
        state = nullptr;
        hub = nullptr;
        window = nullptr;
    }

    // The chart window opened by the main window's "生成" after an effect preview of a w x h
    // stitch matrix of colour(x, y); nullptr when it did not open.
    template <class F> ChartWindow* openChartWindow(int w, int h, F colour)
    {
        state->stitchMatrix = StitchMatrix();
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                state->stitchMatrix.set(x, y, colour(x, y));
        state->picW = w;
        state->picH = h;
        state->previewReady = true;
        window->generateChart();
        return window->findChild<ChartWindow*>();
    }

    std::unique_ptr<ProgramSession> session;
    RecordingMessageBoxes* boxes = nullptr;
    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
};

} // namespace kanvo
