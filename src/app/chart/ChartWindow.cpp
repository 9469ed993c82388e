#include "app/chart/ChartWindow.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QUndoStack>

#include "app/chart/AutosaveSlot.h"
#include "app/chart/AutosaveWarning.h"
#include "app/chart/ChartAutosave.h"
#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartEditController.h"
#include "app/chart/ChartNavigationBar.h"
#include "app/chart/ChartPrinter.h"
#include "app/chart/FinalPreviewWindow.h"
#include "app/chart/FramePacer.h"
#include "app/chart/PatternDialog.h"
#include "app/chart/PatternPdf.h"
#include "app/chart/PrintPreview.h"
#include "app/chart/ScreenChart.h"
#include "app/chart/StitchLayerSwitches.h"
#include "app/chart/StitchToolPanel.h"
#include "app/platform/FileDialogs.h"
#include "app/platform/MessageBoxes.h"
#include "app/platform/WindowGeometry.h"
#include "app/workspace/FileDropFilter.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/chart/ChartLayout.h"
#include "core/chart/ChartTexts.h"
#include "core/common/Rounding.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/PaletteFile.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "core/workspace/RunState.h"

namespace kanvo {

namespace {

constexpr const char* kSavedTitle = "Quillex,make life fun!";
constexpr const char* kSavedText = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "  绣图文件保存成功在%1");
constexpr const char* kPreviewRefusedTitle = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "Quillex 你身边的好软件");
constexpr const char* kPreviewRefused = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "请先点一次 生成 按钮，再进行最终效果预览");
constexpr const char* kPatternTitle = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "导出PDF图纸");
constexpr const char* kPatternStatus = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "正在导出PDF图纸，请等待....");
constexpr const char* kPatternStopped = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "PDF图纸导出已中止，没有写入文件");
constexpr const char* kThresholdTitle = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "奎乐软件");
constexpr const char* kThresholdError = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "输入有错误,只能是数字");
constexpr const char* kBrandTitle = "Quillex inc.";
constexpr const char* kBrandError = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "    只有DMC绣线带有颜色表，请在绣图设置中选择DMC绣线后再生成。    ");

constexpr const char* kProjectFilter = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "绣图工程 (*.oxs)");
constexpr const char* kNoChartToSave = QT_TRANSLATE_NOOP("kanvo::ChartWindow", "还没有绣图可以保存，请先点一次 生成 按钮，或打开一个绣图工程。");

const char* const kThresholds[] = {"0", "5", "10", "15", "20", "25", "35", "40", "45", "50"};

// The threshold box holds a 16-bit integer.
std::optional<int> thresholdValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max())
        return std::nullopt;
    return value;
}

} // namespace

ChartWindow::ChartWindow(RunState& state, MainWindow& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), mainWindow_(mainWindow), title_(*this, tr(kTitle))
{
    setObjectName(QStringLiteral("Form4"));
    buildControls();
    resize(980, 720);
    chooseSavePath = [this] {
        return FileDialogs::saveFile(this, QStringLiteral("chartBitmap"), tr("保存绣图"), QString(),
            tr("位图文件 (*.bmp)"));
    };
    chooseProjectToOpen = [this] {
        return FileDialogs::openFile(this, QStringLiteral("chartProject"), tr("打开绣图工程"), tr(kProjectFilter));
    };
    chooseProjectToSave = [this] {
        return FileDialogs::saveFile(this, QStringLiteral("chartProject"), tr("保存绣图工程"), QString(), tr(kProjectFilter));
    };
    choosePatternOptions = [this]() -> std::optional<PatternOptions> {
        PatternDialog dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.options();
    };
    choosePatternPath = [this] {
        const QString title = QString::fromStdString(chart_texts::title(state_.chart));
        return FileDialogs::saveFile(this, QStringLiteral("pattern"), tr(kPatternTitle), title + QStringLiteral(".pdf"),
            tr("PDF文件 (*.pdf)"));
    };
    choosePaletteFile = [this] {
        return FileDialogs::openFile(this, QStringLiteral("palette"), tr("选择线色文件"),
            tr("线色文件 (*.pal);;所有文件 (*)"));
    };
    chooseListingFile = [this] {
        return FileDialogs::saveFile(this, QStringLiteral("paletteListing"), tr("保存线色列表"), QStringLiteral("dmcbas.txt"),
            tr("文本文件 (*.txt)"));
    };
    buildSafety();
    buildEditing();
    // The standard keys of saving the project and printing, named in the buttons' tips.
    const auto shortcut = [this](QPushButton* button, QKeySequence::StandardKey key, auto handler) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        addAction(action);
        connect(action, &QAction::triggered, this, [button, handler] {
            if (button->isEnabled())
                handler();
        });
        button->setToolTip(action->shortcut().toString(QKeySequence::NativeText));
    };
    shortcut(saveProject_, QKeySequence::Save, [this] { saveProject(); });
    shortcut(command3_, QKeySequence::Print, [this] {
        if (!running_)
            printChart();
    });
}

