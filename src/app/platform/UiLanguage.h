#pragma once

#include <optional>

#include <QString>

class QSettings;

namespace kanvo {

// The language of the program's texts: Chinese (the source texts) or English (translations/
// kanvo_en.ts). It follows the environment unless the user chose one in the "语言 / Language"
// menu; the choice is kept in the program's settings and applies from the next start.
class UiLanguage {
public:
    enum class Language { Chinese, English };

    // English when LANGUAGE, or without it LANG, starts with "en"; Chinese otherwise (also for
    // "C" and "POSIX"). LANGUAGE comes first as it does for gettext programs.
    [[nodiscard]] static Language fromEnvironment();
    [[nodiscard]] static Language fromVariables(const QString& language, const QString& lang);

    // The language chosen in the menu, if any, as AppSettings keeps it in kanvo.conf.
    [[nodiscard]] static std::optional<Language> saved(const QSettings& settings);
    static void save(QSettings& settings, Language language);
    // The saved choice, else the environment's.
    [[nodiscard]] static Language atStart(const QSettings& settings);

    // "zh" / "en", as --lang and the settings spell them; nullopt for any other code.
    [[nodiscard]] static QString code(Language language);
    [[nodiscard]] static std::optional<Language> fromCode(const QString& code);

    static constexpr const char* kSettingsKey = "language";
};

} // namespace kanvo
