#include "app/sources/GalleryWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/workspace/MainWindow.h"
#include "core/sources/PictureNameRule.h"

namespace kanvo {

namespace {

constexpr int kWidth = 820;
constexpr int kHeight = 560;
constexpr int kMargin = 12;
constexpr int kTop = 50;
constexpr int kListWidth = 180;
constexpr int kBodyHeight = 440;

} // namespace

GalleryWindow::GalleryWindow(MainWindow& mainWindow, std::function<void()> closeFileChooser,
                             QStringList searchFolders, QWidget* parent)
    : QWidget(parent, Qt::Window),
      mainWindow_(mainWindow),
      closeFileChooser_(std::move(closeFileChooser)),
      searchFolders_(std::move(searchFolders))
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(tr("十字绣图Kanvo ---奎乐软件quillex inc."));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    buildControls();

    label1_->setText(tr("温馨提示：对于颜色数较少的卡通类图片，可以在 绣图设置-减色方式，选择-'不做减色处理'，"
                        "且选择 局部，不要对图形做缩放处理。可得到最佳效果"));
    // The first category shows without its button being marked; a missing folder leaves the
    // list empty.
    if (const auto folder = categoryFolder(QString::fromUtf8(kCategories[0].name)))
        showFolder(*folder);
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::buildControls()
{
    int x = kMargin;
    for (int i = 0; i < static_cast<int>(std::size(kCategories)); ++i) {
        auto* b = new QPushButton(tr(kCategories[i].name), this);
        b->setObjectName(QString::fromUtf8(kCategories[i].button));
        b->setGeometry(x, 10, 80, 30);
        x += 80 + 6;
        connect(b, &QPushButton::clicked, this, [this, i] { chooseCategory(i); });
        categoryButtons_ << b;
    }

    file1_ = new QListWidget(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setGeometry(kMargin, kTop, kListWidth, kBodyHeight);
    connect(file1_, &QListWidget::currentRowChanged, this, &GalleryWindow::fileClicked);

    // Natural size from the top-left corner; a larger picture is cut at the box's edges.
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    const int imageX = kMargin + kListWidth + 12;
    image1_->setGeometry(imageX, kTop, kWidth - kMargin - imageX, kBodyHeight);
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->setFrameShape(QFrame::StyledPanel);

    const int bottom = kTop + kBodyHeight + 10;
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);
    label1_->setGeometry(kMargin, bottom, 620, kHeight - bottom - 8);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    command5_ = new QPushButton(tr("应用"), this);
    command5_->setObjectName(QStringLiteral("Command5"));
    command5_->setGeometry(kWidth - kMargin - 70 - 8 - 100, bottom + 4, 100, 32);
    connect(command5_, &QPushButton::clicked, this, [this] { (void)apply(); });
    command9_ = new QPushButton(tr("退出"), this);
    command9_->setObjectName(QStringLiteral("Command9"));
    command9_->setGeometry(kWidth - kMargin - 70, bottom + 4, 70, 32);
    connect(command9_, &QPushButton::clicked, this, &QWidget::close);
}

std::optional<QString> GalleryWindow::categoryFolder(const QString& name) const
{
    for (const QString& root : searchFolders_) {
        const QFileInfo info(QDir(root).filePath(name));
        if (info.isDir())
            return info.absoluteFilePath();
    }
    return std::nullopt;
}

QString GalleryWindow::currentCategoryButton() const
{
    for (const QPushButton* b : categoryButtons_) {
        if (!b->isEnabled())
            return b->objectName();
    }
    return {};
}

void GalleryWindow::chooseCategory(int index)
{
    if (index < 0 || index >= categoryButtons_.size())
        return;
    for (int i = 0; i < categoryButtons_.size(); ++i)
        categoryButtons_[i]->setEnabled(i != index);
    // The button marks the choice even when its folder is missing; the list then keeps the
    // previous folder, which is the one "应用" uses.
    if (const auto folder = categoryFolder(QString::fromUtf8(kCategories[index].name)))
        showFolder(*folder);
}

void GalleryWindow::showFolder(const QString& folder)
{
    folder_ = folder;
    const QStringList names = QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker block(file1_);
    file1_->clear();
    file1_->addItems(names);
    file1_->setCurrentRow(-1);
}

void GalleryWindow::fileClicked(int row)
{
    const QListWidgetItem* item = file1_->item(row);
    if (item == nullptr
        || !PictureNameRule::showsPreview(item->text().toStdString(), PictureNameRule::Case::LowerOrUpper))
        return;
    auto picture = PictureDecoder::decode(QDir(folder_).filePath(item->text()));
    if (!picture)
        return;
    preview_ = std::move(*picture);
    image1_->setPixmap(QPixmap::fromImage(preview_));
}

bool GalleryWindow::apply()
{
    // Without a selection the folder itself becomes the source; it does not decode, so the
    // load stops right after switching to part-of-picture mode and the message follows.
    const QListWidgetItem* item = file1_->currentItem();
    const QString name = (item != nullptr && item->isSelected()) ? item->text() : QString();
    mainWindow_.runState().sourceFile = QDir(folder_).filePath(name).toStdString();
    if (!mainWindow_.loadSourcePicture() || name.isEmpty()) {
        reportFailure();
        return false;
    }
    if (closeFileChooser_)
        closeFileChooser_();
    return true;
}

void GalleryWindow::reportFailure()
{
    MessageBoxes::current().information(this, QString::fromUtf8(kErrorTitle), tr(kErrorText));
}

} // namespace kanvo
