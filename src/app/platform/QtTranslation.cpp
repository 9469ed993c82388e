#include "app/platform/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/platform/AppPaths.h"
#include "core/common/Translation.h"

namespace kanvo {

namespace {

UiLanguage::Language installedLanguage = UiLanguage::Language::Chinese;

bool installFile(QCoreApplication& app, const QString& file, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(file, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace

bool QtTranslation::install(QCoreApplication& app, UiLanguage::Language language)
{
    installedLanguage = language;
    if (language == UiLanguage::Language::Chinese) {
        setTranslator({});
        return installFile(app, QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    QLocale::setDefault(QLocale::c());
    // The core's texts go through the same tables as the program's own.
    setTranslator([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    });
    const std::optional<QString> file = programTranslation(language);
    return file && installFile(app, *file, QString());
}

UiLanguage::Language QtTranslation::installed() { return installedLanguage; }

std::optional<QString> QtTranslation::programTranslation(UiLanguage::Language language)
{
    if (language == UiLanguage::Language::Chinese)
        return std::nullopt;
    const QString name = QStringLiteral("kanvo_%1.qm").arg(UiLanguage::code(language));
    QStringList folders;
    for (const QString& shipped : AppPaths::shippedFolders())
        folders << QDir(shipped).filePath(QStringLiteral("translations"));
#ifdef KANVO_TRANSLATIONS_BUILD_DIR
    folders << QStringLiteral(KANVO_TRANSLATIONS_BUILD_DIR);
#endif
    for (const QString& folder : folders) {
        const QFileInfo info(QDir(folder).filePath(name));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return std::nullopt;
}

} // namespace kanvo
