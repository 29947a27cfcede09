#ifndef FITTRANSFORM_H
#define FITTRANSFORM_H

#include "fit/fitsettings.h"

#include <QVector>

// The transform the fit compares in: chi(k) on the uniform grid
// k = 0, 0.05, ..., weighted by k^n and the Hanning window, taken to chi(R)
// with N_fft = 2048 points, as the reference fit does it. Only the R points of
// the fit range are needed, so instead of a whole FFT the transform is kept as
// a matrix of the window's k points by the R range's real and imaginary
// parts (a few dozen rows), which is both exact and faster than the FFT.
class FitTransform
{
public:
    static constexpr double kStep = 0.05;
    static constexpr int nFft = 2048;
    static double rStep(); // pi / (kStep * nFft), A

    // The grid from 0 to the last measured k: int(1.01 + kLast / kStep) points.
    static QVector<double> grid(double kLast);
    // chi linearly interpolated onto grid; outside the points the end values
    // hold. k ascending (repeated values allowed).
    static QVector<double> interpolate(const QVector<double> &k, const QVector<double> &chi,
                                       const QVector<double> &grid);
    // The Hanning window over the nFft grid points, built as the reference's
    // window function builds it (sill dk, ramps clipped to the grid points).
    static QVector<double> window(double kMin, double kMax, double dk);

    // gridPoints: the length of the curves apply() takes (from grid()).
    FitTransform(const FitSettings &settings, int gridPoints);

    // First and one past the last grid index where the window is not zero.
    int first() const { return kFirst; }
    int last() const { return kLast; }
    // Rows of apply(): real and imaginary parts of chi(R) at the grid points
    // int(0.01 + rMin/rStep) up to (not including) int(0.01 + rMax/rStep).
    int rows() const { return rowCount; }

    // chi(R) of curve (gridPoints values) in the fit range, real and
    // imaginary parts interleaved, into out[0..rows()).
    void apply(const double *curve, double *out) const;
    // The same for columns of values given only at first()..last():
    // column c's value at grid index i is values[c * (last() - first()) +
    // i - first()], its chi(R) goes to out[c * rows() ...].
    void applyWindowed(const double *values, double *out, int columns = 1) const;

    // The noise of chi(R) as the reference estimates it: the root mean square
    // of the real and imaginary parts between 15 and 30 A divided by the
    // window's mean over kMin..kMax.
    double epsilonR(const QVector<double> &curve) const;
    // The same noise in chi(k), by Parseval's theorem with the k weight.
    double epsilonK(double epsR) const;

private:
    // Rows for R indices [iFirst, iEnd): cos and -sin terms times weight.
    QVector<double> matrix(int iFirst, int iEnd) const;

    FitSettings set;
    QVector<double> win;    // on the nFft grid
    QVector<double> weight; // (kStep/sqrt(pi)) w(k) k^n at first()..last()
    QVector<double> rowsMatrix;
    int kFirst = 0;
    int kLast = 0;
    int rowCount = 0;
    int points = 0;
};

#endif
