#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kanvo {

// The one place through which the main window reaches the windows and routines built outside the
// workspace: chart window, chart settings, file chooser, gallery, screen capture, edit
// preparation, text-overlay font and colour, the effect preview (`Command2`) and the colour
// reduction (`Label10`).
//
// Each is a public std::function hook. The code that builds a window sets the hook once (typically
// in connectWindows() of app/workspace/AppWiring.cpp, before the load step); the main window's handlers
// only call the invoke functions below and never know the window classes. An unset hook does
// nothing and, where a result is expected, reports failure (effectPreview() returns false).
//
// Secondary windows are created on first use by their hooks. A hook that creates a window should
// call adoptWindow() with it, so that closing the main window (or "退出十字绣图Kanvo") closes it.
//
// Everything runs on the user-interface thread.
class WindowHub : public QObject {
    Q_OBJECT

public:
    // Who asked for the file chooser or the gallery: the main window's button (which cleared
    // `previewReady` and wants the window next to it) or a menu entry (own position).
    enum class Origin { Button, Menu };

    explicit WindowHub(QObject* parent = nullptr);
    ~WindowHub() override;

    // --- hooks, set by the code that builds each window ---

    // "生成", "打印", "生成我的绣图": show the chart window without blocking. Called only when an
    // effect preview exists; the main window clears `previewReady` afterwards.
    std::function<void()> showChartWindow;
    // "打开绣图工程..." / "保存绣图工程..." of the menu "文件": the chart window's project commands
    // (it is created on first use; no effect preview is needed).
    std::function<void()> openChartProject;
    std::function<void()> saveChartProject;
    // "完成" of the colour replacement on a chart read from a project: the chart window shows
    // the edited chart, drawn again.
    std::function<void()> redrawProjectChart;
    // "绣图设置", "超级减色" (Label12), menu "软件设置" / "绣图设置": show the chart settings.
    std::function<void()> showSettingsWindow;
    // "导入图片" / "导入图片文件". topLeft is the screen position wanted for the chooser's
    // top-left corner (main window corner + 120, 93) when origin is Button, empty for Menu.
    std::function<void(Origin origin, std::optional<QPoint> topLeft)> showFileChooser;
    // "绣图图库" button / menu entry; topLeft = main window corner + (320, 93) for the button.
    std::function<void(Origin origin, std::optional<QPoint> topLeft)> showGallery;
    // "直接屏幕截图".
    std::function<void()> startScreenCapture;
    // "编辑" (Label9): edit preparation, then the colour replacement window.
    std::function<void()> prepareEdit;
    // "字体选择" (Label11) and "字体颜色" (Label13) of the text overlay.
    std::function<void()> chooseOverlayFont;
    std::function<void()> chooseOverlayColor;
    // The effect preview routine (`Command2`): samples the grid window into the stitch matrix,
    // redraws the grid display and sets `previewReady`. Returns false when it failed or is unset.
    std::function<bool()> effectPreview;
    // The colour reduction routine (`Label10`), run by "效果预览->" (`Command4`). Returns false
    // when it failed or is unset.
    std::function<bool()> colourReduction;
    // "保存效果" (`Command3`).
    std::function<void()> saveEffect;
    // Before another picture is opened or the program ends: the chart window asks to save its
    // unsaved edits. False when the user cancelled. Unset: nothing to ask.
    std::function<bool()> confirmChartChanges;
    // At start-up: the chart window offers to reopen a chart autosaved by a run that crashed.
    std::function<void()> offerChartRecovery;
    // Files given to the program (command line, drops, "最近打开"): a picture as "导入图片" opens
    // one, an .oxs project as "打开绣图工程..." does; false when it was not opened.
    std::function<bool(const QString& path)> openFile;
    // The chart window reads the project at path; false (with its message) when it did not.
    std::function<bool(const QString& path)> openChartProjectFile;
    // A picture that arrives without a file (the clipboard, a dropped image) is placed on the
    // zoomed surface as a screen capture places its block, after the chart window's question
    // about unsaved edits; false when it was not.
    std::function<bool(const QImage& picture)> placePicture;
    // "粘贴图片": the clipboard's picture through placePicture.
    std::function<void()> pastePicture;
    // A picture or project was opened or saved through a window's own dialog: "最近打开" lists it.
    std::function<void(const QString& path)> fileUsed;

    // --- called by the main window's handlers ---
    void invokeShowChartWindow() const;
    void invokeOpenChartProject() const;
    void invokeSaveChartProject() const;
    void invokeRedrawProjectChart() const;
    void invokeShowSettingsWindow() const;
    void invokeShowFileChooser(Origin origin, std::optional<QPoint> topLeft) const;
    void invokeShowGallery(Origin origin, std::optional<QPoint> topLeft) const;
    void invokeStartScreenCapture() const;
    void invokePrepareEdit() const;
    void invokeChooseOverlayFont() const;
    void invokeChooseOverlayColor() const;
    [[nodiscard]] bool invokeEffectPreview() const;
    [[nodiscard]] bool invokeColourReduction() const;
    void invokeSaveEffect() const;
    [[nodiscard]] bool invokeConfirmChartChanges() const;
    void invokeOfferChartRecovery() const;
    [[nodiscard]] bool invokeOpenFile(const QString& path) const;
    [[nodiscard]] bool invokeOpenChartProjectFile(const QString& path) const;
    [[nodiscard]] bool invokePlacePicture(const QImage& picture) const;
    void invokePastePicture() const;
    void invokeFileUsed(const QString& path) const;

    // Registers a secondary window (not owned) so closeSecondaryWindows() closes it. A window
    // destroyed meanwhile is skipped. Adopting the same window twice is harmless.
    void adoptWindow(QWidget* window);
    // Closes every adopted window still alive (chart, chooser, settings, gallery, replacement).
    void closeSecondaryWindows();

private:
    std::vector<QPointer<QWidget>> windows_;
};

} // namespace kanvo
