#include "app/platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kanvo {

QString AppPaths::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QStringList AppPaths::shippedFolders()
{
    QStringList candidates{programFolder()};
#ifdef KANVO_INSTALL_DATADIR
    candidates << QStringLiteral(KANVO_INSTALL_DATADIR);
#endif
#ifdef KANVO_SOURCE_ASSETS_DIR
    candidates << QStringLiteral(KANVO_SOURCE_ASSETS_DIR);
#endif
    QStringList folders;
    for (const QString& c : candidates) {
        const QFileInfo info(c);
        if (info.isDir() && !folders.contains(info.absoluteFilePath()))
            folders << info.absoluteFilePath();
    }
    return folders;
}

std::optional<QString> AppPaths::findShipped(const QString& relativeName)
{
    for (const QString& folder : shippedFolders()) {
        const QFileInfo info(QDir(folder).filePath(relativeName));
        if (info.exists())
            return info.absoluteFilePath();
    }
    return std::nullopt;
}

std::optional<QString> AppPaths::findStartupPicture()
{
    const QString name = QString::fromUtf8(kStartupPicture);
    const QFileInfo inWorkingFolder(QDir::current().filePath(name));
    if (inWorkingFolder.isFile())
        return inWorkingFolder.absoluteFilePath();
    return findShipped(name);
}

std::optional<QString> AppPaths::findHelpDocument()
{
    return findShipped(QString::fromUtf8(kHelpDocument));
}

} // namespace kanvo
