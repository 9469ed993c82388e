#include "app/chart/ChartEditCommand.h"

#include "core/edit/ChartEditor.h"

namespace kanvo {

ChartEditCommand::ChartEditCommand(ChartEditor& editor, ChartChange change, const QString& text,
    std::function<void()> changed, int stroke)
    : QUndoCommand(text), editor_(editor), change_(std::move(change)), changed_(std::move(changed)), stroke_(stroke)
{
}

void ChartEditCommand::undo()
{
    editor_.undo(change_);
    done_ = false;
    if (changed_)
        changed_();
}

void ChartEditCommand::redo()
{
    if (done_)
        return;
    editor_.redo(change_);
    done_ = true;
    if (changed_)
        changed_();
}

bool ChartEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChartEditCommand*>(other);
    if (next->stroke_ != stroke_ || &next->editor_ != &editor_)
        return false;
    change_.append(next->change_);
    return true;
}

} // namespace kanvo
