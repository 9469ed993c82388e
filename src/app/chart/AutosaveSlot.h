#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDateTime>
#include <QString>

class QLockFile;

namespace kanvo {

// One autosave file and the lock that says which running copy of the program owns it: the
// file "autosave-<id>.oxs" in the data folder, the lock (QLockFile) beside it with ".lock"
// added. A copy holds its lock from its first write until the file goes; a crash leaves the
// lock naming a process that is no longer running, and a normal end removes it. So a file
// whose lock can be taken belongs to no running copy: it is what a crash left behind.
class AutosaveSlot {
public:
    // The file at filePath; nothing is locked yet.
    explicit AutosaveSlot(QString filePath);
    // Gives up the lock; the file stays.
    ~AutosaveSlot();
    AutosaveSlot(const AutosaveSlot&) = delete;
    AutosaveSlot& operator=(const AutosaveSlot&) = delete;

    // A file name in folder that no other copy uses.
    [[nodiscard]] static QString uniqueFilePath(const QString& folder);
    // The autosave files in folder that no running copy owns, newest first, each claimed, so
    // that a copy starting meanwhile does not offer them too. An earlier version's single
    // "autosave.oxs", which had no lock, is among them.
    [[nodiscard]] static std::vector<std::unique_ptr<AutosaveSlot>> orphans(const QString& folder);

    // Takes the lock, taking over one a copy no longer running left behind. False (reason in
    // errorText()) while a running copy holds it or when the lock cannot be written.
    [[nodiscard]] bool claim();
    [[nodiscard]] bool claimed() const;
    // Removes the file and gives up the lock.
    void remove();

    [[nodiscard]] const QString& filePath() const { return path_; }
    [[nodiscard]] bool exists() const;
    // When the file was last written (invalid when there is none).
    [[nodiscard]] QDateTime savedAt() const;
    [[nodiscard]] const std::string& errorText() const { return error_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::string error_;
};

} // namespace kanvo
