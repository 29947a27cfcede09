#ifndef DATALINE_H
#define DATALINE_H

#include "plot/plotcurve.h"

#include <QColor>
#include <QPen>
#include <QVector>

class ChCoord;
class QPainter;

// Dash patterns of the real and imaginary parts, in pen widths.
inline const QVector<qreal> realDashes = {2, 2};
inline const QVector<qreal> imagDashes = {6, 2, 3, 2};
// A path fit: long dashes, unlike both parts.
inline const QVector<qreal> fitDashes = {4, 3};
// A site average: long dash and dot at twice the width, so it is not taken
// for a job's total, a path or a fit.
inline const QVector<qreal> averageDashes = {7, 2, 1, 2};
// Path curves: their job's colour this far toward white (0..1).
constexpr double pathLightness = 0.5;

// The lighter colour of a job's path curves.
QColor pathColor(const QColor &jobColor);
// Small open circles on the points, in the painter's pen (solid); points
// closer than a ring's width to the last ring get none.
void drawMarkers(QPainter *p, const ChCoord &coord, const QVector<double> &x,
                 const QVector<double> &y);

// The pen of a chart curve: solid, or dashed with the given pattern.
QPen curvePen(const QColor &color, int width = 1, const QVector<qreal> &dashes = {});

// Draws the polyline through the points (x[i], y[i]) with the painter's
// pen. Each point is converted by coord and snapped
// to whole pixels toward zero. Points whose pixel position is not a finite
// number (NaN or infinite data, or beyond 1e150 pixels) break the line;
// segments reaching beyond 100000 pixels are cut at that distance, exactly
// along their own direction, so huge values after a deep zoom neither
// overflow the rasteriser nor bend the visible part. Arrays of unequal
// length are drawn up to the shorter one.
void drawDataLine(QPainter *p, const ChCoord &coord, const QVector<double> &x,
                  const QVector<double> &y);

// x^power * y, power 0 to 3, as the chi(k) chart weights its curves.
inline double kWeighted(double x, double y, int power)
{
    switch (power) {
    case 1:
        return x * y;
    case 2:
        return x * x * y;
    case 3:
        return x * x * x * y;
    default:
        return y;
    }
}

// Each curve with its own pen, in the order given (later ones on top).
void drawCurves(QPainter *p, const ChCoord &coord, const QVector<PlotCurve> &curves);

#endif
