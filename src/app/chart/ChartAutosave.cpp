#include "app/chart/ChartAutosave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/chart/AutosaveSlot.h"
#include "core/palette/ColorIndex.h"
#include "core/project/OxsWriter.h"

namespace kanvo {

ChartAutosave::ChartAutosave(QObject* parent)
    : QObject(parent), folder_(defaultFolder()), name_(QFileInfo(AutosaveSlot::uniqueFilePath(folder_)).fileName())
{
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { (void)flush(); });
}

ChartAutosave::~ChartAutosave() = default;

QString ChartAutosave::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

void ChartAutosave::setFolder(const QString& folder)
{
    if (slot_)
        slot_->remove();
    slot_.reset();
    folder_ = folder;
}

QString ChartAutosave::filePath() const { return QDir(folder_).filePath(name_); }

bool ChartAutosave::exists() const { return QFileInfo::exists(filePath()); }

QDateTime ChartAutosave::savedAt() const { return QFileInfo(filePath()).lastModified(); }

void ChartAutosave::schedule()
{
    // A change during the wait rides along with the write already due.
    if (!timer_.isActive())
        timer_.start();
}

bool ChartAutosave::flush()
{
    timer_.stop();
    error_.clear();
    const std::optional<ChartProject> project = snapshot ? snapshot() : std::nullopt;
    if (!project) {
        emit safe();
        return true;
    }
    if (!slot_)
        slot_ = std::make_unique<AutosaveSlot>(filePath());
    // The lock comes before the file: another copy never sees this file without it.
    bool written = false;
    if (!QDir().mkpath(folder_)) {
        error_ = "cannot create the folder " + folder_.toStdString();
    } else if (!slot_->claim()) {
        error_ = slot_->errorText();
    } else {
        const ProjectError result = OxsWriter::writeFile(filePath().toStdString(), *project, loadedThreadTable(), &error_);
        written = result == ProjectError::None;
        if (!written && error_.empty())
            error_ = kanvo::errorText(result);
    }
    if (!written) {
        emit writeFailed(QString::fromStdString(error_));
        return false;
    }
    emit safe();
    return true;
}

void ChartAutosave::discard()
{
    timer_.stop();
    if (slot_)
        slot_->remove();
    else
        QFile::remove(filePath());
    emit safe();
}

} // namespace kanvo
