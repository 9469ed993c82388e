#include "app/chart/ChartAutosave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/palette/ColorIndex.h"
#include "core/project/OxsWriter.h"

namespace kanvo {

namespace {

constexpr const char* kFileName = "autosave.oxs";

} // namespace

ChartAutosave::ChartAutosave(QObject* parent) : QObject(parent), folder_(defaultFolder())
{
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { (void)flush(); });
}

QString ChartAutosave::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

void ChartAutosave::setFolder(const QString& folder) { folder_ = folder; }

QString ChartAutosave::filePath() const { return QDir(folder_).filePath(QString::fromUtf8(kFileName)); }

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
    if (!project)
        return true;
    if (!QDir().mkpath(folder_)) {
        error_ = "cannot create the folder " + folder_.toStdString();
        return false;
    }
    const ProjectError written = OxsWriter::writeFile(filePath().toStdString(), *project, loadedThreadTable(), &error_);
    if (written != ProjectError::None && error_.empty())
        error_ = kanvo::errorText(written);
    return written == ProjectError::None;
}

void ChartAutosave::discard()
{
    timer_.stop();
    QFile::remove(filePath());
}

} // namespace kanvo
