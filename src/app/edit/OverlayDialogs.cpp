#include "app/edit/OverlayDialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFontDialog>

namespace kanvo {

namespace {

OverlayDialogs* installed = nullptr;

} // namespace

std::optional<QFont> OverlayDialogs::chooseFont(QWidget* parent, const QFont& current)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(
        &ok, current, parent, QCoreApplication::translate("kanvo::OverlayDialogs", "字体选择"));
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QColor> OverlayDialogs::chooseColor(QWidget* parent, const QColor& current)
{
    const QColor colour = QColorDialog::getColor(
        current, parent, QCoreApplication::translate("kanvo::OverlayDialogs", "字体颜色"));
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

OverlayDialogs& OverlayDialogs::current()
{
    static OverlayDialogs standard;
    return installed != nullptr ? *installed : standard;
}

void OverlayDialogs::setCurrent(OverlayDialogs* dialogs)
{
    installed = dialogs;
}

} // namespace kanvo
