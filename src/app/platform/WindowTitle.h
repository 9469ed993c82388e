#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace kanvo {

// A document window's title as desktop programs show it: the document's file name and Qt's
// unsaved marker before the window's own title ("Piggies.oxs[*] - 十字绣图Kanvo ..."). The
// marker shows as "*" while the window is modified (QWidget::setWindowModified) and not at all
// otherwise. Without a document the window's own title stands alone.
class WindowTitle {
    Q_DECLARE_TR_FUNCTIONS(WindowTitle)

public:
    // Shows base, the window's own title (translated), on window, which must outlive this.
    WindowTitle(QWidget& window, QString base);

    // The document's file (only its name is shown); empty for a document never saved, shown as
    // "未命名".
    void setFile(const QString& path);
    [[nodiscard]] const QString& file() const { return file_; }

    // Names the document (when there is one) before the window's own title; modified shows the
    // marker.
    void show(bool document, bool modified);

private:
    QWidget& window_;
    QString base_;
    QString file_;
};

} // namespace kanvo
