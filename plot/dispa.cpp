#include "plot/dispa.h"

#include <QPainter>

DispA::DispA(QWidget *parent) : QFrame(parent) {}

void DispA::paintEvent(QPaintEvent *event)
{
    if (background.isValid()) {
        QPainter painter(this);
        painter.fillRect(contentsRect(), background);
    }
    QFrame::paintEvent(event);
}
