#include "app/workspace/FileDropFilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/workspace/WindowHub.h"

namespace kanvo {

FileDropFilter::FileDropFilter(QWidget& window, WindowHub& hub) : QObject(&window), hub_(hub)
{
    setObjectName(QStringLiteral("fileDropFilter"));
}

FileDropFilter* FileDropFilter::install(QWidget& window, WindowHub& hub)
{
    auto* filter = new FileDropFilter(window, hub);
    window.setAcceptDrops(true);
    window.installEventFilter(filter);
    return filter;
}

std::optional<FileDropFilter::Dropped> FileDropFilter::dropped(const QMimeData& data)
{
    if (data.hasUrls()) {
        const QList<QUrl> urls = data.urls();
        if (urls.size() == 1 && urls.constFirst().isLocalFile())
            return Dropped{urls.constFirst().toLocalFile(), {}};
    }
    if (data.hasImage()) {
        const QImage picture = qvariant_cast<QImage>(data.imageData());
        if (!picture.isNull())
            return Dropped{{}, picture};
    }
    return std::nullopt;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() != nullptr && dropped(*drag->mimeData())) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<Dropped> what = drop->mimeData() != nullptr ? dropped(*drop->mimeData()) : std::nullopt;
        if (!what)
            return false;
        drop->acceptProposedAction();
        WindowHub* hub = &hub_;
        QTimer::singleShot(0, this, [hub, what = *what] {
            if (!what.file.isEmpty())
                (void)hub->invokeOpenFile(what.file);
            else
                (void)hub->invokePlacePicture(what.picture);
        });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace kanvo
