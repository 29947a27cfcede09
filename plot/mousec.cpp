#include "plot/mousec.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// Halves round up, as QPointF::toPoint does: (10.5, -3.5) becomes (11, -3).
QPoint pixelOf(const QMouseEvent *e)
{
    return e->localPos().toPoint();
}

} // namespace

MouseC::MouseC(QObject *parent) : QObject(parent) {}

void MouseC::mouseMove(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = pixelOf(e);
    moveButton = int(e->button());
    moveModifiers = int(e->modifiers());
    emit mMoved();
}

void MouseC::mousePress(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = pressPos = pixelOf(e);
    pressed = true;
    pressButton = int(e->button());
    pressModifiers = int(e->modifiers());
    emit mPressed();
}

void MouseC::mouseRelease(QMouseEvent *e)
{
    prevPos = curPos;
    curPos = releasePos = pixelOf(e);
    pressed = false;
    releaseButton = int(e->button());
    releaseModifiers = int(e->modifiers());
    emit mReleased();
}

void MouseC::mouseDClick(QMouseEvent *e)
{
    dClickPos = pixelOf(e);
    dClickButton = int(e->button());
    dClickModifiers = int(e->modifiers());
    emit mDClicked();
}

void MouseC::mouseWheel(QWheelEvent *e)
{
    // angleDelta is in eighths of a degree; one standard notch is 120 (15
    // degrees). The vertical wheel wins; a horizontal-only wheel counts too.
    const QPoint angle = e->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    emit wheelMoved(int(delta * 0.125 / 15.0));
}
