#ifndef DATADROP_H
#define DATADROP_H

#include <QObject>
#include <QString>

class QWidget;

// Takes files dropped onto a plot window as measured chi(k) curves: an event
// filter on the window, which it makes accept drops. Local files only; any
// other URL is refused with a log line.
class DataDrop : public QObject
{
    Q_OBJECT
public:
    // Watches window; the window becomes the parent.
    explicit DataDrop(QWidget *window);

signals:
    void dropped(QString path);
    void log(QString msg);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#endif
