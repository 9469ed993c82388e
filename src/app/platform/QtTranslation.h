#pragma once

#include <optional>

#include <QString>

#include "app/platform/UiLanguage.h"

class QCoreApplication;

namespace kanvo {

// Installs the texts of the chosen language:
// - Chinese: the program's own texts are Chinese already; Qt's Chinese texts (qtbase_zh_CN.qm
//   from Qt's translations folder, Debian package qt6-translations-l10n) make the standard
//   dialogs and buttons Chinese too: file, print, font and colour choosers, "确定"/"取消".
// - English: the program's translation kanvo_en.qm (see translations/); Qt's own texts are
//   English already. The locale becomes the C locale, so numbers and dates read the English way.
// Either way the core's texts (chart, legend, pattern pages, messages) follow through the
// core's translator (core/common/Translation.h).
class QtTranslation {
public:
    // Loads and installs the translation in `app` (which owns it). False when a file is missing
    // or unreadable: the texts then stay as they are in the source (Chinese program texts,
    // English standard dialogs).
    static bool install(QCoreApplication& app, UiLanguage::Language language);
    // The language of the last install(); Chinese before any.
    [[nodiscard]] static UiLanguage::Language installed();

    // The program's translation for `language` (kanvo_en.qm; nullopt for Chinese, which needs
    // none): in <shipped folder>/translations (beside the program, the installed data folder),
    // then in the build tree's translations folder.
    [[nodiscard]] static std::optional<QString> programTranslation(UiLanguage::Language language);
};

} // namespace kanvo
