#ifndef FTWINDOW_H
#define FTWINDOW_H

#include <QVector>

// The Hanning window of the reference library's transforms, shared by the
// background removal and the path fit so that both weight k alike.
class FtWindow
{
public:
    // On the evenly stepped grid x starting at 0: sin^2 from xmin - dx/2 to
    // xmin + dx/2, 1 up to xmax - dx/2, cos^2 down to xmax + dx/2, each edge
    // snapped to a grid point as the reference snaps it.
    static QVector<double> hanning(const QVector<double> &x, double xmin, double xmax, double dx);
};

#endif
