#include "app/platform/WindowGeometry.h"

#include <QEvent>
#include <QWidget>

#include "app/platform/AppSettings.h"

namespace kanvo {

WindowGeometry::WindowGeometry(QWidget& window) : QObject(&window), window_(window)
{
    setObjectName(QStringLiteral("windowGeometry"));
}

WindowGeometry* WindowGeometry::keep(QWidget& window)
{
    auto* keeper = new WindowGeometry(window);
    if (const AppSettings* settings = AppSettings::current()) {
        const QByteArray saved = settings->windowGeometry(window.objectName());
        // restoreGeometry() brings a window saved on a screen no longer there back onto one.
        if (!saved.isEmpty())
            (void)window.restoreGeometry(saved);
    }
    window.installEventFilter(keeper);
    return keeper;
}

bool WindowGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close && window_.isVisible())
        if (AppSettings* settings = AppSettings::current())
            settings->setWindowGeometry(window_.objectName(), window_.saveGeometry());
    return QObject::eventFilter(watched, event);
}

} // namespace kanvo
