#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>

#include "app/chart/UnsavedChangesPrompt.h"
#include "app/platform/WindowTitle.h"
#include "core/chart/ChartLayout.h"
#include "core/chart/ChartMode.h"
#include "core/pattern/PatternLayout.h"
#include "core/project/ChartProject.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QUndoStack;

namespace kanvo {

class ChartAutosave;
class ChartCanvasView;
class ChartEditController;
class ChartNavigationBar;
class StitchToolPanel;
class ChartPrinter;
class FinalPreviewWindow;
class PrintPreview;
class MainWindow;
class WindowHub;
struct RunState;

// The chart window: generates the chart of the current stitch matrix ("生成"), stops it
// ("中止"), prints it ("打印"), saves it as a bitmap ("保存"), opens the final effect preview
// ("最终效果预览") and opens and saves charts as OXS project files. The chart model itself lives
// in the run state (RunState::chart), so the editor and the printer read what the last
// generation left.
//
// Controls (objectName): Command1 "生成", Command2 "保存", Command3 "中止"/"打印"/"打印..",
// Command4 "最终效果预览", Command5 "读取色卡...", Command6 "导出PDF图纸", cmdPrintPreview
// "打印预览", cmdOpenProject
// "打开绣图工程...", cmdSaveProject "保存绣图工程...", Combo1 the chart mode, Combo2 the
// rare-thread threshold with Check1 "显示全部色块", HScroll1 the merge slider, Text1 the thread
// count, Label1 the status line, ProgressBar1 the progress, Picture1 the canvas viewport with
// HScroll2 and VScroll1.
class ChartWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kTitle = QT_TR_NOOP("十字绣图Kanvo ---奎乐软件quillex inc.");
    static constexpr const char* kInitialStatus = QT_TR_NOOP("准备开始生成绣图,请等待约10秒 ...");
    static constexpr const char* kStopCaption = QT_TR_NOOP("中止");
    static constexpr const char* kPrintCaption = QT_TR_NOOP("打印");
    static constexpr const char* kPrintedCaption = QT_TR_NOOP("打印..");

