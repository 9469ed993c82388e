#include "app/chart/UnsavedChangesPrompt.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kanvo {

UnsavedChangesPrompt::Choice UnsavedChangesPrompt::askToSave(QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, tr("十字绣图Kanvo"), tr("绣图已经修改，还没有保存。要先保存为绣图工程吗？"),
        QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(tr("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return Choice::Save;
    if (box.clickedButton() == discard)
        return Choice::Discard;
    return Choice::Cancel;
}

bool UnsavedChangesPrompt::askToReopen(QWidget* parent, const QString& savedAt)
{
    QMessageBox box(QMessageBox::Question, tr("十字绣图Kanvo"),
        tr("上次没有正常退出，修改过的绣图已自动保存（%1）。要重新打开它吗？").arg(savedAt), QMessageBox::NoButton,
        parent);
    QPushButton* reopen = box.addButton(tr("重新打开"), QMessageBox::AcceptRole);
    QPushButton* drop = box.addButton(tr("不打开"), QMessageBox::RejectRole);
    box.setDefaultButton(reopen);
    box.setEscapeButton(drop);
    box.exec();
    return box.clickedButton() == reopen;
}

} // namespace kanvo
