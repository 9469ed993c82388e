#pragma once

#include <optional>

#include <QColor>
#include <QFont>

class QWidget;

namespace kanvo {

// The platform font and colour choosers of the text overlay ("字体选择", "字体颜色"). The
// overlay calls them through OverlayDialogs::current(), so tests can install a stand-in instead
// of real, blocking dialogs (setCurrent(&standIn), and setCurrent(nullptr) to restore the
// default).
class OverlayDialogs {
public:
    virtual ~OverlayDialogs() = default;

    // The font chosen, starting from `current`; empty when the chooser was closed without one.
    [[nodiscard]] virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& current);
    // The colour chosen, starting from `current`; empty when the chooser was cancelled.
    [[nodiscard]] virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& current);

    // The instance in use; never null. Not owned when installed with setCurrent.
    [[nodiscard]] static OverlayDialogs& current();
    static void setCurrent(OverlayDialogs* dialogs);
};

} // namespace kanvo
