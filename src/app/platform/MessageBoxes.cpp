#include "app/platform/MessageBoxes.h"

#include <QMessageBox>

namespace kanvo {

namespace {

MessageBoxes* installed = nullptr;

} // namespace

void MessageBoxes::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void MessageBoxes::error(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.exec();
}

MessageBoxes& MessageBoxes::current()
{
    static MessageBoxes standard;
    return installed != nullptr ? *installed : standard;
}

void MessageBoxes::setCurrent(MessageBoxes* boxes)
{
    installed = boxes;
}

} // namespace kanvo
