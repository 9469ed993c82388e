#include "app/platform/QtTranslation.h"

#include <memory>

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

bool installTranslator(QCoreApplication& app, std::unique_ptr<QTranslator> translator)
{
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release()->setParent(&app);
    return true;
}

// Loads the compiled translation `file` and installs it; false when it is missing or unreadable.
bool installFile(QCoreApplication& app, const std::optional<QString>& file)
{
    auto translator = std::make_unique<QTranslator>();
    return file && translator->load(*file) && installTranslator(app, std::move(translator));
}

} // namespace

bool QtTranslation::install(QCoreApplication& app, UiLanguage::Language language)
{
    installedLanguage = language;
    if (language == UiLanguage::Language::Chinese) {
        QLocale::setDefault(chinese());
        setTranslator({});
        auto qtTexts = std::make_unique<QTranslator>();
        if (!qtTexts->load(chinese(), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            || !installTranslator(app, std::move(qtTexts)))
            return false;
        // Installed after Qt's catalogue, so it is asked first: it only holds what that one lacks.
        return installFile(app, shippedTranslation(QStringLiteral("kanvo_qt_zh_CN.qm")));
    }
    QLocale::setDefault(QLocale::c());
    // The core's texts go through the same tables as the program's own.
    setTranslator([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    });
    return installFile(app, programTranslation(language));
}

UiLanguage::Language QtTranslation::installed() { return installedLanguage; }

void QtTranslation::prepareSystemLocale(UiLanguage::Language language)
{
    // Qt's file dialog writes dates in the system locale, which Qt reads from LC_ALL, LC_TIME or
    // LANG when the application starts. A locale the user forces with LC_ALL stays in force.
    if (language == UiLanguage::Language::Chinese && !qEnvironmentVariableIsSet("LC_ALL"))
        qputenv("LC_TIME", QByteArrayLiteral("zh_CN.UTF-8"));
}

std::optional<QString> QtTranslation::programTranslation(UiLanguage::Language language)
{
    if (language == UiLanguage::Language::Chinese)
        return std::nullopt;
    return shippedTranslation(QStringLiteral("kanvo_%1.qm").arg(UiLanguage::code(language)));
}

std::optional<QString> QtTranslation::shippedTranslation(const QString& name)
{
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
