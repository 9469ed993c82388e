#include "app/reduce/ChartSettingsWindow.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/platform/MessageBoxes.h"
#include "core/workspace/RunState.h"

namespace kanvo {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

void fillCombo(QComboBox* combo, const std::vector<std::string>& items, const std::string& shown)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(qs(item));
    if (combo->isEditable())
        combo->setEditText(qs(shown));
    else
        combo->setCurrentIndex(combo->findText(qs(shown)));
}

QComboBox* makeCombo(QWidget* parent, const char* name, bool editable)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromUtf8(name));
    combo->setEditable(editable);
    if (editable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QSpinBox* makeSpinBox(QWidget* parent, const char* name, int maximum, const char* suffix, const char* zeroText)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(0, maximum);
    box->setSuffix(QString::fromUtf8(suffix));
    box->setSpecialValueText(QString::fromUtf8(zeroText));
    return box;
}

} // namespace

ChartSettingsWindow::ChartSettingsWindow(RunState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);

    // The method, block and strength boxes take typed text ("1bit", "8bit", other sizes).
    combo1_ = makeCombo(this, "Combo1", false);
    combo3_ = makeCombo(this, "Combo3", true);
    combo4_ = makeCombo(this, "Combo4", true);
    combo5_ = makeCombo(this, "Combo5", true);
    combo2_ = makeCombo(this, "Combo2", false);
    combo6_ = makeCombo(this, "Combo6", false);
    text2_ = new QLineEdit(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    hScroll1_ = new QScrollBar(Qt::Horizontal, this);
    hScroll1_->setObjectName(QStringLiteral("HScroll1"));
    hScroll1_->setRange(ChartSettingsModel::kSliderMin, ChartSettingsModel::kSliderMax);
    hScroll1_->setPageStep(ChartSettingsModel::kSliderLargeStep);
    hScroll1_->setSingleStep(1);
    hScroll1_->setMinimumWidth(180);
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->installEventFilter(this);
    command1_ = new QPushButton(QStringLiteral("确定"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_ = new QPushButton(QStringLiteral("取消"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    using Limits = ThreadReductionSettings;
    threadCount_ = makeSpinBox(this, "ThreadCount", Limits::kMaxThreads, " 种", "");
    threadCount_->setMinimum(Limits::kMinThreads);
    threadCount_->setToolTip(QStringLiteral("绣图最多用这么多种绣线"));
    ditherStrength_ = makeSpinBox(this, "DitherStrength", Limits::kMaxDither, "", "不抖动");
    ditherStrength_->setToolTip(QStringLiteral("越小色块越干净，越大渐变越平滑"));
    cleanupSize_ = makeSpinBox(this, "CleanupSize", Limits::kMaxCleanup, " 针以内", "不清除");
    cleanupSize_->setToolTip(QStringLiteral("同色相连不超过这么多针的小块并入相邻的颜色"));

    auto* heading = new QLabel(QStringLiteral("设置生成绣图的属性："), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    auto* grid = new QGridLayout;
    int row = 0;
    const auto addRow = [&](const char* caption, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(field, row, 1);
        ++row;
        return label;
    };
    addRow("绣线类别：", combo1_);
    addRow("减色方法：", combo3_);
    threadRows_ = {addRow("绣线数量：", threadCount_), threadCount_, addRow("抖动强度：", ditherStrength_),
        ditherStrength_, addRow("杂点清除：", cleanupSize_), cleanupSize_};
    addRow("绣格宽度：", combo4_);
    addRow("绣格高度：", combo5_);
    addRow("减色强度：", text2_);
    auto* sliderBox = new QWidget(this);
    auto* sliderLayout = new QVBoxLayout(sliderBox);
    sliderLayout->setContentsMargins(0, 0, 0, 0);
    sliderLayout->addWidget(hScroll1_);
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(QStringLiteral("更少的绣线"), sliderBox));
    ends->addStretch();
    ends->addWidget(new QLabel(QStringLiteral("更好的效果"), sliderBox));
    sliderLayout->addLayout(ends);
    grid->addWidget(sliderBox, row++, 1);
    addRow("自动减色功能：", combo2_);
    addRow("缩放时不改变颜色数：", combo6_);
    addRow("绣图名称：", text1_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(hScroll1_, &QScrollBar::valueChanged, this,
        [this](int position) { text2_->setText(qs(ChartSettingsModel::strengthForSlider(position))); });
    // A typed strength moves the slider; the box keeps what was typed.
    connect(text2_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto position = ChartSettingsModel::sliderForStrength(text.toStdString())) {
            const QSignalBlocker blocker(hScroll1_);
            hScroll1_->setValue(*position);
        }
    });
    connect(combo3_, &QComboBox::currentTextChanged, this, [this](const QString& method) {
        showThreadSettings(ChartSettingsModel::showsThreadSettings(method.toStdString()));
    });
    connect(command1_, &QPushButton::clicked, this, [this] { (void)accept(); });
    connect(command2_, &QPushButton::clicked, this, &ChartSettingsWindow::cancel);

    fill();
}

void ChartSettingsWindow::fill()
{
    // The window shows the values in force, so OK after changing one thing keeps the others.
    const ChartSettingsModel::Entries shown = ChartSettingsModel::inForce(state_);
    fillCombo(combo4_, ChartSettingsModel::blockChoices(), shown.blockWidth);
    fillCombo(combo5_, ChartSettingsModel::blockChoices(), shown.blockHeight);
    fillCombo(combo1_, ChartSettingsModel::brandChoices(), shown.brand);
    fillCombo(combo2_, ChartSettingsModel::yesNoChoices(), shown.autoReduce);
    fillCombo(combo6_, ChartSettingsModel::yesNoChoices(), keepColoursOnZoom_);
    fillCombo(combo3_, ChartSettingsModel::methodChoices(), shown.method);

    // The strength in force is shown as it is, also when the slider cannot reach it (above
    // 299): the slider then rests at its left end without rewriting the box.
    const auto opening = ChartSettingsModel::opening(state_.mergeTol);
    {
        const QSignalBlocker blocker(hScroll1_);
        hScroll1_->setValue(opening.sliderPosition);
    }
    text2_->setText(qs(shown.strength));

    // Only the placeholder goes at the first click, never a title the user gave.
    text1_->setText(qs(shown.title));
    titleClicked_ = shown.title != ChartSettingsModel::kTitlePlaceholder;

    threadCount_->setValue(shown.threads.threads);
    ditherStrength_->setValue(shown.threads.dither);
    cleanupSize_->setValue(shown.threads.cleanup);
    showThreadSettings(ChartSettingsModel::showsThreadSettings(combo3_->currentText().toStdString()));
}

void ChartSettingsWindow::showThreadSettings(bool shown)
{
    for (QWidget* widget : threadRows_)
        widget->setVisible(shown);
    // An open window shrinks back when the rows go instead of keeping a gap; the layout must
    // first take the hidden rows out of its size.
    if (isVisible()) {
        layout()->activate();
        adjustSize();
    }
}

void ChartSettingsWindow::openWindow()
{
    fill();
    show();
    raise();
    activateWindow();
}

ChartSettingsModel::Entries ChartSettingsWindow::entries() const
{
    ChartSettingsModel::Entries e;
    e.title = text1_->text().toStdString();
    e.brand = combo1_->currentText().toStdString();
    e.method = combo3_->currentText().toStdString();
    e.autoReduce = combo2_->currentText().toStdString();
    e.keepColoursOnZoom = combo6_->currentText().toStdString();
    e.blockWidth = combo4_->currentText().toStdString();
    e.blockHeight = combo5_->currentText().toStdString();
    e.strength = text2_->text().toStdString();
    e.threads = {threadCount_->value(), ditherStrength_->value(), cleanupSize_->value()};
    return e;
}

bool ChartSettingsWindow::accept()
{
    const auto verdict = ChartSettingsModel::check(entries());
    if (!verdict.choice) {
        MessageBoxes::current().information(
            this, windowTitle(), qs(ChartSettingsModel::errorText(verdict.field, verdict.error)));
        QWidget* faulty = verdict.field == ChartSettingsModel::Field::BlockWidth ? static_cast<QWidget*>(combo4_)
            : verdict.field == ChartSettingsModel::Field::BlockHeight             ? static_cast<QWidget*>(combo5_)
                                                                                  : static_cast<QWidget*>(text2_);
        faulty->setFocus();
        return false;
    }
    ChartSettingsModel::apply(*verdict.choice, state_);
    keepColoursOnZoom_ = combo6_->currentText().toStdString();
    close();
    return true;
}

void ChartSettingsWindow::cancel()
{
    close();
}

bool ChartSettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Only the first click clears the placeholder; later clicks keep what the user typed.
    if (watched == text1_ && event->type() == QEvent::MouseButtonPress && !titleClicked_) {
        titleClicked_ = true;
        text1_->clear();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kanvo
