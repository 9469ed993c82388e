#include "app/workspace/MainWindow.h"

#include <exception>
#include <tuple>
#include <utility>

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>

#include "app/platform/AppPaths.h"
#include "app/platform/ClickableLabel.h"
#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/workspace/AboutBox.h"
#include "app/workspace/PictureBox.h"
#include "app/workspace/SurfacePicture.h"
#include "app/workspace/WindowHub.h"
#include "core/common/Rounding.h"
#include "core/workspace/StitchGridRenderer.h"

namespace kanvo {

namespace {

const QColor kIdleLabelColour(64, 64, 64);

// Layout of the client area, pixels. The picture area is just large enough for the largest grid
// window (230 x 250) plus the margins on every side, so the grid window sits centred in it.
constexpr int kAreaWidth = 230 + 2 * WorkspaceModel::kLeftMargin;  // 238
constexpr int kAreaHeight = 250 + 2 * WorkspaceModel::kTopMargin;  // 266
constexpr int kFrameX = 8;
constexpr int kFrameY = 32;
constexpr int kFrameTitle = 20;
constexpr int kFrameWidth = kAreaWidth + 4;
constexpr int kFrameHeight = kAreaHeight + kFrameTitle + 2;
constexpr int kBar = 17;
constexpr int kViewportX = 356;
constexpr int kViewportY = 32;
constexpr int kViewportWidth = 441;
constexpr int kViewportHeight = 433;

int px(double v)
{
    return roundHalfEvenInt(v);
}

void setLabelColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

MainWindow::MainWindow(RunState& state, WindowHub& hub, QWidget* parent)
    : MainWindow(state, hub, AppPaths::standard(), parent)
{
}

MainWindow::MainWindow(RunState& state, WindowHub& hub, AppPaths paths, QWidget* parent)
    : QMainWindow(parent), state_(state), hub_(hub), paths_(std::move(paths)), model_(state, *this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("十字绣Kanvo V2008"));
    buildControls();
    buildMenus();
    openDocument = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    central_->setFixedSize(kClientWidth, kClientHeight);
    central_->setMouseTracking(true);
    central_->installEventFilter(this);
    setCentralWidget(central_);

    // Command labels along the top edge.
    struct LabelSpec {
        const char* name;
        const char* caption;
        const char* tip;
        bool hand;
    };
    const LabelSpec topLabels[] = {
        {"Label2", QT_TR_NOOP("生成"), "", true},
        {"Label3", QT_TR_NOOP("打印"), "", true},
        {"Label5", QT_TR_NOOP("放大"), QT_TR_NOOP("放大预览图片。"), true},
        {"Label6", QT_TR_NOOP("缩小"), QT_TR_NOOP("缩小预览图片"), true},
        {"Label7", QT_TR_NOOP("文字"), QT_TR_NOOP("给绣图加入文字"), true},
        {"Label9", QT_TR_NOOP("编辑"), "", true},
        {"Label12", QT_TR_NOOP("超级减色"), "", true},
        {"Label11", QT_TR_NOOP("字体选择"), "", false},
        {"Label13", QT_TR_NOOP("字体颜色"), "", false},
    };
    int x = kFrameX;
    for (const LabelSpec& s : topLabels) {
        ClickableLabel* l = makeLabel(QString::fromUtf8(s.name), tr(s.caption), *s.tip ? tr(s.tip) : QString());
        const int w = l->sizeHint().width() + 16;
        l->setGeometry(x, 6, w, 20);
        x += w + 6;
        if (s.hand)
            l->setCursor(Qt::PointingHandCursor);
        hoverLabels_ << l;
    }
    // Hidden routine label of the colour reduction.
    ClickableLabel* label10 = makeLabel(QStringLiteral("Label10"), tr("超级减色"));
    label10->hide();
    connect(label10, &ClickableLabel::clicked, this, [this] { (void)hub_.invokeColourReduction(); });

