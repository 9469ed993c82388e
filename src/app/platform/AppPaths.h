#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "app/platform/UiLanguage.h"

namespace kanvo {

// Where the program finds the files it ships: the start-up picture "logo.dll", the help document
// and the gallery folders. The program's own folders are searched in this order:
//   1. (start-up picture only) the working folder,
//   2. the program's folder (beside the binary),
//   3. the installed data folder (<datadir>/kanvo): first where it lies relative to the program
//      (../share/kanvo beside bin/), then at the prefix the program was configured for,
//   4. the source tree's assets/ folder (so a program run from its build tree finds them).
// A value holds the folders its lookups search: standard() the ones above, or any others (a test
// that must not find the shipped files, a portable installation). Lookups return absolute
// paths; a missing file gives an empty optional.
class AppPaths {
public:
    static constexpr const char* kStartupPicture = "logo.dll";
    static constexpr const char* kHelpDocument = "十字绣Kanvo使用说明.mht";
    // The same guide in English, for the English interface.
    static constexpr const char* kEnglishHelpDocument = "Kanvo-Guide.html";
    // The guide's file name in language.
    [[nodiscard]] static QString helpDocumentName(UiLanguage::Language language);

    // The start-up picture is looked for in pictureFolders and then in shippedFolders, every
    // other file in shippedFolders only. A relative folder is taken relative to the working
    // folder at the time of the lookup.
    AppPaths(QStringList pictureFolders, QStringList shippedFolders);
    // The working folder, then shippedFolders().
    [[nodiscard]] static AppPaths standard();

    // "logo.dll".
    [[nodiscard]] std::optional<QString> startupPicture() const;
    // "十字绣Kanvo使用说明.mht".
    [[nodiscard]] std::optional<QString> helpDocument() const;
    // The guide in language: helpDocumentName(language).
    [[nodiscard]] std::optional<QString> helpDocument(UiLanguage::Language language) const;

    // The folders searched for the files other than the start-up picture.
    [[nodiscard]] const QStringList& documentFolders() const { return shippedFolders_; }

    // Where the scratch bitmaps of the reduction and the editor go: empty (the working folder)
    // when a file can be made there, otherwise the per-user cache folder
    // (QStandardPaths::CacheLocation, created when missing), so that a program started from a
    // folder it cannot write still makes charts.
    [[nodiscard]] static QString scratchFolder();

    // The folder holding the running program (QCoreApplication::applicationDirPath()).
    [[nodiscard]] static QString programFolder();
    // Folders 2 to 4 above, existing ones only, in search order.
    [[nodiscard]] static QStringList shippedFolders();
    // First file or folder called relativeName in shippedFolders().
    [[nodiscard]] static std::optional<QString> findShipped(const QString& relativeName);

private:
    [[nodiscard]] static std::optional<QString> findFile(const QStringList& folders, const QString& name);

    QStringList pictureFolders_;
    QStringList shippedFolders_;
};

} // namespace kanvo
