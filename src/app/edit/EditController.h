#pragma once

#include <QObject>
#include <QPointer>

#include "app/edit/ColorReplacementWindow.h"
#include "core/edit/EditPreparation.h"

namespace kanvo {

class MainWindow;
class TextOverlay;
class WindowHub;

// The window side of chart editing: "编辑" (`Label9`) runs the edit preparation on the main
// window's run state, shows its status text and messages and opens the colour replacement
// window, created on first use; the text overlay's font and colour choosers come with it.
//
// install() creates one controller as a child of the main window and sets the hub's
// prepareEdit, chooseOverlayFont and chooseOverlayColor hooks.
class EditController : public QObject {
    Q_OBJECT

public:
    // The caption of the "无法创建！" message.
    static constexpr const char* kApplicationTitle = QT_TR_NOOP("十字绣Kanvo");

    EditController(MainWindow& mainWindow, WindowHub& hub);
    ~EditController() override;

    static EditController* install(MainWindow& mainWindow, WindowHub& hub);

    // "编辑": true when the replacement window was opened.
    bool prepareEdit();

    // The replacement window once it was opened; null before.
    [[nodiscard]] ColorReplacementWindow* replacementWindow() const { return window_; }
    [[nodiscard]] TextOverlay* textOverlay() const { return overlay_; }

private:
    [[nodiscard]] EditPreparation::Hooks makeHooks();
    void report(EditPrepError error);
    void setBusy(bool busy);

    MainWindow& mainWindow_;
    WindowHub& hub_;
    EditPreparation preparation_;
    int busyDepth_ = 0;
    QPointer<ColorReplacementWindow> window_;
    TextOverlay* overlay_ = nullptr;
};

} // namespace kanvo