    auto label = [this](const char* name) {
        return central_->findChild<ClickableLabel*>(QString::fromUtf8(name));
    };
    connect(label("Label2"), &ClickableLabel::clicked, this, &MainWindow::generateChart);
    connect(label("Label3"), &ClickableLabel::clicked, this, &MainWindow::generateChart);
    connect(label("Label5"), &ClickableLabel::clicked, this, &MainWindow::zoomIn);
    connect(label("Label6"), &ClickableLabel::clicked, this, &MainWindow::zoomOut);
    connect(label("Label7"), &ClickableLabel::clicked, this, [this] { showTextEntry(true); });
    connect(label("Label9"), &ClickableLabel::clicked, this, [this] { hub_.invokePrepareEdit(); });
    connect(label("Label12"), &ClickableLabel::clicked, this, [this] { hub_.invokeShowSettingsWindow(); });
    connect(label("Label11"), &ClickableLabel::clicked, this, [this] { hub_.invokeChooseOverlayFont(); });
    connect(label("Label13"), &ClickableLabel::clicked, this, [this] { hub_.invokeChooseOverlayColor(); });
    const auto hint = [this](ClickableLabel* l, const char* text) {
        connect(l, &ClickableLabel::hovered, this, [this, text] { label4_->setText(tr(text)); });
    };
    hint(label("Label5"), QT_TR_NOOP("增加颜色，得到更逼真效果。需要更多绣线"));
    hint(label("Label6"), QT_TR_NOOP("只要10种颜色就可以绣出照片般效果，大大节约绣线。这就是quillex的神奇科技!"));
    hint(label("Label7"), QT_TR_NOOP("加入文字"));

    // The picture frame and its grid window.
    pictureFrame_ = new QGroupBox(tr("我的图片"), central_);
    pictureFrame_->setObjectName(QStringLiteral("Frame1"));
    pictureFrame_->setGeometry(kFrameX, kFrameY, kFrameWidth, kFrameHeight);
    pictureArea_ = new QWidget(pictureFrame_);
    pictureArea_->setObjectName(QStringLiteral("pictureArea"));
    pictureArea_->setGeometry(2, kFrameTitle, kAreaWidth, kAreaHeight);

    picture2_ = new QWidget(pictureArea_);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    picture2_->setAutoFillBackground(true);
    QPalette white = picture2_->palette();
    white.setColor(QPalette::Window, Qt::white);
    picture2_->setPalette(white);

    picture4_ = new PictureBox(picture2_);
    picture4_->setObjectName(QStringLiteral("Picture4"));
    picture4_->setCursor(Qt::PointingHandCursor);
    connect(picture4_, &PictureBox::pressed, this, [this](QPointF p, Qt::MouseButton) { surfacePressed(p); });
    connect(picture4_, &PictureBox::moved, this, &MainWindow::surfaceMovedPointer);
    connect(picture4_, &PictureBox::released, this,
            [this](QPointF p, Qt::MouseButton) { model_.surfaceRelease(p.x(), p.y()); });

    label8_ = new QLabel(picture4_);
    label8_->setObjectName(QStringLiteral("Label8"));
    label8_->hide();
    // Moves over the label count as moves over the surface, so it follows the pointer.
    label8_->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Grid size bars beside and below the picture frame.
    hChange_ = new QScrollBar(Qt::Vertical, central_);
    hChange_->setObjectName(QStringLiteral("hChange"));
    hChange_->setGeometry(kFrameX + kFrameWidth + 2, kFrameY + kFrameTitle, kBar, kAreaHeight);
    bindBar(hChange_, model_.hChange);

    wChange_ = new QScrollBar(Qt::Horizontal, central_);
    wChange_->setObjectName(QStringLiteral("wChange"));
    wChange_->setGeometry(kFrameX, kFrameY + kFrameHeight + 4, kFrameWidth, kBar);
    bindBar(wChange_, model_.wChange);

