#include "app/workspace/AppWiring.h"

#include "app/chart/ChartWindow.h"
#include "app/edit/EditController.h"
#include "app/reduce/ReductionController.h"
#include "app/sources/SourcesController.h"
#include "app/workspace/DocumentOpener.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

namespace kanvo {

void connectWindows(MainWindow& mainWindow, WindowHub& hub)
{
    // One line per window area, e.g. installChartWindow(mainWindow, hub);
    ReductionController::install(mainWindow, hub);
    SourcesController::install(mainWindow, hub);
    EditController::install(mainWindow, hub);
    ChartWindow::install(mainWindow, hub);
    DocumentOpener::install(mainWindow, hub);
    (void)mainWindow;
    (void)hub;
}

} // namespace kanvo
