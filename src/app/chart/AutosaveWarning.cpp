#include "app/chart/AutosaveWarning.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>

#include "app/chart/ChartAutosave.h"
#include "app/platform/MessageBoxes.h"

namespace kanvo {

AutosaveWarning::AutosaveWarning(ChartAutosave& autosave, QStatusBar& bar, QWidget& window)
    : QObject(&window), autosave_(autosave), window_(window)
{
    note_ = new QLabel(tr("自动保存失败，修改没有备份"), &bar);
    note_->setObjectName(QStringLiteral("lblAutosaveNote"));
    note_->setStyleSheet(QStringLiteral("color: #b00000;"));
    note_->hide();
    bar.addPermanentWidget(note_);
    connect(&autosave, &ChartAutosave::writeFailed, this, &AutosaveWarning::failed);
    connect(&autosave, &ChartAutosave::safe, this, &AutosaveWarning::safe);
}

bool AutosaveWarning::noteShown() const { return !note_->isHidden(); }

void AutosaveWarning::failed(const QString& reason)
{
    const QString folder = QDir::toNativeSeparators(autosave_.folder());
    note_->setToolTip(tr("无法自动保存到%1：%2").arg(folder, reason));
    note_->show();
    if (told_)
        return;
    told_ = true;
    MessageBoxes::current().error(&window_, tr("十字绣图Kanvo"),
        tr("绣图无法自动保存到%1。\n%2\n可以继续编辑，但程序意外退出时这些修改无法恢复。请用“保存绣图工程...”保存。")
            .arg(folder, reason));
}

void AutosaveWarning::safe()
{
    note_->hide();
}

} // namespace kanvo
