#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace kanvo {

// Where the program finds the files it ships: the start-up picture "logo.dll", the help document
// and the gallery folders. Folders are searched in this order:
//   1. (start-up picture only) the working folder,
//   2. the program's folder (beside the binary),
//   3. the installed data folder (<datadir>/kanvo),
//   4. the source tree's assets/ folder (so a program run from its build tree finds them).
// All functions return absolute paths; a missing file gives an empty optional.
class AppPaths {
public:
    static constexpr const char* kStartupPicture = "logo.dll";
    static constexpr const char* kHelpDocument = "十字绣Kanvo使用说明.mht";

    // The folder holding the running program (QCoreApplication::applicationDirPath()).
    [[nodiscard]] static QString programFolder();
    // Folders 2 to 4 above, existing ones only, in search order.
    [[nodiscard]] static QStringList shippedFolders();
    // First file or folder called relativeName in shippedFolders().
    [[nodiscard]] static std::optional<QString> findShipped(const QString& relativeName);
    // "logo.dll": the working folder first, then shippedFolders().
    [[nodiscard]] static std::optional<QString> findStartupPicture();
    // "十字绣Kanvo使用说明.mht" in shippedFolders().
    [[nodiscard]] static std::optional<QString> findHelpDocument();
};

} // namespace kanvo
