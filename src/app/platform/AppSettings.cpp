#include "app/platform/AppSettings.h"

#include <QSettings>
#include <QStandardPaths>

namespace kanvo {

namespace {

AppSettings* installed = nullptr;

const QString kRecentKey = QStringLiteral("recentFiles");
const QString kGeometryGroup = QStringLiteral("windows/");
const QString kFolderGroup = QStringLiteral("folders/");

} // namespace

AppSettings::AppSettings(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

AppSettings::~AppSettings()
{
    if (installed == this)
        installed = nullptr;
}

QString AppSettings::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kanvo/kanvo.conf");
}

QString AppSettings::filePath() const
{
    return settings_->fileName();
}

std::optional<UiLanguage::Language> AppSettings::language() const
{
    return UiLanguage::saved(*settings_);
}

void AppSettings::setLanguage(UiLanguage::Language language)
{
    UiLanguage::save(*settings_, language);
}

QStringList AppSettings::recentFiles() const
{
    QStringList files = settings_->value(kRecentKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kMaxRecentFiles);
}

void AppSettings::setRecentFiles(const QStringList& files)
{
    settings_->setValue(kRecentKey, files.mid(0, kMaxRecentFiles));
    settings_->sync();
}

QByteArray AppSettings::windowGeometry(const QString& name) const
{
    return settings_->value(kGeometryGroup + name).toByteArray();
}

void AppSettings::setWindowGeometry(const QString& name, const QByteArray& geometry)
{
    settings_->setValue(kGeometryGroup + name, geometry);
    settings_->sync();
}

QString AppSettings::lastFolder(const QString& dialog) const
{
    return settings_->value(kFolderGroup + dialog).toString();
}

void AppSettings::setLastFolder(const QString& dialog, const QString& folder)
{
    settings_->setValue(kFolderGroup + dialog, folder);
    settings_->sync();
}

AppSettings* AppSettings::current()
{
    return installed;
}

void AppSettings::setCurrent(AppSettings* settings)
{
    installed = settings;
}

} // namespace kanvo
