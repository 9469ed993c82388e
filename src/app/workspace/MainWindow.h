#pragma once

#include <functional>

#include <QImage>
#include <QMainWindow>

#include "app/platform/AppPaths.h"
#include "app/platform/UiLanguage.h"
#include "app/platform/WindowTitle.h"
#include "core/workspace/RunState.h"
#include "core/workspace/WorkspaceModel.h"
#include "core/workspace/WorkspaceView.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QUrl;

namespace kanvo {

class ClickableLabel;
class PictureBox;
class WindowHub;

// The main window `Form1`: the picture workspace (grid window `Picture2` holding the zoomed
// surface `Picture4`), the grid-size bars, the stitch grid display (`Picture6` / `Picture1`),
// the command buttons and labels, and the menu bar.
//
// It reads and writes the application's RunState (not owned) and reaches every other window
// through the WindowHub (not owned); both must outlive it. Every control carries its name as
// objectName, so other windows may also find them with findChild.
class MainWindow : public QMainWindow, public WorkspaceView {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 819;
    static constexpr int kClientHeight = 515;
    // The status line at start-up, and again whenever a new picture arrives.
    static constexpr const char* kWelcomeStatus = QT_TR_NOOP("欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！");

    MainWindow(RunState& state, WindowHub& hub, QWidget* parent = nullptr);
    // Looks for the start-up picture and the help document in `paths` instead of the
    // program's own folders (AppPaths::standard()).
    MainWindow(RunState& state, WindowHub& hub, AppPaths paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load step: run once, before the window is first shown. A failure of one of its steps
    // skips the rest and runs the effect preview as a fallback.
    void load();

    [[nodiscard]] RunState& runState() { return state_; }
    [[nodiscard]] WorkspaceModel& workspace() { return model_; }
    [[nodiscard]] WindowHub& hub() { return hub_; }

    // The zoomed picture surface (`Picture4`). Paint into it, then call repaintPicture(). A
    // caller that gives it another size calls setZoomedSurface instead.
    [[nodiscard]] QImage& zoomedSurface();
    void setZoomedSurface(QImage image);
    void repaintPicture();
    // The loaded picture at natural size (`Picture3`); null before the first load.
    [[nodiscard]] const QImage& sourcePicture() const { return source_; }
    // Picture holder of the reduction and effect saving (`Picture5`), never shown.
    [[nodiscard]] QImage& picture5() { return picture5_; }
    // The grid window (`Picture2`), the surface widget (`Picture4`), the overlay label (`Label8`),
    // the text box (`Text1`), the grid display canvas image (`Picture1`) and the status line.
    [[nodiscard]] QWidget* gridWindowWidget() const;
    [[nodiscard]] QWidget* surfaceWidget() const;
    [[nodiscard]] QLabel* overlayLabel() const { return label8_; }
    [[nodiscard]] QLineEdit* textBox() const { return text1_; }
    [[nodiscard]] QImage& gridCanvas();
    [[nodiscard]] QLabel* statusLine() const { return label4_; }

    // Draws the floating label's text into the zoomed picture exactly where and as large as the
    // label shows it (the stamp before the effect preview runs).
    void stampOverlayText();

    // Opens the help document with the desktop's program for it; false when none opened it.
    // Tests replace it.
    std::function<bool(const QUrl&)> openDocument;
    // Keeps the language chosen in the "语言 / Language" menu for the next start (the program
    // writes its settings; empty keeps nothing).
    std::function<void(UiLanguage::Language)> saveLanguage;
    // Marks `running` in the language menu.
    void showLanguage(UiLanguage::Language running);

    // The initial picture step: sourceFile = "logo.dll" (found in the working folder first),
    // then loadSourcePicture(); a failure is ignored.
    void initialPictureStep();
    // Loads RunState::sourceFile and fits the grid; false when the file cannot be decoded. The
    // title then names the file.
    [[nodiscard]] bool loadSourcePicture();
    // Every way a new picture reaches the workspace (a loaded file, a screen capture, a pasted
    // picture) ends here: the effect preview was the old picture's, so the grid display is
    // emptied, "生成" waits for a new preview and the status line is the start-up one again.
    void newPictureArrived();
    // Grid display redraw and pan.
    void drawMatrixS();
    void showMatrixS();
    // The effect preview routine `Command2` (through the hub); false when it failed or is unset.
    bool runEffectPreview();
    // Enables or disables what must not run while a chart is generated or printed: "效果预览->",
    // "导入图片", "绣图图库" and the zoom, width and height bars.
    void setWorkControlsEnabled(bool enabled);

    // Handlers, public so other windows and tests can run them as the controls do.
    void partMode();      // "局部"
    void wholeMode();     // "全图"
    void restore();       // "还原"
    void zoomIn();        // "放大"
    void zoomOut();       // "缩小"
    void generateChart(); // "生成", "打印", "生成我的绣图", "打印绣图"
    void openHelp();      // "帮助"
    void exitProgram();   // "退出十字绣图Kanvo"

    // WorkspaceView
    [[nodiscard]] std::optional<PictureSize> decodeSourcePicture() override;
    void showNaturalPicture() override;
    void stretchPicture(int width, int height) override;
    void surfaceMoved() override;
    void gridWindowChanged() override;
    void clothLineChanged() override;
    void modeButtonsChanged() override;
    void redrawGrid() override;
    void canvasMoved() override;

signals:
    // Emitted once the window has closed and the secondary windows were asked to close.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseLanguage(UiLanguage::Language language); // "中文" / "English"
    void buildControls();
    void buildMenus();
    void bindBar(QScrollBar* bar, ScrollBarModel& model);
    ClickableLabel* makeLabel(const QString& name, const QString& caption, const QString& tip = {});
    QPushButton* makeButton(const QString& name, const QString& caption);
    void hoverLabel(ClickableLabel* label);
    void resetLabelColours();
    void surfacePressed(QPointF position);
    void surfaceMovedPointer(QPointF position);
    void showTextEntry(bool visible);

    UiLanguage::Language runningLanguage_ = UiLanguage::Language::Chinese;
    RunState& state_;
    WindowHub& hub_;
    AppPaths paths_;
    WorkspaceModel model_;

    QImage source_;   // Picture3
    QImage picture5_; // Picture5

    QWidget* central_ = nullptr;
    QGroupBox* pictureFrame_ = nullptr;
    QWidget* pictureArea_ = nullptr;
    QWidget* picture2_ = nullptr;
    PictureBox* picture4_ = nullptr;
    QLabel* label8_ = nullptr;
    QWidget* picture6_ = nullptr;
    PictureBox* picture1_ = nullptr;
    QScrollBar* wChange_ = nullptr;
    QScrollBar* hChange_ = nullptr;
    QScrollBar* zoom_ = nullptr;
    QScrollBar* wMatrix_ = nullptr;
    QScrollBar* hMatrix_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command11_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPushButton* command8_ = nullptr;
    QPushButton* command9_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label4_ = nullptr;
    QList<ClickableLabel*> hoverLabels_;
    bool syncing_ = false;
    WindowTitle title_; // its file: the current picture's, none for the start-up picture
};

} // namespace kanvo
