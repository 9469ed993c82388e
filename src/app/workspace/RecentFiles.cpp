#include "app/workspace/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/platform/AppSettings.h"
#include "app/platform/MessageBoxes.h"

namespace kanvo {

RecentFiles::RecentFiles(QMenu& menu, std::function<bool(const QString& path)> open, QObject* parent)
    : QObject(parent), menu_(menu), open_(std::move(open))
{
    setObjectName(QStringLiteral("recentFiles"));
    if (const AppSettings* settings = AppSettings::current())
        files_ = settings->recentFiles();
    rebuildMenu();
}

void RecentFiles::add(const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    files_.removeAll(absolute);
    files_.prepend(absolute);
    files_ = files_.mid(0, AppSettings::kMaxRecentFiles);
    store();
}

void RecentFiles::remove(const QString& path)
{
    files_.removeAll(path);
    store();
}

void RecentFiles::clear()
{
    files_.clear();
    store();
}

bool RecentFiles::choose(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        remove(path);
        MessageBoxes::current().information(menu_.parentWidget(), tr("最近打开"),
            tr("文件“%1”已不存在，已从最近打开的列表中删除。").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return open_ && open_(path);
}

void RecentFiles::store()
{
    if (AppSettings* settings = AppSettings::current())
        settings->setRecentFiles(files_);
    rebuildMenu();
}

void RecentFiles::rebuildMenu()
{
    // Later, not now: the entry being chosen may be the one whose removal rebuilds the menu.
    for (QAction* old : menu_.actions()) {
        menu_.removeAction(old);
        old->deleteLater();
    }
    for (int i = 0; i < files_.size(); ++i) {
        const QString path = files_[i];
        // Numbered with a mnemonic, named by the file; the whole path shows as a tip.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction* entry = menu_.addAction(QStringLiteral("%1 %2").arg(number,
            QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"))));
        entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { (void)choose(path); });
    }
    menu_.setToolTipsVisible(true);
    menu_.addSeparator();
    QAction* clearList = menu_.addAction(tr("清除列表"));
    clearList->setObjectName(QStringLiteral("mnuRecentClear"));
    clearList->setEnabled(!files_.isEmpty());
    connect(clearList, &QAction::triggered, this, &RecentFiles::clear);
}

} // namespace kanvo
