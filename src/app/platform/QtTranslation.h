#pragma once

class QCoreApplication;

namespace kanvo {

// Qt's own Chinese texts (qtbase_zh_CN.qm from Qt's translations folder, Debian package
// qt6-translations-l10n) for the standard dialogs and buttons: file, print, font and colour
// choosers, "确定"/"取消" in message boxes. The program's own texts are Chinese already. Taken
// from Qt's folder, so the build tree and an installed program find the same file. The
// command-line tools show no dialogs and do without it.
class QtTranslation {
public:
    // Loads the translation and installs it in `app` (which owns it). False when the file is
    // missing or unreadable: the standard dialogs then stay in English.
    static bool install(QCoreApplication& app);
};

} // namespace kanvo
