#pragma once

namespace kanvo {

class MainWindow;
class WindowHub;

// Connects the windows built outside the workspace to the hub's hooks. The program's main()
// and the main-window tests call it once, right after the main window is created and before
// its load step. Each window area adds its one line in AppWiring.cpp.
void connectWindows(MainWindow& mainWindow, WindowHub& hub);

} // namespace kanvo
