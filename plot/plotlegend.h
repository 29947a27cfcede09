#ifndef PLOTLEGEND_H
#define PLOTLEGEND_H

#include "plot/plotcurve.h"

#include <QCoreApplication>
#include <QRect>
#include <QVector>

class ChCoord;
class QFontMetrics;
class QPainter;

// The legend of a plot window: one line per shown job (its folder's name, a
// sample of its pen) and, below a job with Show2, one per checked path. It
// sits in the corner of the plot area where it covers the fewest curve
// points, on top of everything, and changes nothing outside its box.
class PlotLegend
{
    Q_DECLARE_TR_FUNCTIONS(PlotLegend)
public:
    struct Entry
    {
        QString text;
        QColor color;
        int width = 1;
        QVector<qreal> dashes; // the curve's own: a fit's sample is dashed too
        bool markers = false;
    };

    static QVector<Entry> entries(const QVector<PlotCurve> &curves);
    // Draws the legend and returns its box; an empty box when nothing is
    // shown or the plot area is too small for it.
    static QRect draw(QPainter *p, const ChCoord &c, const QVector<PlotCurve> &curves);
    // The corner box of the given size that covers the fewest points, in
    // the order top right, top left, bottom right, bottom left on ties.
    static QRect place(const ChCoord &c, const QSize &size, const QVector<PlotCurve> &curves);

private:
    static QVector<Entry> fitted(QVector<Entry> all, int rows);
};

#endif
