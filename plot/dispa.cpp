#include "plot/dispa.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWheelEvent>

DispA::DispA(QWidget *parent) : QFrame(parent), background(255, 255, 255)
{
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_MouseTracking);
    coord.setMouse(&mouse);
}

// The base class is not called: the styled frame is never drawn, the whole
// widget is the chart.
void DispA::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Qt's raster engine draws width-1 pens by its fast per-pixel path only
    // under a rectangular clip of the painter's own; without one it goes
    // through its general span filler, about twice as slow for curves. The
    // clip is the whole surface, so no pixel changes. Other engines (the SVG
    // export) are left without it.
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster)
        p.setClipRect(rect());
    p.fillRect(0, 0, width(), height(), background);
    coord.setFrame(0, height(), width(), 0);
    emit drawImage1(&p);
    emit drawImage2(&p);
}

// Moves with Alt held are ignored entirely, so the cursor can leave the
// chart without disturbing the read-out.
void DispA::mouseMoveEvent(QMouseEvent *e)
{
    if (e->modifiers() & Qt::AltModifier)
        return;
    mouse.mouseMove(e);
    emit mouseMoved0();
    update();
}

void DispA::mousePressEvent(QMouseEvent *e)
{
    mouse.mousePress(e);
    emit mousePressed0();
    update();
}

void DispA::mouseReleaseEvent(QMouseEvent *e)
{
    mouse.mouseRelease(e);
    emit mouseReleased0();
    update();
}

void DispA::mouseDoubleClickEvent(QMouseEvent *e)
{
    mouse.mouseDClick(e);
    emit mouseDoubleClicked0();
    update();
}

void DispA::wheelEvent(QWheelEvent *e)
{
    mouse.mouseWheel(e);
    emit wheelMoved0();
    update();
}
