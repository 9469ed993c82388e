#include "app/platform/WindowTitle.h"

#include <QFileInfo>
#include <QWidget>

namespace kanvo {

WindowTitle::WindowTitle(QWidget& window, QString base) : window_(window), base_(std::move(base))
{
    window_.setWindowTitle(base_);
}

void WindowTitle::setFile(const QString& path)
{
    file_ = path;
}

void WindowTitle::show(bool document, bool modified)
{
    if (!document) {
        window_.setWindowTitle(base_);
        window_.setWindowModified(false);
        return;
    }
    // A name holding "[*]" would be taken for the marker: Qt shows "[*]" doubled as itself.
    QString name = file_.isEmpty() ? tr("未命名") : QFileInfo(file_).fileName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    window_.setWindowTitle(tr("%1[*] - %2").arg(name, base_));
    window_.setWindowModified(modified);
}

} // namespace kanvo
