#ifndef PLOTPIXELS_H
#define PLOTPIXELS_H

#include "plot/chiview.h"
#include "plot/dispa.h"

#include <QColor>
#include <QImage>
#include <QRect>

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

#endif
