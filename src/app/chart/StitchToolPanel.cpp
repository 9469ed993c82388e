#include "app/chart/StitchToolPanel.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/platform/ElidedActionButton.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

namespace {

constexpr const char* kNumberBoxTip = QT_TRANSLATE_NOOP("kanvo::StitchToolPanel", "输入色卡上的线号后按回车，可选用绣图中没有的绣线");

QColor qColour(ColorValue c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

QIcon swatch(ColorValue c)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(qColour(c));
    return QIcon(pixmap);
}

QToolButton* actionButton(QAction* action, const QString& name, QWidget* parent)
{
    auto* button = new ElidedActionButton(action, parent);
    button->setObjectName(name);
    return button;
}

// A checkable button of a group of choices (the tools, the part stitches).
QToolButton* choiceButton(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setCheckable(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

} // namespace

StitchToolPanel::StitchToolPanel(const ThreadTable& table, QWidget* parent)
    : QWidget(parent), table_(table), matcher_(table)
{
    setObjectName(QStringLiteral("stitchTools"));
    auto* page = new QVBoxLayout(this);
    page_ = page;
    page->setContentsMargins(4, 0, 0, 0);

    tools_ = new QButtonGroup(this);
    auto* toolGrid = new QGridLayout;
    int placed = 0;
    const auto place = [&](QToolButton* button) {
        toolGrid->addWidget(button, placed / 2, placed % 2);
        ++placed;
    };
    place(addToolButton(Tool::Pencil, QStringLiteral("toolPencil"), tr("画笔"), tr("点击或拖动：把绣格设为当前绣线")));
    place(addToolButton(Tool::Eraser, QStringLiteral("toolEraser"), tr("橡皮"), tr("点击或拖动：清空绣格")));
    place(addToolButton(Tool::Fill, QStringLiteral("toolFill"), tr("填充"), tr("相连的同色区域改为当前绣线")));
    place(addToolButton(Tool::Picker, QStringLiteral("toolPicker"), tr("吸管"), tr("点击绣格或图例：取其绣线")));
    place(addToolButton(Tool::Select, QStringLiteral("toolSelect"), tr("选区"), tr("拖出矩形选区；Delete 清空选区")));
    place(addToolButton(Tool::BackStitch, QStringLiteral("toolBackStitch"), tr("回针"),
        tr("从一个格点拖到另一个格点；或逐点单击连成折线，Esc 或右键结束")));
    place(addToolButton(Tool::HalfStitch, QStringLiteral("toolHalfStitch"), tr("半针"), tr("点击绣格：按下面的选择绣半针或四分之一针")));
    place(addToolButton(Tool::Knot, QStringLiteral("toolKnot"), tr("法式结"), tr("点击：在最近的格点绣法式结")));
    page->addLayout(toolGrid);

    partChoices_ = new QButtonGroup(this);
    auto* partRow = new QHBoxLayout;
    partRow->addWidget(addPartButton(PartChoice::Slash, QStringLiteral("partSlash"), tr("/"), tr("半针 /")));
    partRow->addWidget(addPartButton(PartChoice::Backslash, QStringLiteral("partBackslash"), tr("\\"), tr("半针 \\")));
    partRow->addWidget(addPartButton(PartChoice::Quarter, QStringLiteral("partQuarter"), tr("¼"), tr("四分之一针：绣在所点的角")));
    page->addLayout(partRow);

    page->addSpacing(8);
    page->addWidget(new QLabel(tr("当前绣线："), this));
    threadLabel_ = new QLabel(this);
    threadLabel_->setObjectName(QStringLiteral("labelThread"));
    threadLabel_->setMinimumHeight(22);
    threadLabel_->setAutoFillBackground(true);
    threadLabel_->setAlignment(Qt::AlignCenter);
    page->addWidget(threadLabel_);
    threadBox_ = new QComboBox(this);
    threadBox_->setObjectName(QStringLiteral("comboThread"));
    threadBox_->setToolTip(tr("绣图中的绣线"));
    page->addWidget(threadBox_);
    numberBox_ = new QLineEdit(this);
    numberBox_->setObjectName(QStringLiteral("textThreadNumber"));
    numberBox_->setPlaceholderText(tr("线号，如 3865"));
    numberBox_->setToolTip(tr(kNumberBoxTip));
    page->addWidget(numberBox_);
    numberNote_ = new QLabel(this);
    numberNote_->setObjectName(QStringLiteral("labelThreadNumberNote"));
    numberNote_->setWordWrap(true);
    numberNote_->hide();
    page->addWidget(numberNote_);

    page->addSpacing(8);
    clearSelection_ = new QPushButton(tr("删除选区"), this);
    clearSelection_->setObjectName(QStringLiteral("cmdClearSelection"));
    fillSelection_ = new QPushButton(tr("填充选区"), this);
    fillSelection_->setObjectName(QStringLiteral("cmdFillSelection"));
    page->addWidget(clearSelection_);
    page->addWidget(fillSelection_);
    setSelectionActive(false);
    auto* background = new QPushButton(tr("去除背景"), this);
    background->setObjectName(QStringLiteral("cmdRemoveBackground"));
    background->setToolTip(tr("清空与绣图边缘相连的背景色区域"));
    page->addWidget(background);

    page->addSpacing(8);
    page->addStretch(1);
    setFixedWidth(150);

    connect(tools_, &QButtonGroup::idClicked, this, [this](int id) { setTool(static_cast<Tool>(id)); });
    connect(partChoices_, &QButtonGroup::idClicked, this, [this](int id) {
        setPartChoice(static_cast<PartChoice>(id));
        setTool(Tool::HalfStitch);
    });
    connect(threadBox_, &QComboBox::activated, this, [this](int index) {
        setCurrentThread(threadBox_->itemData(index).toInt());
    });
    connect(numberBox_, &QLineEdit::returnPressed, this, [this] { chooseThreadNumber(numberBox_->text()); });
    connect(clearSelection_, &QPushButton::clicked, this, &StitchToolPanel::clearSelectionRequested);
    connect(fillSelection_, &QPushButton::clicked, this, &StitchToolPanel::fillSelectionRequested);
    connect(background, &QPushButton::clicked, this, &StitchToolPanel::removeBackgroundRequested);
    setTool(Tool::Pencil);
    setPartChoice(PartChoice::Slash);
    showCurrentThread();
}

void StitchToolPanel::setUndoStack(QUndoStack& stack)
{
    if (findChild<QToolButton*>(QStringLiteral("cmdUndo")) != nullptr)
        return;
    QAction* undo = stack.createUndoAction(this, tr("撤销"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack.createRedoAction(this, tr("重做"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // Above the stretch that closes the panel.
    const int at = page_->count() - 1;
    page_->insertWidget(at, actionButton(redo, QStringLiteral("cmdRedo"), this));
    page_->insertWidget(at, actionButton(undo, QStringLiteral("cmdUndo"), this));
}

QToolButton* StitchToolPanel::addToolButton(Tool tool, const QString& name, const QString& caption, const QString& tip)
{
    QToolButton* button = choiceButton(name, caption, tip, this);
    tools_->addButton(button, static_cast<int>(tool));
    return button;
}

QToolButton* StitchToolPanel::addPartButton(PartChoice choice, const QString& name, const QString& caption,
    const QString& tip)
{
    QToolButton* button = choiceButton(name, caption, tip, this);
    partChoices_->addButton(button, static_cast<int>(choice));
    return button;
}

void StitchToolPanel::setPartChoice(PartChoice choice)
{
    partChoice_ = choice;
    if (QAbstractButton* button = partChoices_->button(static_cast<int>(choice)))
        button->setChecked(true);
}

void StitchToolPanel::setTool(Tool tool)
{
    if (QAbstractButton* button = tools_->button(static_cast<int>(tool)))
        button->setChecked(true);
    if (tool == tool_)
        return;
    tool_ = tool;
    emit toolChanged(tool);
}

bool StitchToolPanel::setCurrentThread(int thread)
{
    if (!ThreadTable::isThread(thread) || table_.dmc(thread).cindex == 0)
        return false;
    if (thread != thread_) {
        thread_ = thread;
        showCurrentThread();
        emit currentThreadChanged(thread);
    }
    return true;
}

bool StitchToolPanel::chooseThreadNumber(const QString& number)
{
    const QString typed = number.trimmed();
    const auto showNote = [this](const QString& note) {
        numberNote_->setText(note);
        numberNote_->setVisible(!note.isEmpty());
    };
    if (typed.isEmpty()) {
        showNote(QString());
        return false;
    }
    // The box reads numbers as chart projects write them, through the project reader's matcher.
    const std::optional<PaletteItemMatcher::Match> match = matcher_.match(typed.toStdString(), std::nullopt);
    if (!match || !setCurrentThread(match->thread)) {
        const QString note = tr("色卡上没有线号 %1").arg(typed);
        numberBox_->selectAll();
        numberBox_->setToolTip(note);
        showNote(note);
        return false;
    }
    numberBox_->clear();
    numberBox_->setToolTip(tr(kNumberBoxTip));
    showNote(match->substituted ? tr("%1 不在色卡上，改用颜色最接近的 %2").arg(typed, threadText(match->thread)) : QString());
    return true;
}

void StitchToolPanel::showChartThreads(const ChartModel& chart)
{
    threadBox_->clear();
    for (const int t : chart.colorList) {
        if (!ThreadTable::isThread(t))
            continue;
        const std::string_view symbol = chart.symbolOf(t);
        threadBox_->addItem(swatch(table_.colorOf(t)),
            tr("%1  %2").arg(threadText(t), QString::fromUtf8(symbol.data(), static_cast<int>(symbol.size()))), t);
    }
    const int index = threadBox_->findData(thread_);
    threadBox_->setCurrentIndex(index);
    if (thread_ == 0 && threadBox_->count() > 0)
        setCurrentThread(threadBox_->itemData(0).toInt());
}

void StitchToolPanel::setSelectionActive(bool active)
{
    clearSelection_->setEnabled(active);
    fillSelection_->setEnabled(active);
}

QString StitchToolPanel::threadText(int thread) const
{
    return tr("DMC %1").arg(table_.dmc(thread).cindex);
}

void StitchToolPanel::showCurrentThread()
{
    QPalette p = threadLabel_->palette();
    if (thread_ == 0) {
        threadLabel_->setText(tr("（未选）"));
        p.setColor(QPalette::Window, palette().color(QPalette::Window));
        p.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    } else {
        const QColor colour = qColour(table_.colorOf(thread_));
        threadLabel_->setText(threadText(thread_));
        p.setColor(QPalette::Window, colour);
        p.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
    }
    threadLabel_->setPalette(p);
    const int index = threadBox_->findData(thread_);
    threadBox_->setCurrentIndex(index);
}

} // namespace kanvo
