#ifndef MOUSEC_H
#define MOUSEC_H

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWheelEvent;

// The mouse state of one drawing surface. The surface feeds every event in;
// the signals tell the surface's coordinate system that the state changed.
// Positions are integer pixels relative to the surface; buttons are
// Qt::MouseButton values, modifiers Qt::KeyboardModifiers flags.
class MouseC : public QObject
{
    Q_OBJECT
public:
    explicit MouseC(QObject *parent = nullptr);

    void mouseMove(QMouseEvent *e);
    void mousePress(QMouseEvent *e);
    void mouseRelease(QMouseEvent *e);
    void mouseDClick(QMouseEvent *e);
    void mouseWheel(QWheelEvent *e);

    QPoint prevPos; // curPos before the latest move, press or release
    QPoint curPos;
    QPoint pressPos;
    QPoint releasePos;
    QPoint dClickPos;
    bool pressed = false;
    int moveButton = 0;
    int pressButton = 0;
    int releaseButton = 0;
    int dClickButton = 0;
    int moveModifiers = 0;
    int pressModifiers = 0;
    int releaseModifiers = 0;
    int dClickModifiers = 0;

signals:
    void mMoved();
    void mPressed();
    void mReleased();
    void mDClicked();
    // step: whole wheel notches, truncated toward zero.
    void wheelMoved(int step);
};

#endif
