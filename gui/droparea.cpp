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

void DropArea::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        QString path = url.path(QUrl::FullyDecoded);
        // "/C:/work/a.cif" is how a Windows drive path arrives in a URL.
        if (path.size() > 2 && path.at(2) == QLatin1Char(':') && path.at(0) == QLatin1Char('/'))
            path.remove(0, 1);
        emit dropped(path, url.url(), url.scheme(), url.host(QUrl::FullyDecoded));
    }
}
