#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace kanvo {

// "关于十字绣Kanvo" of the menu "帮助": the program's version (the same as kanvo-cli's), the Qt
// version it runs on, its licence and its homepage, beside the program's icon.
class AboutBox {
    Q_DECLARE_TR_FUNCTIONS(AboutBox)

public:
    // The box's text (rich text: the homepage is a link).
    [[nodiscard]] static QString text();
    // Shows the box modal to parent; returns when it is closed.
    static void show(QWidget* parent);
};

} // namespace kanvo
