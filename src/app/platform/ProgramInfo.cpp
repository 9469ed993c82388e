#include "app/platform/ProgramInfo.h"

namespace kanvo {

QString ProgramInfo::commandName()
{
    return QStringLiteral("kanvo");
}

QString ProgramInfo::version()
{
    return QStringLiteral(KANVO_VERSION);
}

QString ProgramInfo::homepage()
{
    return QStringLiteral(KANVO_HOMEPAGE);
}

QIcon ProgramInfo::icon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/io.github.kanvo.Kanvo.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace kanvo
