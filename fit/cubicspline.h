#ifndef CUBICSPLINE_H
#define CUBICSPLINE_H

#include <QVector>

// Interpolating cubic splines of several curves that share one abscissa, with
// the not-a-knot end condition (the spline an interpolating smoothing spline of
// zero smoothing gives). Outside the points the end pieces continue as they
// are. The coefficients are worked out once; an evaluation finds the interval
// once for all curves.
class CubicSpline
{
public:
    // x strictly increasing, at least four points; every curve has x.size()
    // values. Returns false (and keeps nothing) otherwise.
    bool build(const QVector<double> &x, const QVector<QVector<double>> &curves);

    int curves() const { return curveCount; }
    bool isEmpty() const { return xs.isEmpty(); }
    const QVector<double> &points() const { return xs; }
    double first() const { return xs.isEmpty() ? 0.0 : xs.first(); }
    double last() const { return xs.isEmpty() ? 0.0 : xs.last(); }

    // The interval of x: i with xs[i] <= x < xs[i+1], clamped to the end
    // pieces. hint is where the previous lookup ended: ascending lookups walk
    // forward from it instead of searching.
    int interval(double x, int hint = 0) const;
    // Writes the value of every curve at x in interval i to out[0..curves()).
    void evaluate(int i, double x, double *out) const;
    // The same, and every curve's slope dy/dx at x to slope[0..curves()).
    void evaluate(int i, double x, double *out, double *slope) const;

private:
    QVector<double> xs;
    // Per interval and curve the four coefficients of
    // y = a + b·t + c·t² + d·t³, t = x - xs[i].
    QVector<double> coefficients;
    int curveCount = 0;
};

#endif
