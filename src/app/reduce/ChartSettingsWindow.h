#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "core/reduce/ChartSettingsModel.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;

namespace kanvo {

struct RunState;

// The chart settings window `Form3`: thread brand, reduction method, block size, thread-merge
// strength and chart title. Not modal. Every time it opens (openWindow) the boxes show the values
// in force (the defaults until the first OK); OK checks the entries first and writes them into the run
// state only when all are valid, Cancel closes without a change.
//
// The run state is not owned and must outlive the window. Controls carry their names
// (`Combo1` .. `Combo6`, `Text1`, `Text2`, `HScroll1`, `Command1`, `Command2`) as objectName.
// The boxes of the "精选绣线" method (`ThreadCount`, `DitherStrength`, `CleanupSize`) show the
// values in force and are visible only while that method is chosen.
class ChartSettingsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kTitle = QT_TR_NOOP("十字绣图Kanvo       -quillex inc.");

    explicit ChartSettingsWindow(RunState& state, QWidget* parent = nullptr);

    // Fills the boxes and shows the window (raising it when it is already open).
    void openWindow();
    // "确定": false (window left open, message shown) when an entry is rejected.
    bool accept();
    // "取消".
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void showThreadSettings(bool shown);
    [[nodiscard]] ChartSettingsModel::Entries entries() const;

    RunState& state_;
    QComboBox* combo1_ = nullptr; // brand
    QComboBox* combo3_ = nullptr; // method
    QComboBox* combo4_ = nullptr; // block width
    QComboBox* combo5_ = nullptr; // block height
    QComboBox* combo2_ = nullptr; // automatic reduction
    QComboBox* combo6_ = nullptr; // keep colours when zooming
    QLineEdit* text2_ = nullptr;  // strength
    QScrollBar* hScroll1_ = nullptr;
    QLineEdit* text1_ = nullptr;  // title
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QSpinBox* threadCount_ = nullptr;
    QSpinBox* ditherStrength_ = nullptr;
    QSpinBox* cleanupSize_ = nullptr;
    std::vector<QWidget*> threadRows_; // captions and boxes of the "精选绣线" settings
    bool titleClicked_ = false;
    std::string keepColoursOnZoom_ = "否"; // the last accepted zoom choice (not in the run state)
};

} // namespace kanvo
