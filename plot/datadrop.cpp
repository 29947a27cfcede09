#include "plot/datadrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

DataDrop::DataDrop(QWidget *window) : QObject(window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool DataDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        bool taken = false;
        for (const QUrl &url : drop->mimeData()->urls()) {
            if (!url.isLocalFile()) {
                emit log(tr("Not a local file, not read as measured chi(k): %1")
                             .arg(url.toDisplayString()));
                continue;
            }
            taken = true;
            emit dropped(url.toLocalFile());
        }
        // The dragging program learns from the drop event alone whether the
        // drop was taken.
        if (taken)
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
