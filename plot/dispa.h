#ifndef DISPA_H
#define DISPA_H

#include "plot/chcoord.h"
#include "plot/mousec.h"

#include <QColor>
#include <QFrame>
#include <QPainter> // complete type: connecting to drawImage1() needs it

// The drawing surface. It fills itself with its background colour and hands
// its painter out through drawImage1 and drawImage2, so the drawing code
// lives with whoever listens. Mouse events go to its MouseC, which drives
// the ChCoord (pan and zoom); after each mouse event the surface repaints.
// With nothing connected it is a plain colour swatch.
class DispA : public QFrame
{
    Q_OBJECT
public:
    explicit DispA(QWidget *parent = nullptr);

    ChCoord coord;
    MouseC mouse;
    QColor background;

signals:
    // The painter is valid only during the emission.
    void drawImage1(QPainter *p);
    void drawImage2(QPainter *p);
    void mouseMoved0();
    void mousePressed0();
    void mouseReleased0();
    void mouseDoubleClicked0();
    void wheelMoved0();

public slots:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
};

#endif
