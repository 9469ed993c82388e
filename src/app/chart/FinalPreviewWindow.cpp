#include "app/chart/FinalPreviewWindow.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "app/chart/ChartPainter.h"
#include "app/chart/ScreenChart.h"
#include "core/chart/StitchLayerLayout.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"

namespace kanvo {

FinalPreviewWindow::FinalPreviewWindow(RunState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), state_(state)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("最终效果预览"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    line1_ = new QLabel(tr("本预览图使用实际绣线颜色绘制和绣图效果完全相同，为了取得客观效果，"), this);
    line2_ = new QLabel(tr("请您离开电脑屏幕1-2米的距离观看"), this);
    line1_->setObjectName(QStringLiteral("Label1"));
    line2_->setObjectName(QStringLiteral("Label2"));
    for (QLabel* l : {line1_, line2_}) {
        QFont f = l->font();
        f.setPointSize(12);
        l->setFont(f);
        l->adjustSize();
        l->hide();
    }
    hint_ = new QLabel(tr("按 Esc 键或点击画面关闭"), this);
    hint_->setObjectName(QStringLiteral("Label3"));
    hint_->setStyleSheet(QStringLiteral("color: rgb(110, 110, 110);"));
    hint_->adjustSize();
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &FinalPreviewWindow::tick);
}

void FinalPreviewWindow::openWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(0, 0, area.width(), area.height());
    picture_ = QImage(std::max(1, area.width()), std::max(1, area.height()), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    side_ = stitchSide(area.size(), state_.chart.gw, state_.chart.gh);
    line1_->move(0, 10);
    line2_->move(0, 30);
    hint_->move(std::max(0, area.width() - hint_->width() - 12), 10);
    timer_.start();
    show();
    raise();
    activateWindow(); // Esc reaches the window that has the keyboard
}

void FinalPreviewWindow::tick()
{
    line1_->move(0, 10);
    line2_->move(0, 30);
    line1_->show();
    line2_->show();
    if (ticks_++ != 1)
        return;
    timer_.stop();
    if (pictureColours)
        paintStitches(state_, pictureColours(), picture_, side_);
    else
        paintStitches(state_, picture_, side_);
    update();
}

int FinalPreviewWindow::stitchSide(QSize screen, int gw, int gh)
{
    if (gw < 1 || gh < 1)
        return kBox;
    const int across = static_cast<int>((screen.width() - 2 * kLeft) * kFill) / gw;
    const int down = static_cast<int>((screen.height() - kTop - kBottom) * kFill) / gh;
    return std::max(kBox, std::min(across, down));
}

void FinalPreviewWindow::paintStitches(const RunState& state, QImage& image, int side)
{
    paintStitches(state, state.stitchMatrix, image, side);
}

void FinalPreviewWindow::paintStitches(const RunState& state, const StitchMatrix& pictureColours, QImage& image, int side)
{
    const ChartModel& model = state.chart;
    const ThreadTable& table = loadedThreadTable();
    const int gw = std::clamp(model.gw, 0, ChartModel::kMaxSide);
    const int gh = std::clamp(model.gh, 0, ChartModel::kMaxSide);
    // A chart from a project file has no reduced picture behind it.
    const bool threadColours = model.maxColor <= kThreadColourLimit || model.fromProject;
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const QRect bounds = image.rect();
    for (int y = 0; y < gh; ++y) {
        for (int x = 0; x < gw; ++x) {
            const ColorValue c = !model.isStitched(x, y) ? model.clothColor
                : threadColours                           ? table.colorOf(model.threadAt(x, y))
                                                          : pictureColours.at(x, y);
            const QRgb rgb = qRgb(redOf(c), greenOf(c), blueOf(c));
            const QRect box = QRect(kLeft + side * x, kTop + side * y, side, side).intersected(bounds);
            for (int py = box.top(); py <= box.bottom(); ++py) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
                std::fill(row + box.left(), row + box.right() + 1, rgb);
            }
        }
    }

    // Over the crosses, in their threads' colours: part stitches as their diagonal halves, back
    // stitches as lines, knots and beads as dots.
    if (model.layers.empty())
        return;
    DrawList layers;
    const std::vector<ColorValue> colors = ScreenChart::threadColors(table);
    const LayerPlacement place{static_cast<float>(kLeft), static_cast<float>(kTop), static_cast<float>(side), 1.0f};
    const LayerArea whole{0.0, 0.0, static_cast<double>(gw), static_cast<double>(gh)};
    StitchLayerLayout::addParts(layers, model, colors, place, whole, PartFill::Colour);
    StitchLayerLayout::addBackStitches(layers, model, colors, place, whole, false);
    StitchLayerLayout::addOrnaments(layers, model, colors, place, whole);
    QPainter painter(&image);
    ChartPainter(1.0f).paint(painter, layers);
}

void FinalPreviewWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void FinalPreviewWindow::mousePressEvent(QMouseEvent* /*event*/)
{
    close();
}

void FinalPreviewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void FinalPreviewWindow::closeEvent(QCloseEvent* event)
{
    // The next opening behaves like the first.
    timer_.stop();
    ticks_ = 0;
    line1_->hide();
    line2_->hide();
    QWidget::closeEvent(event);
}

} // namespace kanvo
