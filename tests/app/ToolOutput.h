#pragma once

#include <optional>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kanvo {

// The standard output of an outside tool (pdfinfo, pdftoppm, python3, ...) that ran to a
// successful end within a minute; nullopt when it could not start or failed.
inline std::optional<QString> runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace kanvo
