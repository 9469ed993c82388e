#include "app/platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/platform/AppSettings.h"

namespace kanvo {

QString FileDialogs::openFile(QWidget* parent, const QString& key, const QString& caption, const QString& filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, caption, startFolder(key), filter);
    remember(key, path);
    return path;
}

QString FileDialogs::saveFile(QWidget* parent, const QString& key, const QString& caption,
                              const QString& suggestedName, const QString& filter)
{
    const QString folder = startFolder(key);
    const QString start = folder.isEmpty() ? suggestedName
        : suggestedName.isEmpty()           ? folder
                                            : QDir(folder).filePath(suggestedName);
    const QString path = QFileDialog::getSaveFileName(parent, caption, start, filter);
    remember(key, path);
    return path;
}

QString FileDialogs::startFolder(const QString& key)
{
    const AppSettings* settings = AppSettings::current();
    const QString folder = settings != nullptr ? settings->lastFolder(key) : QString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void FileDialogs::remember(const QString& key, const QString& path)
{
    if (path.isEmpty())
        return;
    if (AppSettings* settings = AppSettings::current())
        settings->setLastFolder(key, QFileInfo(path).absolutePath());
}

} // namespace kanvo