    auto* zoomCaption = new QLabel(tr("缩放"), central_);
    zoomCaption->setObjectName(QStringLiteral("zoomCaption"));
    const int zoomY = kFrameY + kFrameHeight + 4 + kBar + 8;
    zoomCaption->setGeometry(kFrameX, zoomY, 34, kBar);
    zoom_ = new QScrollBar(Qt::Horizontal, central_);
    zoom_->setObjectName(QStringLiteral("zoom"));
    zoom_->setGeometry(kFrameX + 36, zoomY, kFrameWidth - 36, kBar);
    zoom_->setTracking(false);
    bindBar(zoom_, model_.zoom);

    const int modeY = zoomY + kBar + 8;
    const int modeW = (kFrameWidth - 12) / 3;
    command1_ = makeButton(QStringLiteral("Command1"), tr("局部"));
    command1_->setGeometry(kFrameX, modeY, modeW, 26);
    connect(command1_, &QPushButton::clicked, this, &MainWindow::partMode);
    command11_ = makeButton(QStringLiteral("Command11"), tr("全图"));
    command11_->setGeometry(kFrameX + modeW + 6, modeY, modeW, 26);
    connect(command11_, &QPushButton::clicked, this, &MainWindow::wholeMode);
    QPushButton* command12 = makeButton(QStringLiteral("Command12"), tr("还原"));
    command12->setGeometry(kFrameX + 2 * (modeW + 6), modeY, modeW, 26);
    connect(command12, &QPushButton::clicked, this, &MainWindow::restore);

