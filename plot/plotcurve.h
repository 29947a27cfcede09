#ifndef PLOTCURVE_H
#define PLOTCURVE_H

#include <QColor>
#include <QString>
#include <QVector>

// One curve as a plot window draws it, for the chart, the legend and the
// data export: who it belongs to, what it is, its pen and its points (y
// already k-weighted where the window weights it).
struct PlotCurve
{
    QString job;       // the job folder's (or site group's, or file's) name
    QString path;      // "path 23 · Ca–O 2.356 Å" for a path curve, else empty
    QString component; // "k^2 chi(k)", "|chi(R)|", "Re chi(R)", "Im chi(R)"
    QString xName;     // "k" or "R"
    QColor color;
    int width = 1;         // pen width in pixels
    QVector<qreal> dashes; // the pen's dash pattern; empty: solid
    bool markers = false;  // a mark on every point (measured data)
    QVector<double> x;
    QVector<double> y;
};

#endif
