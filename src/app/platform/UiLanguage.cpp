#include "app/platform/UiLanguage.h"

#include <QSettings>

namespace kanvo {

UiLanguage::Language UiLanguage::fromEnvironment()
{
    return fromVariables(qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LANG"));
}

UiLanguage::Language UiLanguage::fromVariables(const QString& language, const QString& lang)
{
    const QString& decisive = language.isEmpty() ? lang : language;
    return decisive.startsWith(QLatin1String("en")) ? Language::English : Language::Chinese;
}

std::optional<UiLanguage::Language> UiLanguage::saved(const QSettings& settings)
{
    return fromCode(settings.value(QLatin1String(kSettingsKey)).toString());
}

void UiLanguage::save(QSettings& settings, Language language)
{
    settings.setValue(QLatin1String(kSettingsKey), code(language));
    settings.sync();
}

UiLanguage::Language UiLanguage::atStart(const QSettings& settings)
{
    return saved(settings).value_or(fromEnvironment());
}

QString UiLanguage::code(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<UiLanguage::Language> UiLanguage::fromCode(const QString& code)
{
    if (code == QLatin1String("en"))
        return Language::English;
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    return std::nullopt;
}

} // namespace kanvo
