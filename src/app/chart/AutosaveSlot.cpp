#include "app/chart/AutosaveSlot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

namespace kanvo {

AutosaveSlot::AutosaveSlot(QString filePath) : path_(std::move(filePath)) {}

AutosaveSlot::~AutosaveSlot() = default;

QString AutosaveSlot::uniqueFilePath(const QString& folder)
{
    // The process id tells the files apart among running copies; the random part keeps a
    // later copy given the id of a crashed one off that copy's file.
    const QString name = QStringLiteral("autosave-%1-%2.oxs")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    return QDir(folder).filePath(name);
}

std::vector<std::unique_ptr<AutosaveSlot>> AutosaveSlot::orphans(const QString& folder)
{
    std::vector<std::unique_ptr<AutosaveSlot>> found;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("autosave*.oxs")}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        auto slot = std::make_unique<AutosaveSlot>(file.filePath());
        if (slot->claim())
            found.push_back(std::move(slot));
    }
    return found;
}

bool AutosaveSlot::claim()
{
    error_.clear();
    if (claimed())
        return true;
    auto lock = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // A copy may run for days: only a lock whose process has gone is stale, never an old one.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        error_ = lock->error() == QLockFile::LockFailedError
            ? "another running copy of the program holds " + path_.toStdString()
            : "cannot write the lock file beside " + path_.toStdString();
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

bool AutosaveSlot::claimed() const { return lock_ != nullptr && lock_->isLocked(); }

void AutosaveSlot::remove()
{
    QFile::remove(path_);
    lock_.reset();
}

bool AutosaveSlot::exists() const { return QFileInfo::exists(path_); }

QDateTime AutosaveSlot::savedAt() const { return QFileInfo(path_).lastModified(); }

} // namespace kanvo
