#pragma once

#include <optional>

#include <QLocale>
#include <QString>

#include "app/platform/UiLanguage.h"

class QCoreApplication;

namespace kanvo {

// Installs the texts of the chosen language and makes its locale the default, so that Qt's
// dialogs write dates, sizes and file types in it:
// - Chinese (China): the program's own texts are Chinese already; Qt's Chinese texts
//   (qtbase_zh_CN.qm from Qt's translations folder, Debian package qt6-translations-l10n) make
//   the standard dialogs and buttons Chinese too: file, print, font and colour choosers,
//   "确定"/"取消"; kanvo_qt_zh_CN.qm adds the few texts Qt's catalogue lacks ("Folder").
//   Taken from Qt's folder, so the build tree and an installed program find the
//   same file.
// - English: the program's translation kanvo_en.qm (see translations/); Qt's own texts are
//   English already. The locale is the C locale.
// Either way the core's texts (chart, legend, pattern pages, messages) follow through the
// core's translator (core/common/Translation.h).
class QtTranslation {
public:
    // The locale of the Chinese interface: Chinese (China).
    [[nodiscard]] static QLocale chinese() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }

    // Sets the locale, loads the translation and installs it in `app` (which owns it). False
    // when a file is missing or unreadable: the texts then stay as they are in the source
    // (Chinese program texts, English standard dialogs); the locale is set all the same.
    static bool install(QCoreApplication& app, UiLanguage::Language language = UiLanguage::Language::Chinese);
    // Before the application object exists: with the Chinese interface, dates in Qt's file
    // dialog follow the Chinese locale too (they come from the system locale, not the default).
    static void prepareSystemLocale(UiLanguage::Language language);
    // The language of the last install(); Chinese before any.
    [[nodiscard]] static UiLanguage::Language installed();

    // The program's translation for `language` (kanvo_en.qm; nullopt for Chinese, which needs
    // none): in <shipped folder>/translations (beside the program, the installed data folder),
    // then in the build tree's translations folder.
    [[nodiscard]] static std::optional<QString> programTranslation(UiLanguage::Language language);
    // A compiled translation `name` shipped with the program, looked up as above.
    [[nodiscard]] static std::optional<QString> shippedTranslation(const QString& name);
};

} // namespace kanvo
