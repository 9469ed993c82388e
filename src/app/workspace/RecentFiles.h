#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace kanvo {

// "最近打开" of the menu "文件": the last AppSettings::kMaxRecentFiles pictures and projects
// opened or saved, newest first, one entry each, and "清除列表". The list is kept in kanvo.conf
// (AppSettings::current(); without settings it lasts for the run).
//
// An entry whose file has gone is taken off the list with a message instead of being opened.
class RecentFiles : public QObject {
    Q_OBJECT

public:
    // Fills menu (not owned) with the list, and again whenever it changes. open is called with
    // the path of the entry chosen.
    RecentFiles(QMenu& menu, std::function<bool(const QString& path)> open, QObject* parent = nullptr);

    // Puts path (made absolute) at the top; a path already listed moves up.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();
    [[nodiscard]] const QStringList& files() const { return files_; }

    // The entry for path, as the menu's action would: opens it, or removes it with a message when
    // the file has gone. False when it was not opened.
    bool choose(const QString& path);

private:
    void store();
    void rebuildMenu();

    QMenu& menu_;
    std::function<bool(const QString& path)> open_;
    QStringList files_;
};

} // namespace kanvo
