#pragma once

#include <optional>

#include <QImage>
#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

namespace kanvo {

class WindowHub;

// Lets a window take a dropped file or picture: a local file opens through the hub's openFile
// (a picture as "导入图片", an .oxs project as "打开绣图工程..."), a dragged picture without a
// file (from a browser, say) is placed as a screen capture would place it.
//
// The drop itself only accepts; the opening runs right after it, so that the program's
// questions and messages never hold up the program the drag came from.
class FileDropFilter : public QObject {
    Q_OBJECT

public:
    // Makes window (not owned) accept drops; the filter lives as its child.
    static FileDropFilter* install(QWidget& window, WindowHub& hub);

    // What a drop of data would bring: one local file's path, else a picture; nothing when the
    // data holds neither (text, several files, remote addresses without a picture).
    struct Dropped {
        QString file;
        QImage picture;
    };
    [[nodiscard]] static std::optional<Dropped> dropped(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FileDropFilter(QWidget& window, WindowHub& hub);

    WindowHub& hub_;
};

} // namespace kanvo
