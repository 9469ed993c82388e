#include "app/platform/FontSubstitutions.h"

#include <fontconfig/fontconfig.h>

#include <QFile>
#include <QFont>

#include "app/platform/AppPaths.h"

namespace kanvo {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

std::optional<QString> loadFontAliasFile()
{
    const std::optional<QString> file = AppPaths::findShipped(QString::fromUtf8(kFontAliasFile));
    if (!file)
        return std::nullopt;
    const QByteArray path = QFile::encodeName(*file);
    // The rules join the configuration Qt already uses; fontconfig applies them at every match.
    if (!FcConfigParseAndLoad(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(path.constData()), FcTrue))
        return std::nullopt;
    return file;
}

} // namespace kanvo
