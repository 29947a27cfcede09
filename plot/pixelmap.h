#ifndef PIXELMAP_H
#define PIXELMAP_H

#include "plot/chcoord.h"

// The data-to-pixel map of a ChCoord (its xToPixel and yToPixel use it),
// with the scale factors worked out once, for loops over many points.
struct PixelMap
{
    explicit PixelMap(const ChCoord &c)
        : left(c.plotLeft), xMin(c.xMin), fx((c.plotRight - c.plotLeft) / (c.xMax - c.xMin)),
          bottom(c.plotBottom), yMin(c.yMin), fy((c.plotTop - c.plotBottom) / (c.yMax - c.yMin))
    {}
    double x(double v) const { return left + fx * (v - xMin); }
    double y(double v) const { return bottom + fy * (v - yMin); }

    double left, xMin, fx, bottom, yMin, fy;
};

#endif