    // Text overlay entry, shown by "文字".
    const int textY = modeY + 26 + 10;
    text1_ = new QLineEdit(tr("在这里输入你的文字"), central_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(kFrameX, textY, kFrameWidth - 2 * 56, 24);
    command8_ = makeButton(QStringLiteral("Command8"), tr("确定"));
    command8_->setGeometry(kFrameX + kFrameWidth - 2 * 56 + 4, textY, 52, 24);
    command9_ = makeButton(QStringLiteral("Command9"), tr("清除"));
    command9_->setGeometry(kFrameX + kFrameWidth - 52, textY, 52, 24);
    connect(command8_, &QPushButton::clicked, this, [this] {
        showTextEntry(false);
        label8_->setText(text1_->text());
        label8_->adjustSize();
        label8_->show();
    });
    connect(command9_, &QPushButton::clicked, this, [this] { showTextEntry(false); });
    showTextEntry(false);

    // Command buttons between the picture and the grid display.
    struct ButtonSpec {
        const char* name;
        const char* caption;
    };
    const ButtonSpec buttons[] = {
        {"Command4", QT_TR_NOOP("效果预览->")}, {"Command3", QT_TR_NOOP("保存效果")},
        {"Command5", QT_TR_NOOP("导入图片")},   {"Command6", QT_TR_NOOP("绣图图库")},
        {"Command7", QT_TR_NOOP("绣图设置")},   {"Command13", QT_TR_NOOP("帮助")},
    };
    const int buttonX = kFrameX + kFrameWidth + 2 + kBar + 6;
    const int buttonW = kViewportX - 6 - buttonX;
    int y = kFrameY + kFrameTitle;
    for (const ButtonSpec& s : buttons) {
        QPushButton* b = makeButton(QString::fromUtf8(s.name), tr(s.caption));
        b->setGeometry(buttonX, y, buttonW, 30);
        y += 30 + (y == kFrameY + kFrameTitle ? 24 : 10);
    }
    auto button = [this](const char* name) {
        return central_->findChild<QPushButton*>(QString::fromUtf8(name));
    };
    connect(button("Command4"), &QPushButton::clicked, this, [this] { (void)hub_.invokeColourReduction(); });
    connect(button("Command3"), &QPushButton::clicked, this, [this] { hub_.invokeSaveEffect(); });
    connect(button("Command5"), &QPushButton::clicked, this, [this] {
        state_.previewReady = false;
        hub_.invokeShowFileChooser(WindowHub::Origin::Button, pos() + QPoint(120, 93));
    });
    connect(button("Command6"), &QPushButton::clicked, this, [this] {
        state_.previewReady = false;
        hub_.invokeShowGallery(WindowHub::Origin::Button, pos() + QPoint(320, 93));
    });
    connect(button("Command7"), &QPushButton::clicked, this, [this] { hub_.invokeShowSettingsWindow(); });
    connect(button("Command13"), &QPushButton::clicked, this, &MainWindow::openHelp);
    QPushButton* command2 = makeButton(QStringLiteral("Command2"), tr("效果预览->"));
    command2->hide();
    connect(command2, &QPushButton::clicked, this, [this] { runEffectPreview(); });

    // Hidden holders of the loaded picture and of the reduction.
    for (const char* name : {"Picture3", "Picture5"}) {
        auto* holder = new QWidget(central_);
        holder->setObjectName(QString::fromUtf8(name));
        holder->hide();
    }

    // Grid display viewport and its scroll bars.
    picture6_ = new QWidget(central_);
    picture6_->setObjectName(QStringLiteral("Picture6"));
    picture6_->setGeometry(kViewportX, kViewportY, kViewportWidth, kViewportHeight);
    picture6_->setAutoFillBackground(true);
    picture6_->setPalette(white);
    picture1_ = new PictureBox(picture6_);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setCursor(Qt::PointingHandCursor);
    picture1_->setGeometry(0, 0, 0, 0);
    connect(picture1_, &PictureBox::pressed, this,
            [this](QPointF p, Qt::MouseButton) { model_.canvasPress(p.x(), p.y()); });
    connect(picture1_, &PictureBox::released, this,
            [this](QPointF p, Qt::MouseButton) { model_.canvasRelease(p.x(), p.y()); });

    wMatrix_ = new QScrollBar(Qt::Horizontal, central_);
    wMatrix_->setObjectName(QStringLiteral("wMatrix"));
    wMatrix_->setGeometry(kViewportX, kViewportY + kViewportHeight, kViewportWidth, kBar);
    wMatrix_->setTracking(false);
    bindBar(wMatrix_, model_.wMatrix);
    hMatrix_ = new QScrollBar(Qt::Vertical, central_);
    hMatrix_->setObjectName(QStringLiteral("Hmatrix"));
    hMatrix_->setGeometry(kViewportX + kViewportWidth, kViewportY, kBar, kViewportHeight);
    hMatrix_->setTracking(false);
    bindBar(hMatrix_, model_.Hmatrix);

    // Cloth size and status lines along the bottom edge.
    const int bottomY = kViewportY + kViewportHeight + kBar + 8;
    label1_ = new QLabel(QString::fromStdString(model_.clothLine()), central_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(kFrameX, bottomY, kViewportX - kFrameX - 8, 22);
    label4_ = new QLabel(tr("欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！"), central_);
    label4_->setObjectName(QStringLiteral("Label4"));
    label4_->setGeometry(kViewportX, bottomY, kClientWidth - kViewportX - 4, 22);

    gridWindowChanged();
    surfaceMoved();
    modeButtonsChanged();
    resetLabelColours();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("文件"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    add(file, "mnuImportFile", tr("导入图片文件"),
        [this] { hub_.invokeShowFileChooser(WindowHub::Origin::Menu, std::nullopt); })->setShortcut(QKeySequence::Open);
    add(file, "mnuScreenCapture", tr("直接屏幕截图"), [this] { hub_.invokeStartScreenCapture(); });
    add(file, "mnuPastePicture", tr("粘贴图片"), [this] { hub_.invokePastePicture(); })->setShortcut(QKeySequence::Paste);
    add(file, "mnuGenerate", tr("生成我的绣图"), [this] { generateChart(); });
    // Printing starts in the chart window; this entry leads there like "打印".
    add(file, "mnuPrint", tr("打印绣图"), [this] { generateChart(); })->setShortcut(QKeySequence::Print);
    file->addSeparator();
    add(file, "mnuOpenProject", tr("打开绣图工程..."), [this] { hub_.invokeOpenChartProject(); });
    add(file, "mnuSaveProject", tr("保存绣图工程..."), [this] { hub_.invokeSaveChartProject(); });
    file->addMenu(tr("最近打开"))->setObjectName(QStringLiteral("mnuRecent")); // filled by RecentFiles
    file->addSeparator();
    QAction* exit = add(file, "mnuExit", tr("退出十字绣图Kanvo"), [this] { exitProgram(); });
    exit->setShortcut(QKeySequence::Quit);
    if (exit->shortcut().isEmpty()) // a platform without a standard key for quitting
        exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* settings = menuBar()->addMenu(tr("设置"));
    settings->setObjectName(QStringLiteral("mnuSettings"));
    add(settings, "mnuSoftwareSettings", tr("软件设置"), [this] { hub_.invokeShowSettingsWindow(); });
    add(settings, "mnuChartSettings", tr("绣图设置", "menu"), [this] { hub_.invokeShowSettingsWindow(); });
    settings->addSeparator();
    add(settings, "mnuGallery", tr("绣图图库"),
        [this] { hub_.invokeShowGallery(WindowHub::Origin::Menu, std::nullopt); });

    // Each language under its own name, so that a user who cannot read the other finds it.
    QMenu* languages = menuBar()->addMenu(QStringLiteral("语言 / Language"));
    languages->setObjectName(QStringLiteral("mnuLanguage"));
    auto* group = new QActionGroup(languages);
    for (const auto& [name, caption, language] : {std::tuple{"mnuChinese", "中文", UiLanguage::Language::Chinese},
             std::tuple{"mnuEnglish", "English", UiLanguage::Language::English}}) {
        QAction* a = languages->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromUtf8(name));
        a->setCheckable(true);
        a->setData(static_cast<int>(language));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, language] { chooseLanguage(language); });
    }

