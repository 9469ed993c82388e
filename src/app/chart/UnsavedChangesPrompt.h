#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace kanvo {

// The questions that keep chart edits from being lost: whether to save them before they would
// be dropped, and whether to reopen the chart an earlier run left in its autosave file.
class UnsavedChangesPrompt {
    Q_DECLARE_TR_FUNCTIONS(UnsavedChangesPrompt)

public:
    enum class Choice { Save, Discard, Cancel };

    // "保存" / "不保存" / "取消", modal to parent; closing the box cancels.
    [[nodiscard]] static Choice askToSave(QWidget* parent);
    // "重新打开" / "不打开" for the chart autosaved at savedAt (a date and time to show).
    [[nodiscard]] static bool askToReopen(QWidget* parent, const QString& savedAt);
};

} // namespace kanvo
