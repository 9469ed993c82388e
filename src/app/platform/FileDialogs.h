#pragma once

#include <QString>

class QWidget;

namespace kanvo {

// The standard file dialogs, each starting in the folder it last accepted a file in (kept in
// kanvo.conf under its key, see AppSettings), else the working folder. An empty result cancels.
class FileDialogs {
public:
    [[nodiscard]] static QString openFile(QWidget* parent, const QString& key, const QString& caption,
                                          const QString& filter);
    // suggestedName (may be empty) is offered in the remembered folder.
    [[nodiscard]] static QString saveFile(QWidget* parent, const QString& key, const QString& caption,
                                          const QString& suggestedName, const QString& filter);

    // Where the dialog of key starts: the remembered folder while it exists, else "".
    [[nodiscard]] static QString startFolder(const QString& key);
    // Remembers path's folder for the dialog of key (nothing for an empty path).
    static void remember(const QString& key, const QString& path);
};

} // namespace kanvo
