#pragma once

#include <QWidget>

#include "core/palette/ChartModel.h"
#include "core/project/PaletteItemMatcher.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QUndoStack;
class QVBoxLayout;

namespace kanvo {

class ThreadTable;

// The stitch tools beside the chart: the tools 画笔, 橡皮, 填充, 吸管, 选区, 回针, 半针 (with its
// choice of /, \ or a quarter) and 法式结, the current
// thread (chosen from the chart's threads, or from the whole table by its number), the
// selection's 删除 and 填充, 去除背景, and 撤销 / 重做 with what they will undo and redo
// (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y).
//
// Controls (objectName): toolPencil, toolEraser, toolFill, toolPicker, toolSelect,
// toolBackStitch, toolHalfStitch, toolKnot, partSlash, partBackslash, partQuarter, comboThread, textThreadNumber,
// labelThreadNumberNote, labelThread, cmdClearSelection, cmdFillSelection,
// cmdRemoveBackground, cmdUndo, cmdRedo.
class StitchToolPanel : public QWidget {
    Q_OBJECT

public:
    enum class Tool { Pencil, Eraser, Fill, Picker, Select, BackStitch, HalfStitch, Knot };
    // What 半针 places: a half stitch either way, or a quarter stitch in the corner clicked.
    enum class PartChoice { Slash, Backslash, Quarter };

    // `table` names and colours the threads and must outlive the panel.
    explicit StitchToolPanel(const ThreadTable& table, QWidget* parent = nullptr);

    // Adds 撤销 and 重做 for the chart window's undo history (once).
    void setUndoStack(QUndoStack& stack);

    [[nodiscard]] Tool tool() const { return tool_; }
    void setTool(Tool tool);
    [[nodiscard]] PartChoice partChoice() const { return partChoice_; }
    void setPartChoice(PartChoice choice);

    // The current thread (thread index 1..452); 0 until one is chosen.
    [[nodiscard]] int currentThread() const { return thread_; }
    // Makes `thread` current; threads outside the table are ignored (false).
    bool setCurrentThread(int thread);
    // Chooses the thread that `number` names, in every spelling a chart project may use ("3865",
    // "DMC 310", "B5200"; "ECRU" and "BLANC" take the nearest thread by colour, which the note
    // beside the box names). False, with a note beside the box, when it names no thread.
    bool chooseThreadNumber(const QString& number);

    // Lists the chart's threads for the thread box (in symbol order); the current thread stays.
    void showChartThreads(const ChartModel& chart);
    // Enables the selection's 删除 and 填充.
    void setSelectionActive(bool active);

    // "DMC 310"
    [[nodiscard]] QString threadText(int thread) const;

signals:
    void toolChanged(Tool tool);
    void currentThreadChanged(int thread);
    void clearSelectionRequested();
    void fillSelectionRequested();
    void removeBackgroundRequested();

private:
    QToolButton* addToolButton(Tool tool, const QString& name, const QString& caption, const QString& tip);
    QToolButton* addPartButton(PartChoice choice, const QString& name, const QString& caption, const QString& tip);
    void showCurrentThread();

    const ThreadTable& table_;
    Tool tool_ = Tool::Pencil;
    PartChoice partChoice_ = PartChoice::Slash;
    int thread_ = 0;
    QButtonGroup* tools_ = nullptr;
    QButtonGroup* partChoices_ = nullptr;
    QComboBox* threadBox_ = nullptr;
    QLineEdit* numberBox_ = nullptr;
    QLabel* numberNote_ = nullptr; // labelThreadNumberNote: what became of the typed number
    PaletteItemMatcher matcher_;
    QLabel* threadLabel_ = nullptr;
    QPushButton* clearSelection_ = nullptr;
    QPushButton* fillSelection_ = nullptr;
    QVBoxLayout* page_ = nullptr;
};

} // namespace kanvo
