#include "app/chart/ChartEditController.h"

#include <algorithm>

#include <QImage>
#include <QPainter>
#include <QUndoStack>

#include "app/chart/BackgroundRemovalDialog.h"
#include "app/chart/ChartEditCommand.h"
#include "app/chart/StitchToolPanel.h"
#include "core/chart/ChartLayout.h"

namespace kanvo {

namespace {

QColor qColour(ColorValue c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

QRectF canvasRect(const ChartLayout& layout, CellRect cells)
{
    constexpr int kCell = ChartGeometry::kCell;
    return QRectF(ChartGeometry::kGridLeft + kCell * cells.left, layout.geometry().gridTop + kCell * cells.top,
        kCell * cells.width, kCell * cells.height);
}

} // namespace

ChartEditController::ChartEditController(ChartModel& chart, const ThreadTable& table, QUndoStack& stack,
    StitchToolPanel& panel, QWidget* window)
    : QObject(window), chart_(chart), table_(table), stack_(stack), panel_(panel), window_(window)
{
    connect(&panel_, &StitchToolPanel::clearSelectionRequested, this, &ChartEditController::clearSelection);
    connect(&panel_, &StitchToolPanel::fillSelectionRequested, this, &ChartEditController::fillSelection);
    connect(&panel_, &StitchToolPanel::removeBackgroundRequested, this, &ChartEditController::openBackgroundRemoval);
    connect(&panel_, &StitchToolPanel::toolChanged, this, [this](StitchToolPanel::Tool tool) {
        if (tool != StitchToolPanel::Tool::Select)
            setSelection(std::nullopt);
    });
    panel_.setEnabled(false);
}

ChartEditController::~ChartEditController()
{
    // The commands refer to the editor: they go first.
    stack_.clear();
}

void ChartEditController::startEditing(int rareThreshold)
{
    stopEditing();
    editor_ = std::make_unique<ChartEditor>(chart_, table_, rareThreshold);
    panel_.showChartThreads(chart_);
    panel_.setEnabled(true);
}

void ChartEditController::stopEditing()
{
    closeBackgroundRemoval();
    stack_.clear();
    editor_.reset();
    stroke_ = 0;
    last_.reset();
    anchor_.reset();
    setSelection(std::nullopt);
    panel_.setEnabled(false);
}

std::optional<CellPos> ChartEditController::cellAt(QPointF canvasPoint) const
{
    const ChartLayout* current = layout ? layout() : nullptr;
    if (current == nullptr)
        return std::nullopt;
    return current->cellAt(canvasPoint.x(), canvasPoint.y());
}

void ChartEditController::push(ChartChange change, const QString& text, int stroke)
{
    if (change.empty())
        return;
    stack_.push(new ChartEditCommand(*editor_, std::move(change), text, [this] { chartChanged(); }, stroke));
    chartChanged();
}

void ChartEditController::chartChanged()
{
    panel_.showChartThreads(chart_);
    if (dialog_)
        updatePreview();
    if (changed)
        changed();
}

QString ChartEditController::strokeText() const
{
    if (panel_.tool() == StitchToolPanel::Tool::Eraser)
        return tr("橡皮");
    return tr("画笔 %1").arg(panel_.threadText(panel_.currentThread()));
}

void ChartEditController::pressed(QPointF canvasPoint, Qt::KeyboardModifiers /*modifiers*/)
{
    if (!editor_ || !panel_.isEnabled())
        return;
    if (dialog_) {
        // While 去除背景 is open a click chooses the background colour.
        if (const std::optional<CellPos> cell = cellAt(canvasPoint); cell && editor_->threadAt(*cell) != ChartModel::kNoStitch) {
            backgroundColour_ = table_.colorOf(editor_->threadAt(*cell));
            dialog_->showBackground(panel_.threadText(editor_->threadAt(*cell)), qColour(backgroundColour_), true);
            updatePreview();
        }
        return;
    }
    const std::optional<CellPos> cell = cellAt(canvasPoint);
    switch (panel_.tool()) {
    case StitchToolPanel::Tool::Pencil:
    case StitchToolPanel::Tool::Eraser: {
        const bool erasing = panel_.tool() == StitchToolPanel::Tool::Eraser;
        if (!cell || (!erasing && panel_.currentThread() == 0))
            return;
        stroke_ = ++strokeCount_;
        last_ = cell;
        push(editor_->stroke(*cell, *cell, erasing ? ChartModel::kNoStitch : panel_.currentThread()), strokeText(), stroke_);
        return;
    }
    case StitchToolPanel::Tool::Fill:
        if (cell && panel_.currentThread() != 0)
            push(editor_->fill(*cell, panel_.currentThread()), tr("填充 %1").arg(panel_.threadText(panel_.currentThread())));
        return;
    case StitchToolPanel::Tool::Picker:
        pick(canvasPoint);
        return;
    case StitchToolPanel::Tool::Select:
        anchor_ = cell;
        setSelection(cell ? std::optional<CellRect>(CellRect::spanning(*cell, *cell)) : std::nullopt);
        return;
    }
}

void ChartEditController::dragged(QPointF canvasPoint)
{
    if (!editor_ || dialog_)
        return;
    const std::optional<CellPos> cell = cellAt(canvasPoint);
    if (!cell)
        return;
    if (stroke_ != 0 && last_) {
        const bool erasing = panel_.tool() == StitchToolPanel::Tool::Eraser;
        if (*cell == *last_)
            return;
        push(editor_->stroke(*last_, *cell, erasing ? ChartModel::kNoStitch : panel_.currentThread()), strokeText(), stroke_);
        last_ = cell;
    } else if (panel_.tool() == StitchToolPanel::Tool::Select && anchor_) {
        setSelection(CellRect::spanning(*anchor_, *cell));
    }
}

void ChartEditController::released(QPointF canvasPoint)
{
    dragged(canvasPoint);
    stroke_ = 0;
    last_.reset();
    anchor_.reset();
}

void ChartEditController::pick(QPointF canvasPoint)
{
    if (const std::optional<CellPos> cell = cellAt(canvasPoint)) {
        if (editor_->threadAt(*cell) != ChartModel::kNoStitch)
            panel_.setCurrentThread(editor_->threadAt(*cell));
        return;
    }
    const ChartLayout* current = layout ? layout() : nullptr;
    if (current == nullptr)
        return;
    if (const std::optional<int> entry = current->legendEntryAt(canvasPoint.x(), canvasPoint.y());
        entry && *entry <= static_cast<int>(chart_.threadList.size()))
        panel_.setCurrentThread(chart_.threadList[static_cast<std::size_t>(*entry - 1)].index);
}

void ChartEditController::setSelection(std::optional<CellRect> selection)
{
    if (selection == selection_)
        return;
    selection_ = selection;
    panel_.setSelectionActive(selection_.has_value());
    if (repaint)
        repaint();
}

void ChartEditController::clearSelection()
{
    if (editor_ && selection_ && panel_.isEnabled())
        push(editor_->fillRect(*selection_, ChartModel::kNoStitch), tr("删除选区"));
}

void ChartEditController::fillSelection()
{
    if (editor_ && selection_ && panel_.currentThread() != 0)
        push(editor_->fillRect(*selection_, panel_.currentThread()),
            tr("填充选区 %1").arg(panel_.threadText(panel_.currentThread())));
}

void ChartEditController::openBackgroundRemoval()
{
    if (!editor_)
        return;
    if (!dialog_) {
        dialog_ = new BackgroundRemovalDialog(window_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog_, &BackgroundRemovalDialog::toleranceChanged, this, &ChartEditController::updatePreview);
        connect(dialog_, &QDialog::accepted, this, &ChartEditController::applyBackground);
        connect(dialog_, &QDialog::finished, this, [this] {
            preview_.clear();
            if (repaint)
                repaint();
        });
        // Beside the tools, clear of the chart it previews.
        dialog_->adjustSize();
        dialog_->move(window_->mapToGlobal(QPoint(std::max(0, window_->width() - dialog_->width() - 170), 90)));
    }
    const std::optional<int> border = ChartRegion::borderThread(chart_);
    backgroundColour_ = border ? table_.colorOf(*border) : 0xFFFFFFu;
    dialog_->showBackground(border ? panel_.threadText(*border) : tr("无"), qColour(backgroundColour_), false);
    dialog_->show();
    dialog_->raise();
    updatePreview();
}

BackgroundRemovalDialog* ChartEditController::backgroundDialog() const
{
    return dialog_;
}

void ChartEditController::closeBackgroundRemoval()
{
    if (dialog_)
        dialog_->reject();
}

void ChartEditController::updatePreview()
{
    preview_ = dialog_ && dialog_->isVisible() && editor_ ? ChartRegion::background(chart_, table_, backgroundColour_, dialog_->tolerance())
                                  : std::vector<CellPos>{};
    if (dialog_)
        dialog_->showPreview(static_cast<int>(preview_.size()));
    if (repaint)
        repaint();
}

void ChartEditController::applyBackground()
{
    if (!editor_ || !dialog_)
        return;
    const int tolerance = dialog_->tolerance();
    preview_.clear();
    push(editor_->removeBackground(backgroundColour_, tolerance), tr("去除背景（容差 %1）").arg(tolerance));
}

void ChartEditController::drawOverlay(QPainter& painter, const QTransform& canvasToView) const
{
    const ChartLayout* current = layout ? layout() : nullptr;
    if (current == nullptr || (!selection_ && preview_.empty()))
        return;
    painter.save();
    painter.setTransform(canvasToView);
    if (!preview_.empty()) {
        // One pixel per cell, stretched over the grid: cheap however many cells are marked.
        QImage marks(chart_.gw, chart_.gh, QImage::Format_ARGB32);
        marks.fill(Qt::transparent);
        for (const CellPos c : preview_)
            marks.setPixel(c.x, c.y, qRgba(200, 0, 120, 150));
        painter.drawImage(canvasRect(*current, CellRect{0, 0, chart_.gw, chart_.gh}), marks);
    }
    if (selection_) {
        QPen pen(QColor(0, 90, 220), 2, Qt::DashLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(QColor(0, 90, 220, 40));
        painter.drawRect(canvasRect(*current, *selection_));
    }
    painter.restore();
}

} // namespace kanvo
