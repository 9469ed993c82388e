#include "app/edit/ColorReplacementCommand.h"

namespace kanvo {

ColorReplacementCommand::ColorReplacementCommand(ColorReplacementModel& model,
    ColorReplacementModel::Replacement replacement, const QString& text, std::function<void()> changed)
    : QUndoCommand(text), model_(model), replacement_(replacement), changed_(std::move(changed))
{
}

void ColorReplacementCommand::undo()
{
    if (model_.undoReplace())
        done_ = false;
    if (changed_)
        changed_();
}

void ColorReplacementCommand::redo()
{
    if (done_)
        return;
    if (model_.replaceColor(replacement_.from, replacement_.to))
        done_ = true;
    if (changed_)
        changed_();
}

} // namespace kanvo
