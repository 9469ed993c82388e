#include <QApplication>

#include "app/platform/FontSubstitutions.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/workspace/RunState.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kanvo::installFontSubstitutions();
    // Secondary windows may stay open or hidden; the run ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    kanvo::RunState state;
    state.mergeTol = 0;
    // The ordered-dither table is a constant table of the image buffer; nothing to build.

    kanvo::WindowHub hub;
    kanvo::MainWindow window(state, hub);
    QObject::connect(&window, &kanvo::MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    kanvo::connectWindows(window, hub);
    window.load();
    window.show();
    return QApplication::exec();
}
