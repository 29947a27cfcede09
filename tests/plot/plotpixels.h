#ifndef PLOTPIXELS_H
#define PLOTPIXELS_H

#include "chi/chi.h"
#include "plot/chiview.h"
#include "plot/dispa.h"

#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QRect>
#include <QtTest>

#include <cmath>

using Range = QVector<double>; // xMin, xMax, yMin, yMax
using Values = QVector<double>;
using Rows = QVector<int>; // pixel rows (or columns)
using Flags = QVector<bool>;

// Colours the charts use; the plot area of a 600 x 400 surface.
inline const QColor white(255, 255, 255), black(0, 0, 0), red(255, 0, 0);
inline const QRect plotArea(60, 20, 510, 340);

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

inline int count(const QImage &img, const QColor &c, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

inline Rows rowsOf(const QImage &img, int column, const QColor &c)
{
    Rows rows;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixelColor(column, y) == c)
            rows << y;
    return rows;
}

inline DispA *surface(ChiView *v)
{
    return v->findChild<DispA *>(QStringLiteral("DispChi"));
}

// A mouse event at p; at a release the button is no longer held.
inline QMouseEvent mouseEvent(QEvent::Type type, QPointF p, int button = 0, int mods = 0)
{
    const auto b = Qt::MouseButton(button);
    return QMouseEvent(type, p, p, b, type == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                       Qt::KeyboardModifiers(mods));
}

inline void send(QWidget *w, QEvent::Type type, QPointF p, int button = 0, int mods = 0)
{
    QMouseEvent e = mouseEvent(type, p, button, mods);
    QCoreApplication::sendEvent(w, &e);
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
