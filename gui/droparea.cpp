#include "gui/droparea.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

DropArea::DropArea(QWidget *parent) : QLineEdit(parent)
{
    setAcceptDrops(true);
}

void DropArea::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void DropArea::takeDrop()
{
    if (drop == Drop::Pending)
        drop = Drop::Taken;
}

// The file manager learns from the drop event alone whether the drop was
// taken; accepting the drag-enter event lets the drop happen but is not
// enough.
void DropArea::dropEvent(QDropEvent *event)
{
    drop = Drop::Pending;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        QString path = url.path(QUrl::FullyDecoded);
        // "/C:/work/a.cif" is how a Windows drive path arrives in a URL.
        if (path.size() > 2 && path.at(2) == QLatin1Char(':') && path.at(0) == QLatin1Char('/'))
            path.remove(0, 1);
        emit dropped(path, url.url(), url.scheme(), url.host(QUrl::FullyDecoded));
    }
    if (drop == Drop::Taken)
        event->acceptProposedAction();
    else
        event->ignore();
    drop = Drop::None;
    emit dropEnded();
}
