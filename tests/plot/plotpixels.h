#ifndef PLOTPIXELS_H
#define PLOTPIXELS_H

#include "chi/chi.h"
#include "plot/chiview.h"
#include "plot/dispa.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QtTest>

#include <cmath>

using Range = QVector<double>; // xMin, xMax, yMin, yMax
using Values = QVector<double>;

// chi(k), or with r set |chi(R)|, over x; no x: no data.
inline void setData(Chi &c, const Values &x, const Values &y, bool r = false)
{
    Extent &xe = r ? c.rExtent : c.kExtent;
    Extent &ye = r ? c.chiRAbsExtent : c.chiExtent;
    (r ? c.r : c.k) = x;
    (r ? c.chiRAbs : c.chi) = y;
    for (double v : x)
        Chi::updateExtent(v, xe.min, xe.max);
    for (double v : y)
        Chi::updateExtent(v, ye.min, ye.max);
    (r ? c.hasChiR : c.hasChiK) = !x.isEmpty();
}

// The number of pixels of colour c in the area of the image.
inline int count(const QImage &img, const QColor &c, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// The drawing surface of a plot window.
inline DispA *surface(ChiView *v)
{
    return v->findChild<DispA *>(QStringLiteral("DispChi"));
}

inline Range rangeOf(const ChCoord &c)
{
    return {c.xMin, c.xMax, c.yMin, c.yMax};
}

// Each value within 1e-12 of the expected one.
inline void compareValues(const QVector<double> &actual, const QVector<double> &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i)
        QVERIFY2(std::fabs(actual[i] - expected[i]) < 1e-12,
                 qPrintable(QString::number(actual[i], 'g', 17)));
}

#endif
