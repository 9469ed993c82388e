#pragma once

#include <QObject>
#include <QPointer>

#include "app/reduce/ChartSettingsWindow.h"
#include "core/reduce/ReductionPipeline.h"

namespace kanvo {

class MainWindow;
class WindowHub;

// The window side of the colour reduction: runs the pipeline on the main window's zoomed
// surface `Picture4` and shows its status texts and messages; owns the chart settings window.
//
// install() creates one controller as a child of the main window and sets the hub's hooks:
// colourReduction (`Label10`, run by "效果预览->"), effectPreview (`Command2`), saveEffect
// ("保存效果") and showSettingsWindow ("绣图设置", "超级减色", the settings menu entries).
class ReductionController : public QObject {
    Q_OBJECT

public:
    // The caption of the "无法创建！" message.
    static constexpr const char* kApplicationTitle = QT_TR_NOOP("十字绣Kanvo");
    static constexpr const char* kSaveTitle = "quillex";
    static constexpr const char* kErrorTitle = QT_TR_NOOP("错误！");

    ReductionController(MainWindow& mainWindow, WindowHub& hub);
    ~ReductionController() override;

    static ReductionController* install(MainWindow& mainWindow, WindowHub& hub);

    bool superReduce();
    bool effectPreview();
    ReductionPipeline::SaveOutcome saveEffect();
    void showSettings();

    // The settings window once it was opened; null before.
    [[nodiscard]] ChartSettingsWindow* settingsWindow() const { return settings_; }
    [[nodiscard]] ReductionPipeline& pipeline() { return pipeline_; }

private:
    [[nodiscard]] ReductionPipeline::Hooks makeHooks();
    void report(ReduceError error, const std::string& detail);
    void redrawGrid();
    void setBusy(bool busy);

    MainWindow& mainWindow_;
    WindowHub& hub_;
    ReductionPipeline pipeline_;
    int busyDepth_ = 0; // busy pointers the pipeline has set and not yet restored
    QPointer<ChartSettingsWindow> settings_;
};

} // namespace kanvo
