#pragma once

#include <QObject>

class QWidget;

namespace kanvo {

// Keeps a window's size and place between runs: restored from AppSettings::current() (by the
// window's objectName) when kept, saved there when the window closes. Without settings the
// window keeps its own size.
class WindowGeometry : public QObject {
    Q_OBJECT

public:
    // Restores window's geometry now and saves it at each close; the keeper lives as its child.
    static WindowGeometry* keep(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowGeometry(QWidget& window);

    QWidget& window_;
};

} // namespace kanvo