    ChartWindow(RunState& state, MainWindow& mainWindow, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // Sets the hook of the main window's "生成" that creates the window on first use and opens it.
    static void install(MainWindow& mainWindow, WindowHub& hub);

    // Window open: the chart size from the main window's grid, the thread table, the lists and
    // the merge slider from mergeTol; then the window is shown and raised.
    void openWindow();

    // Handlers, public so that tests and other windows run them as the controls do.
    void generate();        // "生成"
    void stopOrPrint();     // Command3: "中止" stops, "打印" / "打印.." prints
    void saveChart();       // "保存": asks for a file name, then saveChartTo()
    void showFinalPreview(); // "最终效果预览"
    void openProject();      // "打开绣图工程...": asks for a file, then openProjectFrom()
    void saveProject();      // "保存绣图工程...": asks for a file name, then saveProjectTo()

    // Reads an OXS chart project and shows its chart, drawn as "生成" draws one (title, size and
    // stitches from the file; "生成" draws it again with the window's choices until the main
    // window opens the window for its own picture). Tells the user what the file held that the
    // chart cannot show. False, with a message, when the file is refused or a generation is
    // running; the chart on screen then stays.
    bool openProjectFrom(const QString& path);
    // Writes the chart as last generated (with the colour replacement's edits) as an OXS project
    // and tells the user. False, with a message, when there is no chart or the file cannot be
    // written; an existing file is then left as it was.
    bool saveProjectTo(const QString& path);

    // Writes the drawn canvas as a bitmap sized to print on one page and tells the user. False
    // (with a message) when nothing is drawn yet or the file could not be written; an existing
    // file is then left as it was.
    bool saveChartTo(const QString& path);

    // "导出PDF图纸" (after a complete generation): asks for the pattern's options and the file
    // name, then exportPatternTo().
    void exportPattern();
    // Writes the multi-page pattern PDF of the generated chart, with progress and "中止" (or
    // closing the window) to stop. The file is written whole or not at all. False (with a
    // message, unless stopped) when there is no complete chart or the file cannot be written.
    bool exportPatternTo(const QString& path, const PatternOptions& options);

    // Prints the generated chart on one page (asks for the printer first).
    void printChart();
    // "打印预览": the pages "打印" would print, in the print preview.
    void showPrintPreview();
    [[nodiscard]] PrintPreview& printPreview();

    // "读取色卡..." (maintenance): reads a binary palette file into a copy of the thread table and
    // writes its text listing; the count of records read stays in readColorRecords().
    void readPalette();
    [[nodiscard]] int readColorRecords() const { return readColorRecords_; }

    [[nodiscard]] bool running() const { return running_; }
    void setRunning(bool running) { running_ = running; }
    // The chart as drawn on the canvas ("保存" writes it), with every change of the model since.
    [[nodiscard]] const QImage& canvas() const;
    // The view of the canvas (Picture1): zoom, scrolling and the pointer's canvas positions.
    [[nodiscard]] ChartCanvasView* canvasView() const { return view_; }
    // After a change of the chart model's cells: lays out again what depends on the counts
    // (legend, totals, colour count) and repaints the cells in view. What "保存" and the final
    // preview show follows.
    void refreshChart();

    // The stitch tools and the editing they drive.
    [[nodiscard]] StitchToolPanel* toolPanel() const { return toolPanel_; }
    [[nodiscard]] ChartEditController* editing() const { return editing_; }

    // Every change to the chart, undoable; clean while the chart has no unsaved edits.
    [[nodiscard]] QUndoStack* undoStack() { return undoStack_; }
    // True when the chart holds edits no project file has: changes since it was generated,
    // opened or saved with "保存绣图工程...", or a chart reopened from the autosave file.
    [[nodiscard]] bool hasUnsavedEdits() const;
    // Before edits would be lost (closing, another picture or project, a new generation, quitting):
    // asks 保存 / 不保存 / 取消 when there are any. True when the work may go on (nothing to
    // save, saved, or not wanted); false when cancelled or the save did not happen.
    bool confirmDiscardEdits();
    // At start-up: offers to reopen, one after the other, the charts that runs which ended
    // without closing left in their autosave files (not those of copies still running). A file
    // declined is removed; one reopened lives on in this copy's own autosave.
    void offerRecovery();
    [[nodiscard]] ChartAutosave& autosave() { return *autosave_; }
    // True once a generation got past its colour index: the model and the canvas hold a chart.
    [[nodiscard]] bool hasChart() const { return drawn_; }
    [[nodiscard]] ChartMode mode() const;
    // The rare-thread threshold as typed (0 while the box is empty).
    [[nodiscard]] int rareThreshold() const;
    [[nodiscard]] ChartPrinter& printer();
    // The colours of the chart's colour blocks: the reduced picture's, with edited cells in their
    // threads' colours; a chart from a project file, which has no reduced picture, in thread
    // colours throughout.
    [[nodiscard]] StitchMatrix blockColors() const;
    [[nodiscard]] FinalPreviewWindow* finalPreview() const { return preview_; }

    // Re-enables what generating or printing disabled here and in the main window.
    void setWorkControlsEnabled(bool enabled);
    void setStatus(const QString& text);
    void hideStatus();
    // Sets the progress bar to done / total (nothing shown for total <= 0).
    void setProgress(int done, int total);
    void setStopCaption(const QString& caption);

    // Where "保存" writes; by default the file dialog. Tests replace it. An empty name cancels.
    std::function<QString()> chooseSavePath;
    // The project files of "打开绣图工程..." and "保存绣图工程..."; empty names cancel.
    std::function<QString()> chooseProjectToOpen;
    std::function<QString()> chooseProjectToSave;
    // The pattern's options and file for "导出PDF图纸"; by default the pattern dialog and the
    // file dialog. Tests replace them. No options or an empty name cancels.
    std::function<std::optional<PatternOptions>()> choosePatternOptions;
    std::function<QString()> choosePatternPath;
    // The palette file read and the text file written by "读取色卡..."; empty names cancel.
    std::function<QString()> choosePaletteFile;
    std::function<QString()> chooseListingFile;
    // The questions of confirmDiscardEdits() and offerRecovery(); by default message boxes
    // (UnsavedChangesPrompt). Tests replace them.
    std::function<UnsavedChangesPrompt::Choice()> askToSave;
    std::function<bool(const QString& savedAt)> askToReopen;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildSafety();
    // The stitch tools beside the chart and the routing of the canvas's input to them.
    void buildEditing();
    // A complete chart is on screen: editing starts with an empty history.
    void startEditing();
    void mergeSliderChanged(int value);
    void thresholdTextChanged(const QString& text);
    [[nodiscard]] bool buildChartModel();
    void drawChart(const ChartLayout& layout, const ChartOptions& options);
    // Shows the chart model in the view, laid out with chartOptions_.
    void showChartInView();
    void finishGeneration(bool completed);
    // The state before a first generation: no chart, status hidden, "打印", "保存" disabled.
    void showIdle();
    void setPatternReady(bool ready);
    // The chart as "保存绣图工程..." writes it; none while no complete model exists.
    [[nodiscard]] std::optional<ChartProject> currentProject() const;
    // After every change on the undo stack: the autosave and the title follow the unsaved state.
    void editsChanged();
    // The title names the chart's project file (or "未命名") and marks unsaved edits.
    void showTitle();
    // A new chart: no edits, nothing to undo.
    void clearEdits();
    void showPointerCell(QPointF canvasPoint);

    RunState& state_;
    MainWindow& mainWindow_;
    bool running_ = false;
    bool drawn_ = false; // the canvas holds a chart (complete or stopped)
    bool patternReady_ = false; // the last generation completed: its chart can be exported
    bool exporting_ = false;
    int busyDepth_ = 0;
    int readColorRecords_ = 0;
    int fabricCount_ = 14; // stitches per inch written to a project: a project's own, else 14
    std::vector<int> generatedThreads_; // colorIndex as the last generation from the picture left it
    std::string settingsTitle_; // xiutuTitle and whichType from before a project was opened
    std::string settingsBrand_;
    // Painted by a generation; after a change of the model it is painted again when next read.
    mutable QImage canvas_;
    mutable bool canvasStale_ = false;
    ChartOptions chartOptions_; // how the chart on the canvas was laid out

    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command5_ = nullptr;
    QPushButton* command6_ = nullptr;
    QPushButton* openProject_ = nullptr;
    QPushButton* saveProject_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QScrollBar* hScroll1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLabel* label1_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ChartCanvasView* view_ = nullptr;
    QScrollBar* hScroll2_ = nullptr;
    QScrollBar* vScroll1_ = nullptr;
    QWidget* controls_ = nullptr;
    FinalPreviewWindow* preview_ = nullptr;
    std::unique_ptr<ChartPrinter> printer_;
    std::unique_ptr<PrintPreview> printPreview_;
    QPushButton* previewButton_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    ChartAutosave* autosave_ = nullptr;
    ChartNavigationBar* navigationBar_ = nullptr;
    StitchToolPanel* toolPanel_ = nullptr;
    ChartEditController* editing_ = nullptr;
    bool recovered_ = false;       // the chart came back from the autosave file and is not saved yet
    bool editsDiscarded_ = false;  // the user chose 不保存 for the edits there are
    WindowTitle title_;            // its file: the project the chart was opened from or saved to
};

} // namespace kanvo
