#ifndef PREEDGE_H
#define PREEDGE_H

#include "data/xafsspectrum.h"

#include <QCoreApplication>
#include <QVector>

// Edge energy, pre-edge line, post-edge polynomial and edge step of a mu(E)
// spectrum, as the reference library's pre_edge defines them:
// - e0 at the largest derivative of mu flanked by two more points of large
//   derivative (away from the ends), unless a usable e0 is given; it is then
//   moved to the nearest energy point;
// - a line fitted to mu over [e0 + pre1, e0 + pre2], a polynomial of degree
//   nnorm fitted to mu minus that line over [e0 + norm1, e0 + norm2];
// - the edge step, the polynomial's value at e0.
// Ranges not given take the library's defaults (pre1 from the second point,
// pre2 about pre1/3, norm2 the last point, norm1 about norm2/3 but at most
// 150 eV, rounded to 5 eV; nnorm from the width of the post-edge range).
class PreEdge
{
    Q_DECLARE_TR_FUNCTIONS(PreEdge)
public:
    struct Result
    {
        QString problem; // empty when the spectrum has a usable edge
        double e0 = 0.0;
        int e0Index = 0;
        double edgeStep = 0.0;
        double pre1 = 0.0;
        double pre2 = 0.0;
        double norm1 = 0.0;
        double norm2 = 0.0;
        int nnorm = 0;
    };

    // energy increasing, in eV; params may leave any value unset.
    static Result compute(const QVector<double> &energy, const QVector<double> &mu,
                          const BackgroundParams &params);

    // Index of the edge found in mu, 0 when there is none.
    static int findE0(const QVector<double> &energy, const QVector<double> &mu);

    // Coefficients c0, c1, ... of the least-squares polynomial of the given
    // degree through the points [from, to) of x and y, in powers of x.
    static QVector<double> polyfit(const QVector<double> &x, const QVector<double> &y, int from,
                                   int to, int degree);
    static double polyval(const QVector<double> &coefficients, double x);

    // The largest index with x[i] <= value (0 below the first), and the index
    // of the point nearest to value.
    static int indexOf(const QVector<double> &x, double value);
    static int indexNearest(const QVector<double> &x, double value);
};

#endif
