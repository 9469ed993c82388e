#pragma once

#include <QObject>
#include <QString>

namespace kanvo {

class MainWindow;
class RecentFiles;
class WindowHub;

// Opens the files given to the program from outside its own dialogs: the command line, a drop
// on the main or the chart window, "最近打开"; and takes a picture from the clipboard
// ("粘贴图片"). install() makes one as a child of the main window, sets the hub's openFile,
// pastePicture and fileUsed hooks, fills "最近打开" and makes the main window take drops.
//
// A picture opens as "导入图片" opens one: after the chart window's question about unsaved
// edits, the file becomes RunState::sourceFile and is fitted; one that does not load gets the
// program's message and the picture shown stays. A name ending in ".oxs" opens in the chart
// window as "打开绣图工程..." opens it. What opened goes to the top of "最近打开".
class DocumentOpener : public QObject {
    Q_OBJECT

public:
    DocumentOpener(MainWindow& mainWindow, WindowHub& hub);
    static DocumentOpener* install(MainWindow& mainWindow, WindowHub& hub);

    // True for a name ending in ".oxs" (any case): a chart project, not a picture.
    [[nodiscard]] static bool isProject(const QString& path);

    // Opens path; false (after the message, or a cancelled question) when it was not opened.
    bool open(const QString& path);
    // "粘贴图片": the clipboard's picture placed as a screen capture places its block; without a
    // picture on the clipboard a message says so. False when nothing was placed.
    bool paste();
    // A file opened or saved elsewhere: listed in "最近打开", and a picture's folder kept for the
    // file chooser's next start.
    void fileUsed(const QString& path);

    [[nodiscard]] RecentFiles& recentFiles() { return *recent_; }

private:
    [[nodiscard]] bool openPicture(const QString& path);

    MainWindow& mainWindow_;
    WindowHub& hub_;
    RecentFiles* recent_ = nullptr;
};

} // namespace kanvo
