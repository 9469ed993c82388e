#pragma once

#include <optional>
#include <vector>

#include <QSize>
#include <QString>

namespace kanvo {

class MainWindow;
class WindowHub;

// What "kanvo --self-test" prints: the main window after its load step, with the files the
// program found (the start-up picture and the grid fitted to it, the help document, the font
// alias file, Qt's Chinese texts for the standard dialogs, the English translation), and the
// pattern gallery opened as its menu entry opens it, every category chosen and every listed
// picture clicked for its preview. An installation can so be checked where nobody looks at the
// windows (QT_QPA_PLATFORM=offscreen).
class StartupReport {
public:
    struct Category {
        QString name;
        std::optional<QString> folder; // empty: no search folder has it
        int listed = 0;                // files in the list
        int previewed = 0;             // of those, shown as a preview
    };

    // mainWindow has run its load step and is wired to hub (connectWindows()). Opens the gallery
    // and leaves it open.
    [[nodiscard]] static StartupReport collect(MainWindow& mainWindow, WindowHub& hub,
                                               std::optional<QString> fontAliasFile);

    // The start-up picture loaded, the help document, the alias file and the English
    // translation found, the standard dialogs in Chinese (in the Chinese interface), and every
    // gallery category found with at least one picture it previews.
    [[nodiscard]] bool complete() const;
    // One "what: value" line each, the categories indented below "gallery:", and a last line
    // "self-test: passed" or "self-test: FAILED".
    [[nodiscard]] QString text() const;

    QString startupPicture;    // the source file name the load step used
    QSize pictureSize;         // empty when it did not load
    QSize grid;                // stitches wide and high
    std::optional<QString> helpDocument;
    std::optional<QString> fontAliasFile;
    QString okButton; // the standard dialogs' "OK": "确定" once Qt's Chinese texts are loaded
    QString fileDialogTexts; // a folder's type and date as the file dialog writes them
    bool english = false; // the interface runs in English
    std::optional<QString> englishTranslation;
    std::vector<Category> categories;
};

} // namespace kanvo
