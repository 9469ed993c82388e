#pragma once

#include <memory>

#include <QObject>

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

    std::unique_ptr<ProgramSession> session;
    RecordingMessageBoxes* boxes = nullptr;
    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
};

} // namespace kanvo