void ChartWindow::buildEditing()
{
    toolPanel_->setUndoStack(*undoStack_);
    editing_ = new ChartEditController(state_.chart, loadedThreadTable(), *undoStack_, *toolPanel_, this);
    editing_->layout = [this] { return view_->layout(); };
    editing_->changed = [this] { refreshChart(); };
    editing_->repaint = [this] { view_->update(); };
    // The eraser, the picker and the status bar reach only the layers the view shows.
    if (auto* switches = findChild<StitchLayerSwitches*>())
        editing_->layerVisible = [switches](StitchLayerKind kind) {
            const LayerVisibility shown = switches->visibility();
            return kind == StitchLayerKind::Part ? shown.parts : kind == StitchLayerKind::Back ? shown.backs : shown.ornaments;
        };
    view_->drawOverlay = [this](QPainter& painter, const QTransform& canvasToView) {
        editing_->drawOverlay(painter, canvasToView);
    };
    connect(view_, &ChartCanvasView::canvasPressed, editing_, &ChartEditController::pressed);
    connect(view_, &ChartCanvasView::canvasDragged, editing_, &ChartEditController::dragged);
    connect(view_, &ChartCanvasView::canvasReleased, editing_, &ChartEditController::released);
    connect(view_, &ChartCanvasView::canvasCancelled, editing_, &ChartEditController::cancelled);
    connect(view_, &ChartCanvasView::pointerMoved, editing_, &ChartEditController::hovered);
    auto* clearSelection = new QShortcut(QKeySequence::Delete, this);
    connect(clearSelection, &QShortcut::activated, editing_, &ChartEditController::clearSelection);
}

void ChartWindow::startEditing()
{
    editing_->startEditing(rareThreshold());
}

void ChartWindow::buildSafety()
{
    undoStack_ = new QUndoStack(this);
    autosave_ = new ChartAutosave(this);
    autosave_->snapshot = [this] { return hasUnsavedEdits() ? currentProject() : std::nullopt; };
    new AutosaveWarning(*autosave_, *navigationBar_, *this);
    connect(undoStack_, &QUndoStack::indexChanged, this, [this] {
        editsDiscarded_ = false; // a new change, not among those given up
        editsChanged();
    });
    connect(undoStack_, &QUndoStack::cleanChanged, this, &ChartWindow::editsChanged);
    askToSave = [this] { return UnsavedChangesPrompt::askToSave(this); };
    askToReopen = [this](const QString& savedAt) { return UnsavedChangesPrompt::askToReopen(this, savedAt); };
}

ChartWindow::~ChartWindow()
{
    // The stack clears itself as it goes; that is no change of the chart, and the autosave of a
    // run that never closed the window must stay.
    undoStack_->disconnect(this);
    // The editing clears the stack its commands are on, so it goes while the stack is there
    // (children are deleted in the order they were made, and the stack came first).
    view_->drawOverlay = nullptr;
    delete editing_;
    editing_ = nullptr;
}

void ChartWindow::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto window = std::make_shared<QPointer<ChartWindow>>();
    const auto ensureWindow = [&mainWindow, &hub, window]() -> ChartWindow& {
        if (window->isNull()) {
            // A child of the main window in its own frame: it goes when the main window goes.
            *window = new ChartWindow(mainWindow.runState(), mainWindow, &mainWindow);
            hub.adoptWindow(*window);
            FileDropFilter::install(**window, hub);
            WindowGeometry::keep(**window);
        }
        return **window;
    };
    hub.showChartWindow = [ensureWindow] { ensureWindow().openWindow(); };
    hub.openChartProject = [ensureWindow] { ensureWindow().openProject(); };
    hub.saveChartProject = [ensureWindow] { ensureWindow().saveProject(); };
    hub.openChartProjectFile = [ensureWindow](const QString& path) { return ensureWindow().openProjectFrom(path); };
    hub.confirmChartChanges = [window] { return window->isNull() || (*window)->confirmDiscardEdits(); };
    hub.offerChartRecovery = [ensureWindow] {
        if (!AutosaveSlot::orphans(ChartAutosave::defaultFolder()).empty())
            ensureWindow().offerRecovery();
    };
    hub.redrawProjectChart = [ensureWindow] {
        ChartWindow& chart = ensureWindow();
        chart.show();
        chart.raise();
        chart.generate();
    };
}

