#include "app/edit/ColorReplacementWindow.h"

#include <algorithm>

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUndoStack>

#include "app/edit/ColorReplacementCommand.h"
#include "app/workspace/PictureBox.h"
#include "app/workspace/WindowHub.h"
#include "core/edit/PaletteLayout.h"
#include "core/edit/ZoomViewRenderer.h"
#include "core/palette/ThreadTable.h"
#include "core/project/ChartProject.h"
#include "core/workspace/RunState.h"
#include "core/workspace/StitchGridRenderer.h"

namespace kanvo {

namespace {

// Layout of the window, pixels.
constexpr int kMargin = 8;
constexpr int kOverviewFrame = 256; // room for the largest grid (230 x 250) and its frame
constexpr int kZoomX = kMargin + kOverviewFrame + 8;
constexpr int kStripY = kMargin + ColorReplacementWindow::kZoomMaxHeight + 2 + 8;
constexpr int kStripFrameWidth = PaletteLayout::kWidth + 2;
constexpr int kStripHeight = 160;
constexpr int kBar = 17;
constexpr int kWindowWidth = kZoomX + ColorReplacementWindow::kZoomMaxWidth + 2 + kMargin;
constexpr int kRightStripX = kWindowWidth - kMargin - kBar - kStripFrameWidth;
constexpr int kMiddleX = kMargin + kStripFrameWidth + kBar + 12;
constexpr int kMiddleWidth = kRightStripX - 12 - kMiddleX;
constexpr int kStatusY = kStripY + kStripHeight + 10;
constexpr int kWindowHeight = kStatusY + 22 + kMargin;

const QColor kPaletteLine(222, 222, 222);

QColor qColour(ColorValue c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

ColorReplacementWindow::ColorReplacementWindow(RunState& state, WindowHub& hub, const ThreadTable& table,
    QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), hub_(hub), table_(table)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("绣图颜色替换－用来减少绣图颜色"));
    setFixedSize(kWindowWidth, kWindowHeight);
    buildControls();
}

ColorReplacementWindow::~ColorReplacementWindow() = default;

void ColorReplacementWindow::buildControls()
{
    auto* overviewFrame = new QFrame(this);
    overviewFrame->setObjectName(QStringLiteral("Frame1"));
    overviewFrame->setFrameShape(QFrame::StyledPanel);
    overviewFrame->setGeometry(kMargin, kMargin, kOverviewFrame, kOverviewFrame);
    picture1_ = new PictureBox(overviewFrame);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setGeometry(3, 3, 0, 0);
    picture1_->setCursor(Qt::CrossCursor);
    connect(picture1_, &PictureBox::moved, this, [this](QPointF p) { overviewMoved(p.toPoint()); });
    connect(picture1_, &PictureBox::pressed, this,
        [this](QPointF p, Qt::MouseButton) { overviewPressed(p.toPoint()); });
    shape1_ = new QFrame(picture1_);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->setStyleSheet(QStringLiteral("#Shape1 { border: 1px solid rgb(255, 0, 0); background: transparent; }"));
    shape1_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* zoomFrame = new QFrame(this);
    zoomFrame->setObjectName(QStringLiteral("Frame4"));
    zoomFrame->setFrameShape(QFrame::StyledPanel);
    zoomFrame->setGeometry(kZoomX, kMargin, kZoomMaxWidth + 2, kZoomMaxHeight + 2);
    picture2_ = new PictureBox(zoomFrame);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    picture2_->setGeometry(1, 1, 0, 0);
    picture2_->setCursor(Qt::PointingHandCursor);
    connect(picture2_, &PictureBox::pressed, this, [this](QPointF p, Qt::MouseButton) { zoomPressed(p.toPoint()); });

    auto makeStrip = [this](const char* frameName, const char* stripName, const char* barName, int x,
                         PictureBox*& strip, QScrollBar*& bar) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QString::fromUtf8(frameName));
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(x, kStripY, kStripFrameWidth, kStripHeight);
        auto* clip = new QWidget(frame);
        clip->setGeometry(1, 1, PaletteLayout::kWidth, kStripHeight - 2);
        strip = new PictureBox(clip);
        strip->setObjectName(QString::fromUtf8(stripName));
        strip->setGeometry(0, 0, PaletteLayout::kWidth, 0);
        strip->setCursor(Qt::PointingHandCursor);
        bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(QString::fromUtf8(barName));
        bar->setGeometry(x + kStripFrameWidth, kStripY, kBar, kStripHeight);
        bar->setRange(0, 0);
        bar->setSingleStep(PaletteLayout::kPitchY);
        bar->setPageStep(kStripHeight - 2);
        PictureBox* shown = strip;
        // Before the palettes are drawn the bars have no range; their first use draws them.
        connect(bar, &QScrollBar::actionTriggered, this, [this] {
            if (!palettesShown_)
                drawPalettes();
        });
        connect(bar, &QScrollBar::valueChanged, this, [this, shown](int value) {
            drawPalettes();
            scrollStrip(shown, value);
        });
    };
    makeStrip("Frame2", "Picture5", "VScroll3", kMargin, picture5_, vScroll3_);
    makeStrip("Frame3", "Picture6", "VScroll4", kRightStripX, picture6_, vScroll4_);
    connect(picture5_, &PictureBox::pressed, this,
        [this](QPointF p, Qt::MouseButton) { sourceStripPressed(p.toPoint()); });
    connect(picture6_, &PictureBox::pressed, this,
        [this](QPointF p, Qt::MouseButton) { targetStripPressed(p.toPoint()); });

    auto makeSample = [this](const char* captionName, const char* caption, const char* sampleName, int y) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName(QString::fromUtf8(captionName));
        label->setGeometry(kMiddleX, y, kMiddleWidth - 56, 24);
        auto* sample = new QLabel(this);
        sample->setObjectName(QString::fromUtf8(sampleName));
        sample->setFrameShape(QFrame::Box);
        sample->setAutoFillBackground(true);
        sample->setGeometry(kMiddleX + kMiddleWidth - 50, y, 50, 24);
        return sample;
    };
    label1_ = makeSample("Label2", "替换颜色", "Label1", kStripY);
    label7_ = makeSample("Label3", "目标颜色", "Label7", kStripY + 32);

    auto makeButton = [this](const char* name, const char* caption, int y) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(kMiddleX, y, kMiddleWidth, 28);
        return b;
    };
    command1_ = makeButton("Command1", "<－替换", kStripY + 68);
    command2_ = makeButton("Command2", "撤销", kStripY + 100);
    command3_ = makeButton("Command3", "完成", kStripY + 132);
    connect(command1_, &QPushButton::clicked, this, &ColorReplacementWindow::replaceClicked);
    connect(command2_, &QPushButton::clicked, this, &ColorReplacementWindow::undoClicked);
    connect(command3_, &QPushButton::clicked, this, &ColorReplacementWindow::doneClicked);

    replacements_ = new QUndoStack(this);
    QAction* undo = replacements_->createUndoAction(this, tr("撤销"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = replacements_->createRedoAction(this, tr("重做"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addActions({undo, redo});
    // "撤销" keeps its caption; its tip says which replacement it takes back.
    connect(replacements_, &QUndoStack::undoTextChanged, command2_, [this](const QString& text) {
        command2_->setToolTip(text.isEmpty() ? QString() : tr("撤销 %1").arg(text));
    });
    connect(replacements_, &QUndoStack::canUndoChanged, command2_, &QWidget::setEnabled);

    label6_ = new QLabel(this);
    label6_->setObjectName(QStringLiteral("Label6"));
    label6_->setGeometry(kMargin, kStatusY, kWindowWidth - 2 * kMargin, 22);
}

const StitchMatrix& ColorReplacementWindow::original() const
{
    return chartStitches_ ? *chartStitches_ : state_.stitchMatrix;
}

void ColorReplacementWindow::loadChart(const ChartModel& chart)
{
    if (model_ && model_->busy())
        return;
    chartStitches_ = stitchColors(chart, table_);
    startEditing(editColors(chart));
}

void ColorReplacementWindow::load(const EditColorModel& colors)
{
    if (model_ && model_->busy())
        return; // a replacement still runs underneath; the window keeps its state
    chartStitches_.reset();
    startEditing(colors);
}

void ColorReplacementWindow::startEditing(const EditColorModel& colors)
{
    replacements_->clear();
    model_ = std::make_unique<ColorReplacementModel>(original(), colors, table_);
    model_->setPump([] { QCoreApplication::processEvents(); });
    palettesShown_ = false;
    zoomShown_ = false;

    drawOverview();
    const QSize zoom = zoomSize();
    picture2_->setImage(QImage());
    picture2_->resize(zoom);
    const QRect view = viewport();
    shape1_->setGeometry(0, 0, view.width(), view.height());

    for (PictureBox* strip : {picture5_, picture6_}) {
        strip->setImage(QImage());
        strip->setGeometry(0, 0, PaletteLayout::kWidth, 0);
    }
    for (QScrollBar* bar : {vScroll3_, vScroll4_}) {
        const QSignalBlocker block(bar);
        bar->setRange(0, 0);
        bar->setValue(0);
    }
    setSample(label1_, ColorReplacementModel::kNone);
    setSample(label7_, ColorReplacementModel::kNone);
    command2_->setEnabled(false);
    updateStatus();
    // The window opens with its colours and its zoom view drawn, not waiting for a click.
    drawPalettes();
    drawZoomView();
}

QSize ColorReplacementWindow::zoomSize() const
{
    if (!model_)
        return {};
    const int width = std::min(2 * model_->width(), kZoomMaxWidth);
    const int height = 2 * model_->height() > kZoomMaxHeight - 1 ? kZoomMaxHeight : 2 * model_->height();
    return {width, height};
}

QRect ColorReplacementWindow::viewport() const
{
    if (!model_)
        return {};
    // The rectangle marks exactly the stitches the zoom view shows.
    const QSize zoom = zoomSize();
    const int width = std::min(zoom.width() / ZoomViewRenderer::kZoom, model_->width());
    const int height = std::min(zoom.height() / ZoomViewRenderer::kZoom, model_->height());
    return {shape1_->x(), shape1_->y(), width, height};
}

void ColorReplacementWindow::overviewMoved(QPoint position)
{
    if (!model_)
        return;
    const QRect view = viewport();
    int left = view.left();
    int top = view.top();
    if (position.y() - view.height() >= 0)
        top = position.y() - view.height();
    if (position.x() - view.width() >= 0)
        left = position.x() - view.width();
    shape1_->move(left, top);
}

void ColorReplacementWindow::overviewPressed(QPoint /*position*/)
{
    if (!model_)
        return;
    drawZoomView();
    if (!palettesShown_)
        drawPalettes();
}

void ColorReplacementWindow::drawZoomView()
{
    if (!model_ || drawingZoom_)
        return;
    const QScopedValueRollback<bool> guard(drawingZoom_, true);
    const QSize size = zoomSize();
    if (size.isEmpty())
        return;
    QImage view(size, QImage::Format_RGB32);
    const auto words = static_cast<std::size_t>(view.sizeInBytes() / 4);
    const std::span<std::uint32_t> pixels(reinterpret_cast<std::uint32_t*>(view.bits()), words);
    const QRect rect = viewport();
    // The working copy: the view shows every replacement as soon as it is made.
    (void)ZoomViewRenderer::render(model_->editMatrix(), rect.left(), rect.top(), size.width(), size.height(),
        pixels, static_cast<std::size_t>(view.bytesPerLine() / 4));
    picture2_->setImage(std::move(view));
    picture2_->resize(size);
    zoomShown_ = true;
}

void ColorReplacementWindow::zoomPressed(QPoint position)
{
    if (!model_ || !zoomShown_)
        return;
    const QRect rect = viewport();
    const int x = ZoomViewRenderer::stitchColumn(rect.left(), position.x());
    const int y = ZoomViewRenderer::stitchRow(rect.top(), position.y());
    if (position.x() < 0 || position.y() < 0 || x >= model_->width() || y >= model_->height())
        return;
    const int thread = model_->threadAt(x, y);
    if (model_->pickSource(thread))
        setSample(label1_, thread);
}

void ColorReplacementWindow::sourceStripPressed(QPoint position)
{
    if (!model_ || !palettesShown_)
        return;
    const int thread = model_->entry(PaletteLayout::entryAt(position.x(), position.y(), model_->colorTotal()));
    if (model_->pickSource(thread))
        setSample(label1_, thread);
}

void ColorReplacementWindow::targetStripPressed(QPoint position)
{
    if (!model_ || !palettesShown_)
        return;
    const int thread = model_->entry(PaletteLayout::entryAt(position.x(), position.y(), model_->colorTotal()));
    if (model_->pickTarget(thread))
        setSample(label7_, thread);
}

void ColorReplacementWindow::drawPalettes()
{
    if (!model_)
        return;
    const int total = model_->colorTotal();
    const int height = PaletteLayout::stripHeight(total);
    const int gridBottom = PaletteLayout::scrollMaximum(total);
    QImage strip(PaletteLayout::kWidth, height, QImage::Format_RGB32);
    strip.fill(Qt::white);
    {
        QPainter painter(&strip);
        for (int i = 1; i <= total; ++i) {
            const PaletteLayout::Rect r = PaletteLayout::swatch(i);
            painter.fillRect(r.x, r.y, r.width, r.height, qColour(table_.colorOf(model_->entry(i))));
        }
        painter.setPen(kPaletteLine);
        for (int y = 0; y <= gridBottom; y += PaletteLayout::kPitchY)
            painter.drawLine(0, y, PaletteLayout::kLineEnd, y);
        for (int x = 0; x <= PaletteLayout::kColumns * PaletteLayout::kPitchX; x += PaletteLayout::kPitchX)
            painter.drawLine(x, 0, x, gridBottom);
    }
    picture5_->setImage(strip);
    picture6_->setImage(std::move(strip));
    const std::pair<QScrollBar*, PictureBox*> pairs[] = {{vScroll3_, picture5_}, {vScroll4_, picture6_}};
    for (const auto& [bar, box] : pairs) {
        {
            const QSignalBlocker block(bar);
            bar->setRange(0, gridBottom);
        }
        box->resize(PaletteLayout::kWidth, height);
        scrollStrip(box, bar->value());
    }
    palettesShown_ = true;
}

void ColorReplacementWindow::scrollStrip(PictureBox* strip, int value)
{
    strip->move(0, -value);
}

void ColorReplacementWindow::replaceClicked()
{
    if (!model_)
        return;
    drawPalettes();
    if (model_->replace()) {
        const ColorReplacementModel::Replacement done = model_->record().back();
        replacements_->push(new ColorReplacementCommand(*model_, done,
            tr("替换 DMC %1 为 DMC %2").arg(table_.dmc(done.from).cindex).arg(table_.dmc(done.to).cindex),
            [this] { replacementsChanged(); }));
        replacementsChanged();
    }
    drawPalettes();
}

void ColorReplacementWindow::undoClicked()
{
    if (!model_)
        return;
    drawPalettes();
    replacements_->undo();
    drawPalettes();
}

void ColorReplacementWindow::replacementsChanged()
{
    updateStatus();
    drawOverview();
    drawZoomView();
    if (palettesShown_)
        drawPalettes();
}

void ColorReplacementWindow::doneClicked()
{
    if (model_ && chartStitches_ && !model_->busy() && state_.chart.fromProject) {
        setChartThreads(state_.chart, [this](int x, int y) { return model_->threadAt(x, y); });
        close();
        hub_.invokeRedrawProjectChart();
        return;
    }
    if (model_ && !chartStitches_ && model_->writeBack(state_.stitchMatrix)) {
        // The edits live on in the chart window; this window is done with.
        close();
        hub_.invokeShowChartWindow();
    }
}

void ColorReplacementWindow::drawOverview()
{
    if (!model_ || model_->width() < 1 || model_->height() < 1) {
        picture1_->setImage(QImage());
        picture1_->resize(0, 0);
        return;
    }
    QImage overview(model_->width(), model_->height(), QImage::Format_RGB32);
    const StitchMatrix& stitches = model_->editMatrix();
    for (int y = 0; y < overview.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(overview.scanLine(y));
        for (int x = 0; x < overview.width(); ++x)
            row[x] = StitchGridRenderer::toRgb32(stitches.at(x, y));
    }
    picture1_->resize(overview.size());
    picture1_->setImage(std::move(overview));
}

void ColorReplacementWindow::updateStatus()
{
    label6_->setText(qs(model_->statusText()));
}

void ColorReplacementWindow::setSample(QLabel* sample, int thread)
{
    QPalette p = sample->palette();
    p.setColor(QPalette::Window,
        thread == ColorReplacementModel::kNone ? palette().color(QPalette::Window) : qColour(table_.colorOf(thread)));
    sample->setPalette(p);
    sample->setToolTip(thread == ColorReplacementModel::kNone
            ? QString()
            : QString::number(table_.dmc(thread).cindex));
}

} // namespace kanvo
