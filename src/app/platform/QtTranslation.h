#pragma once

#include <QLocale>

class QCoreApplication;

namespace kanvo {

// Qt's own texts in the language of the user interface (for Chinese qtbase_zh_CN.qm from Qt's
// translations folder, Debian package qt6-translations-l10n) for the standard dialogs and
// buttons: file, print, font and colour choosers, "确定"/"取消" in message boxes. The program's
// own texts are Chinese already. Taken from Qt's folder, so the build tree and an installed
// program find the same file. The command-line tools show no dialogs and do without it.
class QtTranslation {
public:
    // The language of the user interface as it stands: Chinese (China).
    [[nodiscard]] static QLocale chinese() { return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China); }

    // Makes `language` the default locale, so that Qt's dialogs write dates, sizes and file
    // types in it, then loads Qt's translation for it and installs it in `app` (which owns it).
    // False when no translation file for the language is found or readable: the standard
    // dialogs' texts then stay in English (the locale is set all the same).
    static bool install(QCoreApplication& app, const QLocale& language = chinese());
};

} // namespace kanvo