void ChartWindow::buildControls()
{
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(tr(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        return b;
    };
    auto label = [this](const char* caption) { return new QLabel(tr(caption), this); };

    command1_ = button("Command1", QT_TR_NOOP("生成"));
    command2_ = button("Command2", QT_TR_NOOP("保存"));
    command3_ = button("Command3", kPrintCaption);
    command4_ = button("Command4", QT_TR_NOOP("最终效果预览"));
    command5_ = button("Command5", QT_TR_NOOP("读取色卡..."));
    command6_ = button("Command6", kPatternTitle);
    previewButton_ = button("cmdPrintPreview", QT_TR_NOOP("打印预览"));
    openProject_ = button("cmdOpenProject", QT_TR_NOOP("打开绣图工程..."));
    saveProject_ = button("cmdSaveProject", QT_TR_NOOP("保存绣图工程..."));
    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    for (ChartMode m : {ChartMode::BlocksAndSymbols, ChartMode::SymbolsOnly, ChartMode::BlocksOnly})
        combo1_->addItem(QCoreApplication::translate("ChartMode", chartModeText(m).data()), static_cast<int>(m));
    combo2_ = new QComboBox(this);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setEditable(true);
    for (const char* t : kThresholds)
        combo2_->addItem(QString::fromUtf8(t));
    combo2_->setEditText(QStringLiteral("5"));
    combo1_->setCurrentIndex(combo1_->findData(static_cast<int>(ChartMode::SymbolsOnly)));
    check1_ = new QCheckBox(tr("显示全部色块"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    hScroll1_ = new QScrollBar(Qt::Horizontal, this);
    hScroll1_->setObjectName(QStringLiteral("HScroll1"));
    hScroll1_->setRange(1, 300);
    hScroll1_->setPageStep(10);
    hScroll1_->setValue(300);
    hScroll1_->setMinimumWidth(160);
    text1_ = new QLineEdit(QStringLiteral("0"), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setFixedWidth(50);
    label1_ = new QLabel(tr(kInitialStatus), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->hide();
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(14);

    auto* top = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(command1_), static_cast<QWidget*>(command2_),
             static_cast<QWidget*>(command6_), static_cast<QWidget*>(command3_), static_cast<QWidget*>(previewButton_),
             static_cast<QWidget*>(command4_),
             static_cast<QWidget*>(openProject_), static_cast<QWidget*>(saveProject_)})
        top->addWidget(w);
    top->addSpacing(12);
    top->addWidget(combo1_);
    top->addSpacing(12);
    top->addWidget(label(QT_TR_NOOP("绣线数量：")));
    top->addWidget(text1_);
    top->addStretch(1);
    top->addWidget(command5_);

    auto* second = new QHBoxLayout;
    second->addWidget(label(QT_TR_NOOP("可忽略颜色出现次数")));
    second->addWidget(combo2_);
    second->addWidget(check1_);
    second->addSpacing(16);
    second->addWidget(label(QT_TR_NOOP("减色设置：")));
    second->addWidget(label(QT_TR_NOOP("更少的绣线")));
    second->addWidget(hScroll1_, 1);
    second->addWidget(label(QT_TR_NOOP("更好的效果")));

    auto* status = new QHBoxLayout;
    status->addWidget(label1_, 1);
    status->addWidget(progress_, 1);

    view_ = new ChartCanvasView(canvas_, this);
    hScroll2_ = new QScrollBar(Qt::Horizontal, this);
    hScroll2_->setObjectName(QStringLiteral("HScroll2"));
    vScroll1_ = new QScrollBar(Qt::Vertical, this);
    vScroll1_->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {hScroll2_, vScroll1_}) {
        bar->setRange(0, 0);
        bar->setSingleStep(20);
    }
    auto* viewport = new QGridLayout;
    viewport->setSpacing(0);
    viewport->addWidget(view_, 0, 0);
    viewport->addWidget(vScroll1_, 0, 1);
    viewport->addWidget(hScroll2_, 1, 0);
    toolPanel_ = new StitchToolPanel(loadedThreadTable(), this);
    viewport->addWidget(toolPanel_, 0, 2, 2, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(second);
    page->addLayout(status);
    page->addLayout(viewport, 1);
    navigationBar_ = new ChartNavigationBar(this);
    page->addWidget(navigationBar_);
    auto* layerSwitches = new StitchLayerSwitches(this);
    navigationBar_->addPermanentWidget(layerSwitches);
    connect(layerSwitches, &StitchLayerSwitches::changed, view_, &ChartCanvasView::setLayerVisibility);

    connect(command1_, &QPushButton::clicked, this, &ChartWindow::generate);
    connect(command2_, &QPushButton::clicked, this, &ChartWindow::saveChart);
    connect(command3_, &QPushButton::clicked, this, &ChartWindow::stopOrPrint);
    connect(command4_, &QPushButton::clicked, this, &ChartWindow::showFinalPreview);
    connect(command5_, &QPushButton::clicked, this, &ChartWindow::readPalette);
    connect(command6_, &QPushButton::clicked, this, &ChartWindow::exportPattern);
    connect(previewButton_, &QPushButton::clicked, this, &ChartWindow::showPrintPreview);
    connect(openProject_, &QPushButton::clicked, this, &ChartWindow::openProject);
    connect(saveProject_, &QPushButton::clicked, this, &ChartWindow::saveProject);
    connect(hScroll1_, &QScrollBar::valueChanged, this, &ChartWindow::mergeSliderChanged);
    connect(combo2_, &QComboBox::editTextChanged, this, &ChartWindow::thresholdTextChanged);
    connect(check1_, &QCheckBox::clicked, this, [this] { combo2_->setEditText(QStringLiteral("0")); });
    view_->setScrollBars(hScroll2_, vScroll1_);
    connect(view_, &ChartCanvasView::zoomChanged, navigationBar_, &ChartNavigationBar::showZoom);
    connect(view_, &ChartCanvasView::pointerMoved, this, &ChartWindow::showPointerCell);
    connect(view_, &ChartCanvasView::pointerLeft, navigationBar_, &ChartNavigationBar::showNoCell);
    connect(navigationBar_, &ChartNavigationBar::fitRequested, view_, &ChartCanvasView::fitToWindow);
    command2_->setEnabled(false);
    command6_->setEnabled(false);
}

void ChartWindow::openWindow()
{
    ChartModel& model = state_.chart;
    if (model.fromProject) {
        // The window now charts the main window's picture; the project's chart is not its chart.
        model.fromProject = false;
        model.chartReady = false;
        model.xiutuTitle = state_.settingsTitle;
        model.whichType = state_.settingsBrand;
        fabricCount_ = ChartProject::kDefaultFabricCount;
        model.layers = {};
    }
    model.gw = std::min(state_.gridWidth(), ChartModel::kMaxSide);
    model.gh = std::min(state_.picH, ChartModel::kMaxSide);
    (void)loadedThreadTable(); // the table is built once and reused
    // The slider shows the tolerance chosen in the settings; a tolerance beyond the slider's
    // range stays as chosen (the slider then rests at its left end).
    const int position = std::clamp(300 - roundHalfEvenInt(state_.mergeTol / 20.0), 1, 300);
    if (position != hScroll1_->value()) {
        const QSignalBlocker block(hScroll1_);
        hScroll1_->setValue(position);
        model.chartReady = false;
    }
    show();
    raise();
    activateWindow();
}

void ChartWindow::mergeSliderChanged(int value)
{
    state_.mergeTol = (300 - value) * 20;
    state_.chart.chartReady = false;
    setPatternReady(false);
}

void ChartWindow::thresholdTextChanged(const QString& text)
{
    // An empty box is the user about to type a new number.
    if (text.isEmpty() || thresholdValue(text))
        return;
    combo2_->setEditText(QStringLiteral("0"));
    MessageBoxes::current().information(this, tr(kThresholdTitle), tr(kThresholdError));
}

ChartMode ChartWindow::mode() const
{
    const QVariant mode = combo1_->currentData();
    return mode.isValid() ? static_cast<ChartMode>(mode.toInt()) : ChartMode::SymbolsOnly;
}

int ChartWindow::rareThreshold() const
{
    return thresholdValue(combo2_->currentText()).value_or(0);
}

void ChartWindow::setWorkControlsEnabled(bool enabled)
{
    command1_->setEnabled(enabled);
    command2_->setEnabled(enabled && drawn_);
    command6_->setEnabled(enabled && patternReady_);
    previewButton_->setEnabled(enabled);
    mainWindow_.setWorkControlsEnabled(enabled);
    // No edits while a chart is printed or exported from the model.
    toolPanel_->setEnabled(enabled && editing_ != nullptr && editing_->editing());
    if (!enabled) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else {
        for (; busyDepth_ > 0; --busyDepth_)
            QApplication::restoreOverrideCursor();
    }
}

void ChartWindow::setStatus(const QString& text)
{
    label1_->setText(text);
    label1_->show();
}

void ChartWindow::hideStatus()
{
    label1_->hide();
}

void ChartWindow::setProgress(int done, int total)
{
    progress_->setValue(total > 0 ? static_cast<int>(1000LL * std::clamp(done, 0, total) / total) : 0);
}

void ChartWindow::setStopCaption(const QString& caption)
{
    command3_->setText(caption);
}

void ChartWindow::generate()
{
    ChartModel& model = state_.chart;
    if (exporting_ || !confirmDiscardEdits())
        return;
    editing_->stopEditing();
    clearEdits();
    model.chartReady = false;
    drawn_ = false;
    setPatternReady(false);
    canvas_.fill(Qt::white);
    canvasStale_ = false;
    view_->showCanvas();
    running_ = true;
    setWorkControlsEnabled(false);
    label1_->setText(tr(kInitialStatus));
    label1_->show();
    if (model.whichType.empty())
        model.whichType = "DMC";
    setStopCaption(tr(kStopCaption));
    if (model.fromProject) {
        // A project's chart is drawn as it is; only the legend follows the rare-thread box.
        completeChart(model, rareThreshold(), loadedThreadTable());
        text1_->setText(QString::number(model.colorCount));
    } else {
        title_.setFile(QString()); // a new chart of the picture, in no project yet
        model.gw = std::min(state_.gridWidth(), ChartModel::kMaxSide);
        model.gh = std::min(state_.picH, ChartModel::kMaxSide);
        if (!buildChartModel())
            return;
    }
    generatedThreads_ = model.fromProject ? std::vector<int>() : model.colorIndex;
    label1_->hide();

    const ChartOptions options{state_.blockW, state_.blockH, mode(), state_.ColorBit};
    drawChart(ScreenChart::layout(model, options), options);
}

bool ChartWindow::buildChartModel()
{
    ChartModel& model = state_.chart;
    ColorIndexHooks hooks;
    hooks.stage = [this](ColorIndexStage stage) {
        setStatus(QString::fromStdString(stageText(stage)));
    };
    hooks.progress = [this](int done, int total) {
        setProgress(done, total);
        QCoreApplication::processEvents();
    };
    hooks.stopRequested = [this] { return !running_; };
    const ColorIndexError error = generateChartModel(state_.stitchMatrix, model,
        ColorIndexSettings{state_.mergeTol, rareThreshold()}, loadedThreadTable(), hooks);
    text1_->setText(QString::number(model.colorCount));
    switch (error) {
    case ColorIndexError::None:
        return true;
    case ColorIndexError::TooManyColors:
        running_ = false;
        finishGeneration(false);
        MessageBoxes::current().information(this, QString::fromStdString(errorCaption(error)),
            QString::fromStdString(errorText(error)));
        // Nothing of this generation stays: the next opening shows the window as before a first one.
        showIdle();
        close();
        return false;
    case ColorIndexError::UnsupportedBrand:
        running_ = false;
        finishGeneration(false);
        MessageBoxes::current().information(this, tr(kBrandTitle), tr(kBrandError));
        return false;
    case ColorIndexError::Stopped:
    case ColorIndexError::InvalidSize:
        // A partly built model is never drawn.
        running_ = false;
        finishGeneration(false);
        return false;
    }
    return false;
}

void ChartWindow::drawChart(const ChartLayout& layout, const ChartOptions& options)
{
    // generate() cleared the canvas: a chart of the same size is drawn on it again, not on a new one.
    if (canvas_.size() != QSize(layout.geometry().canvasWidth, layout.geometry().canvasHeight))
        canvas_ = ScreenChart::blankCanvas(layout);
    chartOptions_ = options;
    view_->showCanvas();
    drawn_ = true;

    const int gh = state_.chart.gh;
    bool symbolsStarted = false;
    const auto before = [&](const DrawSection& section) {
        // Only the passes that test the stop flag end early; the rulers and the legend are
        // drawn whatever happens.
        const bool stoppable = section.stage == DrawStage::GridLines || section.stage == DrawStage::Blocks
            || section.stage == DrawStage::Symbols;
        if (section.stage == DrawStage::Symbols && !symbolsStarted) {
            symbolsStarted = true;
            setProgress(0, gh);
        }
        if (stoppable && !running_)
            return section.stage == DrawStage::Symbols ? ScreenChart::Step::Stop : ScreenChart::Step::Skip;
        return ScreenChart::Step::Paint;
    };
    // The window shows the canvas growing and the progress a frame at a time, not after each of
    // the hundreds of rows.
    FramePacer pacer(*this);
    const auto after = [&](const DrawSection& section) {
        if (section.row >= 0) {
            const int rowsDone = section.row + 1;
            setProgress(rowsDone, gh);
            if (section.stage == DrawStage::Symbols)
                vScroll1_->setValue(roundHalfEvenInt(rowsDone * (vScroll1_->maximum() * 0.9) / gh));
        }
        view_->update();
        pacer.yield();
    };
    ScreenChart::paint(canvas_, layout, before, after);
    // A stopped chart stays as far as it was drawn; a complete one is drawn by the view itself.
    if (running_) {
        showChartInView();
        startEditing();
    }
    view_->scrollToTopLeft();
    view_->update();
    finishGeneration(running_);
}

void ChartWindow::showChartInView()
{
    const ChartModel& model = state_.chart;
    view_->showChart(model, std::make_shared<const ChartLayout>(ScreenChart::frame(model, chartOptions_)), chartOptions_);
}

void ChartWindow::showPointerCell(QPointF canvasPoint)
{
    const ChartLayout* layout = view_->layout();
    const std::optional<CellPos> cell = layout ? layout->cellAt(canvasPoint.x(), canvasPoint.y()) : std::nullopt;
    if (!cell) {
        navigationBar_->showNoCell();
        return;
    }
    const ChartModel& model = state_.chart;
    const int thread = model.threadAt(cell->x, cell->y);
    QString threadText;
    if (ThreadTable::isThread(thread)) {
        const QString brand = QString::fromStdString(model.whichType.empty() ? "DMC" : model.whichType);
        const QString number = QString::number(loadedThreadTable().dmc(thread).cindex);
        const std::string_view symbol = model.symbolOf(thread);
        threadText = symbol.empty() ? tr("%1 %2").arg(brand, number)
                                    : tr("%1 %2  符号 %3").arg(brand, number,
                                          QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())));
    }
    // A back stitch, knot or part stitch lies over the cell: the status bar names it instead.
    if (const QString element = editing_->elementText(canvasPoint); !element.isEmpty())
        threadText = element;
    navigationBar_->showCell(cell->y + 1, cell->x + 1, threadText);
}

void ChartWindow::refreshChart()
{
    if (!drawn_)
        return;
    text1_->setText(QString::number(state_.chart.colorCount));
    canvasStale_ = true;
    showChartInView();
    if (preview_ != nullptr && preview_->isVisible())
        preview_->openWindow();
}

const QImage& ChartWindow::canvas() const
{
    if (canvasStale_) {
        const ChartLayout layout = ScreenChart::layout(state_.chart, chartOptions_);
        canvas_ = ScreenChart::blankCanvas(layout);
        ScreenChart::paint(canvas_, layout);
        canvasStale_ = false;
    }
    return canvas_;
}

void ChartWindow::showIdle()
{
    canvas_ = QImage();
    canvasStale_ = false;
    drawn_ = false;
    view_->showCanvas();
    label1_->setText(tr(kInitialStatus));
    label1_->hide();
    progress_->setValue(0);
    text1_->setText(QStringLiteral("0"));
    setStopCaption(tr(kPrintCaption));
    command2_->setEnabled(false);
    showTitle();
}

void ChartWindow::finishGeneration(bool completed)
{
    setPatternReady(completed && state_.chart.chartReady);
    setWorkControlsEnabled(true);
    if (completed)
        setStopCaption(tr(kPrintCaption));
    showTitle();
}

void ChartWindow::setPatternReady(bool ready)
{
    patternReady_ = ready;
    command6_->setEnabled(ready && command1_->isEnabled());
}

void ChartWindow::stopOrPrint()
{
    if (exporting_) {
        running_ = false;
        return;
    }
    if (command3_->text() == tr(kStopCaption)) {
        running_ = false;
        command1_->setEnabled(true);
        return;
    }
    printChart();
}

void ChartWindow::closeEvent(QCloseEvent* event)
{
    if (!confirmDiscardEdits()) {
        event->ignore();
        return;
    }
    running_ = false;
    // A normal close: nothing is left to reopen.
    autosave_->discard();
    QWidget::closeEvent(event);
}

bool ChartWindow::hasUnsavedEdits() const
{
    return drawn_ && !editsDiscarded_ && (recovered_ || !undoStack_->isClean());
}

bool ChartWindow::confirmDiscardEdits()
{
    if (!hasUnsavedEdits())
        return true;
    switch (askToSave ? askToSave() : UnsavedChangesPrompt::Choice::Cancel) {
    case UnsavedChangesPrompt::Choice::Save:
        saveProject();
        return !hasUnsavedEdits();
    case UnsavedChangesPrompt::Choice::Discard:
        editsDiscarded_ = true;
        autosave_->discard();
        return true;
    case UnsavedChangesPrompt::Choice::Cancel:
        break;
    }
    return false;
}

void ChartWindow::clearEdits()
{
    recovered_ = false;
    editsDiscarded_ = false;
    undoStack_->clear();
    editsChanged();
}

void ChartWindow::editsChanged()
{
    if (hasUnsavedEdits())
        autosave_->schedule();
    else
        autosave_->discard();
    showTitle();
}

void ChartWindow::showTitle()
{
    title_.show(drawn_, hasUnsavedEdits());
}

void ChartWindow::offerRecovery()
{
    // Only what copies no longer running left: a running copy's autosave is its own.
    for (const std::unique_ptr<AutosaveSlot>& orphan : AutosaveSlot::orphans(autosave_->folder())) {
        const QString savedAt = QLocale().toString(orphan->savedAt(), QLocale::ShortFormat);
        if (!askToReopen || !askToReopen(savedAt)) {
            orphan->remove(); // 不打开: this file, no other
            continue;
        }
        if (!openProjectFrom(orphan->filePath()))
            continue; // offered again at the next start
        // Still unsaved: kept in this copy's own file until the chart is saved or given up.
        recovered_ = true;
        title_.setFile(QString());
        showTitle();
        if (autosave_->flush())
            orphan->remove();
    }
}

std::optional<ChartProject> ChartWindow::currentProject() const
{
    // A generation still running has no complete model yet.
    if (!drawn_ || busyDepth_ > 0)
        return std::nullopt;
    ChartProject project;
    project.chart = state_.chart;
    project.stitchesPerInch = fabricCount_;
    project.stitchesPerInchY = fabricCount_;
    return project;
}

void ChartWindow::saveChart()
{
    QString path = chooseSavePath ? chooseSavePath() : QString();
    if (path.isEmpty())
        return;
    // A name typed without extension would be hidden by the ".bmp" filter of the next dialog.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bmp");
    (void)saveChartTo(path);
}

bool ChartWindow::saveChartTo(const QString& path)
{
    MessageBoxes& boxes = MessageBoxes::current();
    std::string error;
    if (!drawn_ || !ScreenChart::saveBitmap(canvas(), path, &error)) {
        boxes.error(this, tr(kSavedTitle),
            tr("  绣图文件无法保存在%1，原有文件没有改动。\n%2")
                .arg(path, error.empty() ? tr("还没有生成绣图。") : QString::fromStdString(error)));
        return false;
    }
    boxes.information(this, tr(kSavedTitle), tr(kSavedText).arg(path));
    return true;
}

void ChartWindow::exportPattern()
{
    const std::optional<PatternOptions> options = choosePatternOptions ? choosePatternOptions() : std::nullopt;
    if (!options)
        return;
    QString path = choosePatternPath ? choosePatternPath() : QString();
    if (path.isEmpty())
        return;
    // As with "保存": the dialog's filter shows PDF files only, and a viewer opens the file by
    // its name.
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    (void)exportPatternTo(path, *options);
}

bool ChartWindow::exportPatternTo(const QString& path, const PatternOptions& chosen)
{
    MessageBoxes& boxes = MessageBoxes::current();
    const auto failed = [&](const std::string& reason) {
        boxes.error(this, tr(kPatternTitle),
            tr("  PDF图纸无法保存在%1，原有文件没有改动。\n%2").arg(path, QString::fromStdString(reason)));
        return false;
    };
    if (exporting_)
        return false;
    if (!patternReady_ || !state_.chart.chartReady)
        return failed("no complete chart has been generated yet");

    PatternOptions options = chosen;
    options.blockW = state_.blockW;
    options.blockH = state_.blockH;
    exporting_ = true;
    running_ = true;
    const QString caption = command3_->text();
    setWorkControlsEnabled(false);
    setStopCaption(tr(kStopCaption));
    setStatus(tr(kPatternStatus));
    setProgress(0, 1);
    QCoreApplication::processEvents();

    const PatternLayout layout = PatternLayout::build(state_.chart, loadedThreadTable(), options);
    PatternPdf pdf;
    pdf.progress = [this](int done, int total) {
        setProgress(done, total);
        QCoreApplication::processEvents();
    };
    pdf.stopRequested = [this] { return !running_; };
    const PatternPdf::Result result = pdf.write(layout, path);

    running_ = false;
    exporting_ = false;
    setWorkControlsEnabled(true);
    setStopCaption(caption);
    switch (result) {
    case PatternPdf::Result::Written:
        setStatus(tr("PDF图纸已保存：%1").arg(path));
        boxes.information(this, tr(kSavedTitle), tr("  PDF图纸保存成功在%1").arg(path));
        return true;
    case PatternPdf::Result::Stopped:
        setStatus(tr(kPatternStopped));
        return false;
    case PatternPdf::Result::Failed:
        setStatus(QString());
        return failed(pdf.error());
    }
    return false;
}

void ChartWindow::showFinalPreview()
{
    if (!state_.chart.chartReady) {
        MessageBoxes::current().information(this, tr(kPreviewRefusedTitle), tr(kPreviewRefused));
        return;
    }
    if (preview_ == nullptr) {
        preview_ = new FinalPreviewWindow(state_, this);
        preview_->pictureColours = [this] { return blockColors(); };
    }
    preview_->openWindow();
}

void ChartWindow::openProject()
{
    const QString path = chooseProjectToOpen ? chooseProjectToOpen() : QString();
    if (!path.isEmpty() && openProjectFrom(path))
        mainWindow_.hub().invokeFileUsed(path);
}

void ChartWindow::saveProject()
{
    if (!drawn_ || busyDepth_ > 0) {
        MessageBoxes::current().information(this, tr(kSavedTitle), tr(kNoChartToSave));
        return;
    }
    QString path = chooseProjectToSave ? chooseProjectToSave() : QString();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".oxs");
    if (saveProjectTo(path))
        mainWindow_.hub().invokeFileUsed(path);
}

