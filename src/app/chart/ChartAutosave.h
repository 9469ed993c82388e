#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/project/ChartProject.h"

namespace kanvo {

// Keeps an edited chart safe from a crash: after a change, the chart is written as an OXS
// project to one file in the per-user data folder, at most once every kDelayMs, atomically (a
// crash while writing leaves the previous copy). A normal close removes the file; a file found
// at start-up was left by a run that ended without one.
class ChartAutosave : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 3000;

    explicit ChartAutosave(QObject* parent = nullptr);

    // The per-user folder the file goes to by default: the application's local data folder.
    [[nodiscard]] static QString defaultFolder();
    // Tests point the file into a folder of their own.
    void setFolder(const QString& folder);
    [[nodiscard]] QString filePath() const;
    [[nodiscard]] bool exists() const;
    // When the file was last written, for the question at start-up (invalid when there is none).
    [[nodiscard]] QDateTime savedAt() const;

    // The chart to write; empty when there is nothing to keep. Called when the write is due.
    std::function<std::optional<ChartProject>()> snapshot;

    // A change happened: the chart is written within kDelayMs unless a write is already due.
    void schedule();
    [[nodiscard]] bool pending() const { return timer_.isActive(); }
    // Writes a due change now. False (reason in errorText()) when writing failed.
    bool flush();
    // Nothing needs keeping any more: cancels a due write and removes the file.
    void discard();
    [[nodiscard]] const std::string& errorText() const { return error_; }

private:
    QString folder_;
    QTimer timer_;
    std::string error_;
};

} // namespace kanvo
