#pragma once

#include <functional>

#include <QUndoCommand>

#include "core/edit/ChartChange.h"

namespace kanvo {

class ChartEditor;

// One step of the chart window's undo history: a change the editor has already made (a stroke,
// a fill, a selection action or a background removal), kept as its changed cells. The first
// redo(), from QUndoStack::push, does nothing; later ones make the change again. `changed` runs
// after every undo and redo so that the window redraws.
//
// The steps of one pencil or eraser stroke carry the same stroke number and merge into one
// command.
class ChartEditCommand : public QUndoCommand {
public:
    static constexpr int kStrokeId = 2501;

    ChartEditCommand(ChartEditor& editor, ChartChange change, const QString& text, std::function<void()> changed,
        int stroke = 0);

    void undo() override;
    void redo() override;
    [[nodiscard]] int id() const override { return stroke_ != 0 ? kStrokeId : -1; }
    bool mergeWith(const QUndoCommand* other) override;

    [[nodiscard]] const ChartChange& change() const { return change_; }

private:
    ChartEditor& editor_;
    ChartChange change_;
    std::function<void()> changed_;
    int stroke_ = 0;
    bool done_ = true; // the editor made the change before the command was pushed
};

} // namespace kanvo