bool ChartWindow::openProjectFrom(const QString& path)
{
    MessageBoxes& boxes = MessageBoxes::current();
    const QString refused = tr("  无法打开绣图工程%1\n%2").arg(path);
    if (busyDepth_ > 0) {
        boxes.information(this, tr(kSavedTitle), refused.arg(tr("请等绣图生成或打印完成后再打开。")));
        return false;
    }
    const OxsReader::Result read = OxsReader::readFile(path.toStdString(), loadedThreadTable());
    if (read.error == ProjectError::None && !confirmDiscardEdits())
        return false;
    if (read.error != ProjectError::None) {
        const QString reason = QString::fromStdString(errorText(read.error));
        boxes.error(this, tr(kSavedTitle), refused.arg(read.detail.empty()
            ? reason : tr("%1 (%2)").arg(reason, QString::fromStdString(read.detail))));
        return false;
    }
    if (!state_.chart.fromProject) {
        // The settings window's title and brand come back when the picture is charted again.
        state_.settingsTitle = state_.chart.xiutuTitle;
        state_.settingsBrand = state_.chart.whichType;
    }
    state_.chart = read.project.chart;
    state_.chart.fromProject = true;
    fabricCount_ = read.project.stitchesPerInch;
    title_.setFile(path);
    show();
    raise();
    activateWindow();
    generate();
    if (!read.notes.empty())
        boxes.information(this, tr(kSavedTitle), QString::fromStdString(read.notes.text(loadedThreadTable())));
    return true;
}

