#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "app/platform/UiLanguage.h"

class QSettings;
class QWidget;

namespace kanvo {

// The program's settings: one file, kanvo.conf, read and written only here. It keeps the
// interface language, the recently opened files, the size and place of the windows and the last
// folder of each file dialog.
//
// The program opens the user's file (defaultFilePath()) and installs it with setCurrent();
// without an installed instance nothing is read or kept, so tests and tools that never install
// one leave the user's settings alone. Every setter writes the file at once, so a crash loses
// nothing already chosen.
class AppSettings {
public:
    // The most files "最近打开" lists.
    static constexpr int kMaxRecentFiles = 10;

    // An INI file at filePath (created on the first write, with its folder).
    explicit AppSettings(const QString& filePath);
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // ~/.config/kanvo/kanvo.conf (Qt's GenericConfigLocation). Found by path rather than by
    // organisation and program names: those read the system locale, which must wait until
    // QtTranslation::prepareSystemLocale() has set it.
    [[nodiscard]] static QString defaultFilePath();
    [[nodiscard]] QString filePath() const;

    // The language chosen in the "语言 / Language" menu, if any.
    [[nodiscard]] std::optional<UiLanguage::Language> language() const;
    void setLanguage(UiLanguage::Language language);

    // Absolute paths, newest first, at most kMaxRecentFiles.
    [[nodiscard]] QStringList recentFiles() const;
    void setRecentFiles(const QStringList& files);

    // QWidget::saveGeometry() of the window called name; empty when none was kept.
    [[nodiscard]] QByteArray windowGeometry(const QString& name) const;
    void setWindowGeometry(const QString& name, const QByteArray& geometry);

    // The folder a file dialog (by its key) last accepted a file in; empty when none.
    [[nodiscard]] QString lastFolder(const QString& dialog) const;
    void setLastFolder(const QString& dialog, const QString& folder);

    // The instance in use, or null (nothing is remembered). Not owned.
    [[nodiscard]] static AppSettings* current();
    static void setCurrent(AppSettings* settings);

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace kanvo
