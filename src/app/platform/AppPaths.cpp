#include "app/platform/AppPaths.h"

#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kanvo {

AppPaths::AppPaths(QStringList pictureFolders, QStringList shippedFolders)
    : pictureFolders_(std::move(pictureFolders)), shippedFolders_(std::move(shippedFolders))
{
}

AppPaths AppPaths::standard()
{
    return AppPaths({QStringLiteral(".")}, shippedFolders());
}

std::optional<QString> AppPaths::startupPicture() const
{
    const QString name = QString::fromUtf8(kStartupPicture);
    if (auto found = findFile(pictureFolders_, name))
        return found;
    return findFile(shippedFolders_, name);
}

std::optional<QString> AppPaths::helpDocument() const
{
    return findFile(shippedFolders_, QString::fromUtf8(kHelpDocument));
}

std::optional<QString> AppPaths::helpDocument(UiLanguage::Language language) const
{
    return findFile(shippedFolders_, helpDocumentName(language));
}

QString AppPaths::helpDocumentName(UiLanguage::Language language)
{
    return QString::fromUtf8(language == UiLanguage::Language::English ? kEnglishHelpDocument : kHelpDocument);
}

QString AppPaths::scratchFolder()
{
    // A trial file says more than the permission bits: root passes those everywhere, and a
    // working folder may be read-only mounted or already deleted.
    QTemporaryFile probe(QDir::current().filePath(QStringLiteral("kanvo-XXXXXX.tmp")));
    if (probe.open())
        return {};
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(cache);
    return cache;
}

QString AppPaths::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QStringList AppPaths::shippedFolders()
{
    QStringList candidates{programFolder()};
#ifdef KANVO_RELATIVE_DATADIR
    // An installation moved or made under another prefix (a package, cmake --install --prefix)
    // keeps its data folder at the same place relative to the program.
    candidates << QDir::cleanPath(QDir(programFolder()).filePath(QStringLiteral(KANVO_RELATIVE_DATADIR)));
#endif
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

std::optional<QString> AppPaths::findFile(const QStringList& folders, const QString& name)
{
    for (const QString& folder : folders) {
        const QFileInfo info(QDir(folder).filePath(name));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return std::nullopt;
}

} // namespace kanvo
