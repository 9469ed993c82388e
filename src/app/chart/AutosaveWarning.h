#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;
class QWidget;

namespace kanvo {

class ChartAutosave;

// Tells the user when the chart cannot be autosaved (the data folder cannot be written): a
// note in the chart window's status bar for as long as the writes fail, and a message the
// first time in a run. Editing goes on either way; the next change tries again.
class AutosaveWarning : public QObject {
    Q_OBJECT

public:
    // autosave, bar and window (the parent of the message) must outlive this.
    AutosaveWarning(ChartAutosave& autosave, QStatusBar& bar, QWidget& window);

    [[nodiscard]] bool noteShown() const;

private:
    void failed(const QString& reason);
    void safe();

    ChartAutosave& autosave_;
    QWidget& window_;
    QLabel* note_ = nullptr;
    bool told_ = false;
};

} // namespace kanvo
