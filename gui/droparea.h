#ifndef DROPAREA_H
#define DROPAREA_H

#include <QLineEdit>

class QDragEnterEvent;
class QDropEvent;

// A read-only line edit that files are dropped on. Every dropped URL becomes
// one dropped() signal; the window decides what to make of it.
class DropArea : public QLineEdit
{
    Q_OBJECT
public:
    explicit DropArea(QWidget *parent = nullptr);

signals:
    void dropped(QString path, QString url, QString scheme, QString host);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

#endif