    QMenu* help = menuBar()->addMenu(tr("帮助"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuGuide", tr("使用说明"), [this] { openHelp(); })->setShortcut(QKeySequence::HelpContents);
    add(help, "mnuAbout", tr("关于十字绣Kanvo"), [this] { AboutBox::show(this); });
}

void MainWindow::bindBar(QScrollBar* bar, ScrollBarModel& model)
{
    auto sync = [this, bar, &model] {
        const QSignalBlocker block(bar);
        bar->setRange(model.minimum(), model.maximum());
        bar->setSingleStep(model.smallStep());
        bar->setPageStep(model.largeStep());
        bar->setValue(model.value());
    };
    model.onUpdate = sync;
    sync();
    connect(bar, &QScrollBar::valueChanged, this, [&model](int value) { (void)model.setValue(value); });
}

ClickableLabel* MainWindow::makeLabel(const QString& name, const QString& caption, const QString& tip)
{
    auto* l = new ClickableLabel(caption, central_);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    if (!tip.isEmpty())
        l->setToolTip(tip);
    connect(l, &ClickableLabel::hovered, this, [this, l] { hoverLabel(l); });
    return l;
}

QPushButton* MainWindow::makeButton(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, central_);
    b->setObjectName(name);
    return b;
}

void MainWindow::hoverLabel(ClickableLabel* label)
{
    if (hoverLabels_.contains(label))
        setLabelColour(label, palette().color(QPalette::ButtonText));
}

void MainWindow::resetLabelColours()
{
    for (ClickableLabel* l : hoverLabels_)
        setLabelColour(l, kIdleLabelColour);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == central_ && event->type() == QEvent::MouseMove)
        resetLabelColours();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showTextEntry(bool visible)
{
    text1_->setVisible(visible);
    command8_->setVisible(visible);
    command9_->setVisible(visible);
}

void MainWindow::load()
{
    try {
        model_.initialize();
        state_.imageBuffer1.Free();
        state_.imageBuffer2.Free();
        label8_->hide();
        (void)model_.wholeMode();
        model_.partMode();
        QCoreApplication::processEvents();
        initialPictureStep();
        QCoreApplication::processEvents();
        (void)model_.wChange.setValue(117);
        QCoreApplication::processEvents();
    } catch (const std::exception&) {
        state_.ColorBit = 16;
        (void)runEffectPreview();
    }
}

void MainWindow::initialPictureStep()
{
    const auto found = paths_.startupPicture();
    state_.sourceFile = found ? found->toStdString() : std::string(AppPaths::kStartupPicture);
    (void)loadSourcePicture();
}

bool MainWindow::loadSourcePicture()
{
    if (!model_.loadSourcePicture())
        return false;
    // The effect preview on the right was the old picture's: the grid display is empty again.
    state_.previewReady = false;
    picture1_->setImage(QImage());
    picture1_->resize(0, 0);
    return true;
}

void MainWindow::drawMatrixS()
{
    model_.drawMatrixS();
}

void MainWindow::showMatrixS()
{
    model_.showMatrixS();
}

bool MainWindow::runEffectPreview()
{
    return hub_.invokeEffectPreview();
}

void MainWindow::partMode()
{
    model_.partMode();
}

void MainWindow::wholeMode()
{
    (void)model_.wholeMode();
}

void MainWindow::restore()
{
    model_.restore();
    repaintPicture();
}

void MainWindow::zoomIn()
{
    model_.zoomIn();
}

void MainWindow::zoomOut()
{
    model_.zoomOut();
}

void MainWindow::generateChart()
{
    if (state_.previewReady) {
        hub_.invokeShowChartWindow();
        state_.previewReady = false;
        return;
    }
    MessageBoxes::current().information(this, tr("Quillex 你身边的好软件"),
                                        tr("   生成绣图前请先点击效果预览键    "));
}

void MainWindow::setWorkControlsEnabled(bool enabled)
{
    for (const char* name : {"Command4", "Command5", "Command6"})
        if (auto* button = central_->findChild<QPushButton*>(QString::fromUtf8(name)))
            button->setEnabled(enabled);
    for (QScrollBar* bar : {zoom_, wChange_, hChange_})
        bar->setEnabled(enabled);
}

void MainWindow::openHelp()
{
    // Without a message a missing document or a desktop that cannot open it looks like a dead
    // button: say where the document is (or should be), so it can be opened by hand.
    const QString title = tr("Quillex 你身边的好软件");
    const auto help = paths_.helpDocument(runningLanguage_);
    if (!help) {
        QStringList folders = paths_.documentFolders();
        if (folders.isEmpty())
            folders << AppPaths::programFolder();
        MessageBoxes::current().information(this, title,
            tr("找不到使用说明“%1”，它应在以下文件夹中：\n%2")
                .arg(AppPaths::helpDocumentName(runningLanguage_),
                    QDir::toNativeSeparators(folders.join(QLatin1Char('\n')))));
        return;
    }
    if (!openDocument || !openDocument(QUrl::fromLocalFile(*help)))
        MessageBoxes::current().information(this, title,
            tr("没有能打开使用说明的程序。使用说明在：\n%1").arg(QDir::toNativeSeparators(*help)));
}

void MainWindow::showLanguage(UiLanguage::Language running)
{
    runningLanguage_ = running;
    for (QAction* a : menuBar()->findChild<QMenu*>(QStringLiteral("mnuLanguage"))->actions())
        a->setChecked(a->data().toInt() == static_cast<int>(running));
}

void MainWindow::chooseLanguage(UiLanguage::Language language)
{
    if (saveLanguage)
        saveLanguage(language);
    // The windows are built in one language; the choice applies from the next start.
    const QString text = language == runningLanguage_ ? tr("程序已在使用这种语言。")
                                                      : tr("界面语言将在下次启动程序时改变。");
    MessageBoxes::current().information(this, QStringLiteral("语言 / Language"), text);
}

void MainWindow::exitProgram()
{
    if (!hub_.invokeConfirmChartChanges())
        return;
    hub_.closeSecondaryWindows();
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!hub_.invokeConfirmChartChanges()) {
        event->ignore();
        return;
    }
    hub_.closeSecondaryWindows();
    QMainWindow::closeEvent(event);
    emit closed();
}

QImage& MainWindow::zoomedSurface()
{
    return picture4_->image();
}

void MainWindow::setZoomedSurface(QImage image)
{
    const QSize size = image.size();
    picture4_->setImage(std::move(image));
    model_.setSurfaceSize(size.width(), size.height());
}

void MainWindow::repaintPicture()
{
    picture4_->update();
}

QWidget* MainWindow::gridWindowWidget() const
{
    return picture2_;
}

QWidget* MainWindow::surfaceWidget() const
{
    return picture4_;
}

QImage& MainWindow::gridCanvas()
{
    return picture1_->image();
}

void MainWindow::surfacePressed(QPointF position)
{
    if (label8_->isVisible()) {
        stampOverlayText();
        repaintPicture();
        label8_->hide();
        (void)runEffectPreview();
    }
    label8_->hide();
    model_.surfacePress(position.x(), position.y());
}

void MainWindow::stampOverlayText()
{
    QImage& surface = picture4_->image();
    if (surface.isNull())
        return;
    // Point sizes scale with the device's resolution, and a decoded picture often carries 72 dpi
    // where the label is drawn at the screen's 96: paint at the label's resolution.
    const int dpmX = surface.dotsPerMeterX();
    const int dpmY = surface.dotsPerMeterY();
    surface.setDotsPerMeterX(qRound(label8_->logicalDpiX() / 0.0254));
    surface.setDotsPerMeterY(qRound(label8_->logicalDpiY() / 0.0254));
    {
        QPainter painter(&surface);
        painter.setFont(label8_->font());
        painter.setPen(label8_->palette().color(QPalette::WindowText));
        painter.drawText(label8_->contentsRect().translated(label8_->pos()), int(label8_->alignment()),
            label8_->text());
    }
    surface.setDotsPerMeterX(dpmX);
    surface.setDotsPerMeterY(dpmY);
}

void MainWindow::surfaceMovedPointer(QPointF position)
{
    if (label8_->isVisible())
        label8_->move(px(position.x()) - label8_->width(), px(position.y()) - label8_->height());
}

std::optional<PictureSize> MainWindow::decodeSourcePicture()
{
    auto image = PictureDecoder::decode(QString::fromStdString(state_.sourceFile));
    if (!image)
        return std::nullopt;
    source_ = std::move(*image);
    return PictureSize{source_.width(), source_.height()};
}

void MainWindow::showNaturalPicture()
{
    picture4_->setImage(source_.copy());
}

void MainWindow::stretchPicture(int width, int height)
{
    picture4_->setImage(SurfacePicture::stretched(source_, width, height));
}

void MainWindow::surfaceMoved()
{
    const WindowRect& s = model_.surface();
    const QSize size = picture4_->image().isNull() ? QSize(px(s.width), px(s.height)) : picture4_->image().size();
    picture4_->setGeometry(px(s.left), px(s.top), size.width(), size.height());
}

void MainWindow::gridWindowChanged()
{
    const WindowRect& g = model_.gridWindow();
    picture2_->setGeometry(px(g.left), px(g.top), px(g.width), px(g.height));
}

void MainWindow::clothLineChanged()
{
    label1_->setText(QString::fromStdString(model_.clothLine()));
}

void MainWindow::modeButtonsChanged()
{
    command1_->setEnabled(model_.partButtonEnabled());
    command11_->setEnabled(model_.wholeButtonEnabled());
}

void MainWindow::redrawGrid()
{
    const WindowRect& c = model_.canvas();
    const int w = px(c.width);
    const int h = px(c.height);
    QImage canvas(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const auto words = static_cast<std::size_t>(canvas.sizeInBytes() / 4);
    const std::span<std::uint32_t> pixels(reinterpret_cast<std::uint32_t*>(canvas.bits()), words);
    (void)StitchGridRenderer::render(state_.stitchMatrix, roundHalfEvenInt(state_.picW), state_.picH, pixels,
                                     static_cast<std::size_t>(canvas.bytesPerLine() / 4),
                                     WorkspaceModel::kCellSize);
    picture1_->setImage(std::move(canvas));
    picture1_->resize(w, h);
}

void MainWindow::canvasMoved()
{
    const WindowRect& c = model_.canvas();
    picture1_->move(px(c.left), px(c.top));
}

} // namespace kanvo
