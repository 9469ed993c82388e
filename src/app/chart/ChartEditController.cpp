#include "app/chart/ChartEditController.h"

#include <algorithm>
#include <bit>

#include <QImage>
#include <QPainter>
#include <QUndoStack>

#include "app/chart/BackgroundRemovalDialog.h"
#include "app/chart/ChartEditCommand.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/BackStitchTool.h"
#include "app/chart/tools/EraserTool.h"
#include "app/chart/tools/FillTool.h"
#include "app/chart/tools/KnotTool.h"
#include "app/chart/tools/PartStitchTool.h"
#include "app/chart/tools/PickerTool.h"
#include "app/chart/tools/SelectTool.h"
#include "app/chart/tools/StrokeTool.h"
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
    using Tool = StitchToolPanel::Tool;
    ChartToolHost& host = *this;
    const auto add = [this](Tool tool, std::unique_ptr<ChartTool> made) {
        const auto at = static_cast<std::size_t>(tool);
        tools_.resize(std::max(tools_.size(), at + 1));
        tools_[at] = std::move(made);
    };
    add(Tool::Pencil, std::make_unique<StrokeTool>(host, false));
    add(Tool::Eraser, std::make_unique<EraserTool>(host));
    add(Tool::Fill, std::make_unique<FillTool>(host));
    add(Tool::Picker, std::make_unique<PickerTool>(host));
    add(Tool::Select, std::make_unique<SelectTool>(host));
    add(Tool::BackStitch, std::make_unique<BackStitchTool>(host));
    add(Tool::HalfStitch, std::make_unique<PartStitchTool>(host));
    add(Tool::Knot, std::make_unique<KnotTool>(host));

    connect(&panel_, &StitchToolPanel::toolChanged, this, [this](StitchToolPanel::Tool tool) {
        for (const std::unique_ptr<ChartTool>& each : tools_)
            if (each)
                each->cancel();
        if (tool != StitchToolPanel::Tool::Select)
            setSelection(std::nullopt);
        repaintCanvas();
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
    for (const std::unique_ptr<ChartTool>& each : tools_)
        if (each)
            each->cancel();
    setSelection(std::nullopt);
    panel_.setEnabled(false);
}

const ChartLayout* ChartEditController::chartLayout() const
{
    return layout ? layout() : nullptr;
}

std::optional<CellPos> ChartEditController::cellAt(QPointF canvasPoint) const
{
    const ChartLayout* current = chartLayout();
    if (current == nullptr)
        return std::nullopt;
    return current->cellAt(canvasPoint.x(), canvasPoint.y());
}

std::optional<StitchPoint> ChartEditController::chartPoint(QPointF canvasPoint) const
{
    const ChartLayout* current = chartLayout();
    if (current == nullptr)
        return std::nullopt;
    constexpr double kCell = ChartGeometry::kCell;
    return StitchPoint{(canvasPoint.x() - ChartGeometry::kGridLeft) / kCell,
        (canvasPoint.y() - current->geometry().gridTop) / kCell};
}

bool ChartEditController::layerShown(StitchLayerKind kind) const
{
    return !layerVisible || layerVisible(kind);
}

std::optional<LayerHit> ChartEditController::elementAt(QPointF canvasPoint) const
{
    const std::optional<StitchPoint> at = chartPoint(canvasPoint);
    if (!at)
        return std::nullopt;
    return LayerFinder::find(chart_.layers, *at, [this](StitchLayerKind kind) { return layerShown(kind); });
}

QString ChartEditController::elementText(QPointF canvasPoint) const
{
    const std::optional<LayerHit> hit = elementAt(canvasPoint);
    if (!hit || !ThreadTable::isThread(LayerFinder::threadOf(chart_.layers, *hit)))
        return {};
    QString kind;
    switch (hit->kind) {
    case StitchLayerKind::Back:
        kind = tr("回针");
        break;
    case StitchLayerKind::Ornament:
        kind = chart_.layers.ornaments[hit->index].kind == OrnamentKind::Bead ? tr("珠子") : tr("法式结");
        break;
    case StitchLayerKind::Part:
        switch (std::popcount(chart_.layers.parts[hit->index].corners)) {
        case 1:
            kind = tr("四分之一针");
            break;
        case 2:
            kind = tr("半针");
            break;
        default:
            kind = tr("四分之三针");
            break;
        }
        break;
    }
    return tr("%1 %2").arg(kind, panel_.threadText(LayerFinder::threadOf(chart_.layers, *hit)));
}

void ChartEditController::push(ChartChange change, const QString& text, int stroke)
{
    if (change.empty())
        return;
    stack_.push(new ChartEditCommand(
        *editor_, std::move(change), text,
        [this] {
            // Undone or redone: a chain under way would go on from a stitch no longer there.
            if (ChartTool* tool = currentTool())
                tool->cancel();
            chartChanged();
        },
        stroke));
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

ChartTool* ChartEditController::currentTool() const
{
    const auto at = static_cast<std::size_t>(panel_.tool());
    return at < tools_.size() ? tools_[at].get() : nullptr;
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
    if (ChartTool* tool = currentTool())
        tool->press(canvasPoint);
}

void ChartEditController::dragged(QPointF canvasPoint)
{
    if (!editor_ || dialog_)
        return;
    if (ChartTool* tool = currentTool())
        tool->drag(canvasPoint);
}

void ChartEditController::released(QPointF canvasPoint)
{
    if (!editor_ || dialog_)
        return;
    if (ChartTool* tool = currentTool())
        tool->release(canvasPoint);
}

void ChartEditController::hovered(QPointF canvasPoint)
{
    if (!editor_ || dialog_)
        return;
    if (ChartTool* tool = currentTool())
        tool->hover(canvasPoint);
}

void ChartEditController::cancelled()
{
    if (ChartTool* tool = currentTool())
        tool->cancel();
    repaintCanvas();
}

void ChartEditController::repaintCanvas()
{
    if (repaint)
        repaint();
}

void ChartEditController::setSelection(std::optional<CellRect> selection)
{
    if (selection == selection_)
        return;
    selection_ = selection;
    panel_.setSelectionActive(selection_.has_value());
    repaintCanvas();
}

void ChartEditController::clearSelection()
{
    if (editor_ && selection_ && panel_.isEnabled())
        push(editor_->clearRect(*selection_), tr("删除选区"));
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
    const ChartLayout* current = chartLayout();
    if (current == nullptr)
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
    if (const ChartTool* tool = currentTool(); tool && editor_)
        tool->drawOverlay(painter);
    painter.restore();
}

} // namespace kanvo
