#pragma once

#include <QString>

class QWidget;

namespace kanvo {

// The program's modal message boxes, all with a single OK button. Every message the windows show
// goes through MessageBoxes::current(), so tests can install a recorder instead of real,
// blocking boxes (setCurrent(&recorder), and setCurrent(nullptr) to restore the default).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Shows text under the caption title, modal to parent (may be null); returns when closed.
    virtual void information(QWidget* parent, const QString& title, const QString& text);
    // The same with the error icon ("不能识别的位图！" under "错误！").
    virtual void error(QWidget* parent, const QString& title, const QString& text);

    // The instance in use; never null. Not owned when installed with setCurrent.
    [[nodiscard]] static MessageBoxes& current();
    static void setCurrent(MessageBoxes* boxes);
};

} // namespace kanvo
