#include "app/workspace/DocumentOpener.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QStorageInfo>

#include "app/platform/AppSettings.h"
#include "app/platform/MessageBoxes.h"
#include "app/sources/GalleryWindow.h"
#include "app/workspace/FileDropFilter.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/RecentFiles.h"
#include "app/workspace/WindowHub.h"
#include "core/workspace/RunState.h"

namespace kanvo {

namespace {

// The file chooser's folder, kept between runs under this name.
const QString kChooserFolder = QStringLiteral("imageChooser");

} // namespace

DocumentOpener::DocumentOpener(MainWindow& mainWindow, WindowHub& hub)
    : QObject(&mainWindow), mainWindow_(mainWindow), hub_(hub)
{
    setObjectName(QStringLiteral("documentOpener"));
    auto* menu = mainWindow.findChild<QMenu*>(QStringLiteral("mnuRecent"));
    if (menu == nullptr) {
        menu = new QMenu(&mainWindow); // never shown; the list is still kept
        menu->setObjectName(QStringLiteral("mnuRecent"));
    }
    recent_ = new RecentFiles(*menu, [this](const QString& path) { return open(path); }, this);
    if (const AppSettings* settings = AppSettings::current()) {
        const QString folder = settings->lastFolder(kChooserFolder);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            RunState& state = mainWindow.runState();
            state.lastFolder = folder.toStdString();
            state.lastDrive = QStorageInfo(folder).rootPath().toStdString();
        }
    }
}

DocumentOpener* DocumentOpener::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto* opener = new DocumentOpener(mainWindow, hub);
    hub.openFile = [opener](const QString& path) { return opener->open(path); };
    hub.pastePicture = [opener] { (void)opener->paste(); };
    hub.fileUsed = [opener](const QString& path) { opener->fileUsed(path); };
    FileDropFilter::install(mainWindow, hub);
    return opener;
}

bool DocumentOpener::isProject(const QString& path)
{
    return path.endsWith(QLatin1String(".oxs"), Qt::CaseInsensitive);
}

bool DocumentOpener::open(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (isProject(absolute)) {
        // The chart window asks about unsaved edits itself, once it knows the file is good.
        if (!hub_.invokeOpenChartProjectFile(absolute))
            return false;
    } else if (!openPicture(absolute)) {
        return false;
    }
    fileUsed(absolute);
    return true;
}

bool DocumentOpener::openPicture(const QString& path)
{
    if (!hub_.invokeConfirmChartChanges())
        return false;
    RunState& state = mainWindow_.runState();
    const std::string previous = state.sourceFile;
    state.sourceFile = path.toStdString();
    if (!mainWindow_.loadSourcePicture()) {
        state.sourceFile = previous;
        MessageBoxes::current().information(&mainWindow_, QString::fromUtf8(GalleryWindow::kErrorTitle),
            QCoreApplication::translate("kanvo::GalleryWindow", GalleryWindow::kErrorText));
        return false;
    }
    // The file chooser starts where the picture came from, as after choosing it there.
    const QString folder = QFileInfo(path).absolutePath();
    state.lastFolder = folder.toStdString();
    state.lastDrive = QStorageInfo(folder).rootPath().toStdString();
    return true;
}

bool DocumentOpener::paste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QImage picture = data != nullptr && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (picture.isNull()) {
        MessageBoxes::current().information(&mainWindow_, tr("粘贴图片"), tr("剪贴板中没有图片。请先复制一张图片，再粘贴。"));
        return false;
    }
    return hub_.invokePlacePicture(picture);
}

void DocumentOpener::fileUsed(const QString& path)
{
    recent_->add(path);
    AppSettings* settings = AppSettings::current();
    const std::string& folder = mainWindow_.runState().lastFolder;
    if (settings != nullptr && !isProject(path) && !folder.empty())
        settings->setLastFolder(kChooserFolder, QString::fromStdString(folder));
}

} // namespace kanvo