bool ChartWindow::saveProjectTo(const QString& path)
{
    MessageBoxes& boxes = MessageBoxes::current();
    const std::optional<ChartProject> project = currentProject();
    std::string detail;
    const ProjectError error = !project ? ProjectError::NoChart
                                        : OxsWriter::writeFile(path.toStdString(), *project, loadedThreadTable(), &detail);
    if (error != ProjectError::None) {
        const QString reason = QString::fromStdString(errorText(error));
        boxes.error(this, tr(kSavedTitle), tr("  绣图工程无法保存在%1\n%2").arg(path,
            detail.empty() ? reason : reason + QLatin1Char('\n') + QString::fromStdString(detail)));
        return false;
    }
    recovered_ = false;
    title_.setFile(path);
    undoStack_->setClean();
    autosave_->discard();
    showTitle();
    boxes.information(this, tr(kSavedTitle), tr("  绣图工程保存成功在%1").arg(path));
    return true;
}

void ChartWindow::readPalette()
{
    const QString palette = choosePaletteFile ? choosePaletteFile() : QString();
    if (palette.isEmpty())
        return;
    const QString listing = chooseListingFile ? chooseListingFile() : QString();
    if (listing.isEmpty())
        return;
    // The program's own table stays as it is: the command is there to produce the listing.
    ThreadTable table = loadedThreadTable();
    const ReadColorResult result = readColor(palette.toStdString(), listing.toStdString(), table);
    if (result.error != PaletteFileError::None) {
        std::string reason = errorText(result.error);
        if (!result.detail.empty())
            reason += ": " + result.detail;
        MessageBoxes::current().error(this, tr("读取色卡"), QString::fromStdString(reason));
        return;
    }
    readColorRecords_ = result.records;
    setStatus(tr("已读入 %1 条线色记录，列表写入 %2").arg(result.records).arg(listing));
}

StitchMatrix ChartWindow::blockColors() const
{
    const ChartModel& model = state_.chart;
    // A chart from a project file has no reduced picture: its blocks take the thread colours.
    if (model.fromProject)
        return stitchColors(model, loadedThreadTable());
    return editedStitchColors(model, generatedThreads_, state_.stitchMatrix, loadedThreadTable());
}

ChartPrinter& ChartWindow::printer()
{
    if (!printer_)
        printer_ = std::make_unique<ChartPrinter>(state_, *this);
    return *printer_;
}

void ChartWindow::printChart()
{
    printer().printChart();
}

PrintPreview& ChartWindow::printPreview()
{
    if (!printPreview_)
        printPreview_ = std::make_unique<PrintPreview>(printer(), *this);
    return *printPreview_;
}

void ChartWindow::showPrintPreview()
{
    printPreview().open();
}

} // namespace kanvo
