#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QImage>
#include <QString>

#include "core/chart/ChartMode.h"
#include "core/palette/ChartModel.h"
#include "core/pattern/PatternLayout.h"
#include "core/project/ChartProject.h"
#include "core/reduce/ReductionMethod.h"
#include "core/workspace/RunState.h"

namespace kanvo {

class HeadlessWorkspace;
class ThreadTable;

// What the chart maker is asked to make: the picture, how the grid is fitted to it, and the
// choices of the chart settings and chart windows.
struct ChartRequest {
    QString input;                // BMP, JPEG or GIF, as the main window accepts them
    // The grid size bars: width 16..230 (part mode: the default is 117), height 16..250 (the
    // default fitted to the picture). Beyond the main window's 230 x 250, up to the chart's own
    // 320 x 320, the bars are given the larger range for the run.
    std::optional<int> width;
    std::optional<int> height;
    bool whole = false;           // "全图" after the size is set
    std::optional<int> zoom;      // the zoom bar, last (whole mode: the grid width)
    int colorBit = ReductionMethod::kDefault;
    int strength = 0;             // the settings window's strength: mergeTol = strength x 20
    ThreadReductionSettings threadReduction; // the settings of the "精选绣线" method
    int rareThreshold = 5;        // the chart window's "可忽略颜色出现次数"
    ChartMode mode = ChartMode::SymbolsOnly;
    int blockW = 10;
    int blockH = 10;
    std::string title;            // empty: the chart's default title
    // Unstitched background: the region joined to the chart's border whose threads lie within
    // this CIEDE2000 difference of the border's most common thread is emptied. 0 leaves it.
    double background = 0;
};

// Makes a chart without any window: the picture loaded and fitted by the headless workspace
// (the main window's workspace model), the colour reduction of "效果预览->" (the reduction
// pipeline), the colour index of "生成", and the chart window's canvas or the printed page
// (chart layout, print layout, chart painter). Needs a QGuiApplication; runs on its thread.
class ChartMaker {
public:
    enum class Stage { Loading, Reducing, Indexing, Drawing };

    // Called at each stage start (done 0) and as rows are done; total 0 when unknown.
    std::function<void(Stage stage, int done, int total)> progress;

    // Runs everything up to the painted canvas. False with a one-line reason in error().
    [[nodiscard]] bool make(const ChartRequest& request);
    // Reads the chart of an OXS project file (request.input) instead of fitting and reducing a
    // picture; of the request only the mode, the blocks, the rare-thread threshold and a title
    // that is not empty count. What the file held that a chart cannot show is in importNotes().
    [[nodiscard]] bool makeFromProject(const ChartRequest& request);

    // The outputs of a successful make(); each file is written whole or not at all, leaving an
    // existing file as it was on failure. False with the reason in error().
    [[nodiscard]] bool saveBitmap(const QString& path); // the chart window's "保存" file
    [[nodiscard]] bool savePng(const QString& path);
    [[nodiscard]] bool savePdf(const QString& path);    // the printed page (A4)
    [[nodiscard]] bool saveLegend(const QString& path); // legendCsv()
    [[nodiscard]] bool saveGrid(const QString& path);   // ChartGridText::csv()
    [[nodiscard]] bool saveProject(const QString& path); // the chart as an OXS project file
    // The multi-page pattern (cover, key, chart pages) of the chart window's "导出PDF图纸";
    // the block size is the chart's own.
    [[nodiscard]] bool savePattern(const QString& path, const PatternOptions& options);

    // "symbol,thread,count" and one line per legend entry in legend order (UTF-8, LF). A chart
    // with part stitches, back stitches, knots or beads gets a fourth column, kind: "full" for
    // the legend entries with full stitches, then per kind ("part", "back", "knot", "bead") one
    // line per legend thread that has such elements, counting them (back stitches as segments).
    [[nodiscard]] static std::string legendCsv(const ChartModel& model, const ThreadTable& table);

    [[nodiscard]] const std::string& error() const { return error_; }
    [[nodiscard]] const RunState& state() const { return state_; }
    [[nodiscard]] const ChartModel& model() const { return state_.chart; }
    [[nodiscard]] const QImage& canvas() const { return canvas_; }
    [[nodiscard]] const ImportNotes& importNotes() const { return notes_; }

private:
    bool fail(std::string reason);
    bool saveText(const QString& path, const std::string& csv);
    void start(const ChartRequest& request); // forgets the previous chart
    bool fitGrid(const ChartRequest& request, HeadlessWorkspace& workspace);
    void report(Stage stage, int done, int total) const;
    bool drawCanvas();
    void removeBackground(const ChartRequest& request);
    // The colours of the colour blocks: the reduced picture, or a project's thread colours.
    [[nodiscard]] StitchMatrix blockColors() const;

    RunState state_;
    ChartMode mode_ = ChartMode::SymbolsOnly;
    QImage canvas_;
    std::string error_;
    ImportNotes notes_;
    int fabricCount_ = ChartProject::kDefaultFabricCount;
};

} // namespace kanvo
