#pragma once

#include <functional>

#include <QUndoCommand>

#include "core/edit/ColorReplacementModel.h"

namespace kanvo {

// One replacement of the colour replacement window on its undo history. The model has made the
// replacement before the command is pushed, so the first redo() does nothing; undo() is the
// window's "撤销" (the model's undoReplace), a later redo() makes the replacement again.
// `changed` runs after each undo and redo so that the window redraws. The model must outlive
// the command.
class ColorReplacementCommand : public QUndoCommand {
public:
    ColorReplacementCommand(ColorReplacementModel& model, ColorReplacementModel::Replacement replacement,
        const QString& text, std::function<void()> changed);

    void undo() override;
    void redo() override;

private:
    ColorReplacementModel& model_;
    ColorReplacementModel::Replacement replacement_;
    std::function<void()> changed_;
    bool done_ = true;
};

} // namespace kanvo
