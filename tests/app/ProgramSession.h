#pragma once

#include <memory>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/workspace/RunState.h"
#include "RecordingMessageBoxes.h"

namespace kanvo {

// The program as main() puts it together, run inside a temporary working folder (the scratch
// and effect files land there) with message boxes recorded instead of shown.
//
// The constructor wires the windows but loads nothing, so a test can replace hooks (a screen
// grabber, the chart window's opener) before start() loads the start-up picture. The session
// ends in the destructor: the main window first, taking its secondary windows with it.
class ProgramSession {
public:
    ProgramSession() : previousFolder_(QDir::currentPath())
    {
        if (!folder_.isValid() || !QDir::setCurrent(folder_.path()))
            return;
        MessageBoxes::setCurrent(&boxes);
        window = std::make_unique<MainWindow>(state, hub);
        connectWindows(*window, hub);
    }

    ~ProgramSession()
    {
        window.reset();
        MessageBoxes::setCurrent(nullptr);
        QDir::setCurrent(previousFolder_);
    }

    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Whether the working folder could be made; nothing else is set up without it.
    [[nodiscard]] bool valid() const { return window != nullptr; }

    // Loads the start-up picture and shows the main window; false when it never appeared.
    [[nodiscard]] bool start()
    {
        window->load();
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    [[nodiscard]] QString folder() const { return folder_.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return folder_.filePath(name); }

    RecordingMessageBoxes boxes;
    RunState state;
    WindowHub hub;
    std::unique_ptr<MainWindow> window;

private:
    QTemporaryDir folder_;
    QString previousFolder_;
};

} // namespace kanvo
