#include "platform/forms/FileDrops.h"

#include "platform/forms/HandlerBoundary.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

QStringList LocalFilesOf(const QObject* mimeData)
{
    QStringList paths;
    const auto* mime = qobject_cast<const QMimeData*>(mimeData);
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

TFileDropTarget::TFileDropTarget(QWidget* window, std::function<void(const QStringList&)> onDrop)
    : QObject(window), window_(window), onDrop_(std::move(onDrop))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

void TFileDropTarget::Watch(QWidget* widget)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        widget = area->viewport();
    widget->installEventFilter(this);
}

bool TFileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (LocalFilesOf(drag->mimeData()).isEmpty())
            break;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = LocalFilesOf(drop->mimeData());
        if (paths.isEmpty())
            break;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        PostHandler(window_, [onDrop = onDrop_, paths]() { onDrop(paths); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
