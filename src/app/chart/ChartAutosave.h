#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/project/ChartProject.h"

namespace kanvo {

class AutosaveSlot;

// Keeps an edited chart safe from a crash: after a change, the chart is written as an OXS
// project to a file of this running copy's own in the per-user data folder, at most once every
// kDelayMs, atomically (a crash while writing leaves the previous copy). The file is held by a
// lock (AutosaveSlot) from its first write, so that other copies leave it alone while this one
// runs. A normal close removes the file; a file whose copy no longer runs was left by a crash.
class ChartAutosave : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 3000;

    explicit ChartAutosave(QObject* parent = nullptr);
    // Gives up the lock; the file stays for the next start to offer.
    ~ChartAutosave() override;

    // The per-user folder the file goes to by default: the application's local data folder.
    [[nodiscard]] static QString defaultFolder();
    // Tests point the file into a folder of their own; a file in the old folder goes.
    void setFolder(const QString& folder);
    [[nodiscard]] const QString& folder() const { return folder_; }
    // This copy's file: its name is this copy's alone.
    [[nodiscard]] QString filePath() const;
    [[nodiscard]] bool exists() const;
    // When the file was last written, for the question at start-up (invalid when there is none).
    [[nodiscard]] QDateTime savedAt() const;

    // The chart to write; empty when there is nothing to keep. Called when the write is due.
    std::function<std::optional<ChartProject>()> snapshot;

    // A change happened: the chart is written within kDelayMs unless a write is already due.
    void schedule();
    [[nodiscard]] bool pending() const { return timer_.isActive(); }
    // Writes a due change now. False (reason in errorText(), and writeFailed()) when writing
    // failed.
    bool flush();
    // Nothing needs keeping any more: cancels a due write and removes the file.
    void discard();
    [[nodiscard]] const std::string& errorText() const { return error_; }

signals:
    // A write failed: the edits are not kept anywhere. The next change tries again.
    void writeFailed(const QString& reason);
    // Nothing is at risk: a write succeeded, or there is nothing to keep.
    void safe();

private:
    QString folder_;
    QString name_;
    std::unique_ptr<AutosaveSlot> slot_;
    QTimer timer_;
    std::string error_;
};

} // namespace kanvo
