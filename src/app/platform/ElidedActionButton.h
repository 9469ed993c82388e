#pragma once

#include <QToolButton>

class QAction;

namespace kanvo {

// A text-only tool button for an action whose text changes and may be long (撤销 / 重做 with
// what they will undo and redo): the text is cut with "…" where the button ends, and the whole
// text is its tooltip (the action's). It takes the width its layout gives it.
class ElidedActionButton : public QToolButton {
    Q_OBJECT

public:
    // action (not owned) must outlive the button.
    ElidedActionButton(QAction* action, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    // The text as the button shows it at its current width.
    [[nodiscard]] QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kanvo
