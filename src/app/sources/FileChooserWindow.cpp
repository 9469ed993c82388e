#include "app/sources/FileChooserWindow.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>

#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/sources/GalleryWindow.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/sources/PictureNameRule.h"

namespace kanvo {

namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 300;
constexpr int kMargin = 12;

} // namespace

FileChooserWindow::FileChooserWindow(MainWindow& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("十字绣图Kanvo       -quillex inc."));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    buildControls();

    // A folder confirmed earlier in the run comes back; one deleted since then falls back to
    // its drive, then to the working folder.
    const RunState& state = mainWindow_.runState();
    const QString lastFolder = QString::fromStdString(state.lastFolder);
    const QString lastDrive = QString::fromStdString(state.lastDrive);
    QString start = QDir::currentPath();
    if (lastFolder.size() > 2) {
        if (QFileInfo(lastFolder).isDir())
            start = lastFolder;
        else if (!lastDrive.isEmpty() && QFileInfo(lastDrive).isDir())
            start = lastDrive;
    }
    showFolder(start);
}

FileChooserWindow::~FileChooserWindow() = default;

void FileChooserWindow::buildControls()
{
    label1_ = new QLabel(tr("选择转换成绣图的图片或则照片："), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(kMargin, 8, kWidth - 2 * kMargin, 22);

    folders_ = new QFileSystemModel(this);
    folders_->setObjectName(QStringLiteral("folderModel"));
    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setRootPath(QString());
    dir1_ = new QTreeView(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        dir1_->hideColumn(column);
    dir1_->header()->hide();
    dir1_->setGeometry(kMargin, 34, 220, kHeight - 34 - kMargin);
    connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { folderSelected(); });
    // The model reads folders in the background; once the ones above the shown folder are in,
    // the tree can scroll to it.
    // the tree can scroll to it, and again when the model has sorted what it read. The user's
    // first touch of the tree ends this.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (revealPending_ && folder_.startsWith(loaded))
            revealFolder();
    });
    connect(folders_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (revealPending_)
            revealFolder();
    });
    dir1_->installEventFilter(this);
    dir1_->viewport()->installEventFilter(this);

    const int right = kMargin + 220 + 10;
    const int rightWidth = kWidth - right - kMargin;
    file1_ = new QListWidget(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setGeometry(right, 34, rightWidth, 150);
    connect(file1_, &QListWidget::currentRowChanged, this, &FileChooserWindow::fileClicked);
    connect(file1_, &QListWidget::itemDoubleClicked, this, [this] { confirm(); });

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(right, 34 + 150 + 10, kPreviewWidth, kPreviewHeight);
    image1_->setFrameShape(QFrame::Box);
    image1_->setScaledContents(true); // stretched to the box, proportions not kept

    const int buttonX = right + kPreviewWidth + 8;
    const int buttonWidth = kWidth - kMargin - buttonX;
    command1_ = new QPushButton(tr("确定"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(buttonX, 34 + 150 + 10, buttonWidth, 28);
    command1_->setDefault(true);
    connect(command1_, &QPushButton::clicked, this, &FileChooserWindow::confirm);
    command2_ = new QPushButton(tr("取消"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setGeometry(buttonX, 34 + 150 + 10 + 36, buttonWidth, 28);
    connect(command2_, &QPushButton::clicked, this, &FileChooserWindow::cancel);
}

QString FileChooserWindow::drivePath() const
{
    const QStorageInfo volume(folder_);
    return volume.isValid() ? volume.rootPath() : QDir(folder_).rootPath();
}

bool FileChooserWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        revealPending_ = false;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FileChooserWindow::showFolder(const QString& folder)
{
    if (!listFolder(folder))
        return;
    revealPending_ = true;
    revealFolder();
}

bool FileChooserWindow::listFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    folder_ = info.absoluteFilePath();

    // The pictures the program opens, by their names; folders stay in the tree.
    QStringList names = QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString& name) { return !PictureNameRule::isPictureName(name.toStdString()); });
    {
        const QSignalBlocker block(file1_);
        file1_->clear();
        file1_->addItems(names);
        file1_->setCurrentRow(-1);
    }
    return true;
}

void FileChooserWindow::revealFolder()
{
    // Folders the model has not read yet have no index: open the deepest one it has, and come
    // back when that one is read (directoryLoaded).
    QString path = folder_;
    QModelIndex index = folders_->index(path);
    while (!index.isValid()) {
        const QString up = QFileInfo(path).path();
        if (up == path)
            return;
        path = up;
        index = folders_->index(path);
    }
    syncing_ = true;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        dir1_->expand(parent);
    if (path == folder_) {
        if (dir1_->currentIndex() != index)
            dir1_->setCurrentIndex(index);
        dir1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else {
        dir1_->expand(index);
        if (folders_->canFetchMore(index))
            folders_->fetchMore(index);
    }
    syncing_ = false;
}

void FileChooserWindow::folderSelected()
{
    if (syncing_)
        return;
    const QModelIndex index = dir1_->currentIndex();
    if (index.isValid())
        (void)listFolder(folders_->filePath(index));
}

void FileChooserWindow::fileClicked(int row)
{
    const QListWidgetItem* item = file1_->item(row);
    if (item == nullptr)
        return;
    if (!PictureNameRule::showsPreview(item->text().toStdString(), PictureNameRule::Case::LowerOnly))
        return;
    // An undecodable file keeps the last preview.
    auto picture = PictureDecoder::decode(QDir(folder_).filePath(item->text()));
    if (!picture)
        return;
    preview_ = std::move(*picture);
    image1_->setPixmap(QPixmap::fromImage(preview_));
}

void FileChooserWindow::confirm()
{
    const QListWidgetItem* item = file1_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        close();
        return;
    }
    RunState& state = mainWindow_.runState();
    state.sourceFile = QDir(folder_).filePath(item->text()).toStdString();
    state.lastDrive = drivePath().toStdString();
    state.lastFolder = folder_.toStdString();
    // A picture that cannot be loaded is named as such, then the chooser closes all the same.
    if (!mainWindow_.loadSourcePicture())
        MessageBoxes::current().information(this, QString::fromUtf8(GalleryWindow::kErrorTitle),
                                            QString::fromUtf8(GalleryWindow::kErrorText));
    else
        mainWindow_.hub().invokeFileUsed(QString::fromStdString(state.sourceFile));
    close();
}

void FileChooserWindow::cancel()
{
    close();
}

} // namespace kanvo
