#include "app/platform/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kanvo {

bool QtTranslation::install(QCoreApplication& app, const QLocale& language)
{
    QLocale::setDefault(language);
    auto* translator = new QTranslator(&app);
    if (!translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace kanvo
