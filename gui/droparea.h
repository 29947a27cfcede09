#ifndef DROPAREA_H
#define DROPAREA_H

#include <QLineEdit>

class QDragEnterEvent;
class QDropEvent;

// A read-only line edit that files are dropped on. Every dropped URL becomes
// one dropped() signal; the window decides what to make of it. A receiver
// that made something of a URL calls takeDrop() while the signal is being
// delivered; the drop is then reported back to the dragging program as
// accepted, otherwise as refused.
class DropArea : public QLineEdit
{
    Q_OBJECT
public:
    explicit DropArea(QWidget *parent = nullptr);

    // Does nothing outside the delivery of a drop.
    void takeDrop();
    // Whether a drop's dropped() signals are being delivered.
    bool isDelivering() const { return drop != Drop::None; }

signals:
    void dropped(QString path, QString url, QString scheme, QString host);
    // After the last dropped() of one drop.
    void dropEnded();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Drop
    {
        None,
        Pending,
        Taken
    };
    Drop drop = Drop::None;
};

#endif
