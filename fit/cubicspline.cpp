#include "fit/cubicspline.h"

#include <algorithm>

namespace {

// Second derivatives of the not-a-knot interpolating cubic through (x, y):
// the third derivative is continuous at x[1] and x[n-2]. Solved as a
// tridiagonal system after eliminating the two end unknowns.
QVector<double> secondDerivatives(const QVector<double> &x, const QVector<double> &y)
{
    const int n = x.size();
    QVector<double> h(n - 1), slope(n - 1);
    for (int i = 0; i + 1 < n; ++i) {
        h[i] = x[i + 1] - x[i];
        slope[i] = (y[i + 1] - y[i]) / h[i];
    }
    // Unknowns m[1..n-2]; row i (1..n-2):
    //   h[i-1]·m[i-1] + 2(h[i-1]+h[i])·m[i] + h[i]·m[i+1] = 6(slope[i]-slope[i-1])
    // with not-a-knot: m[0] = ((h0+h1)·m1 - h0·m2)/h1 and the mirror at the end.
    const int rows = n - 2;
    QVector<double> lower(rows), diag(rows), upper(rows), rhs(rows);
    for (int r = 0; r < rows; ++r) {
        const int i = r + 1;
        lower[r] = h[i - 1];
        diag[r] = 2.0 * (h[i - 1] + h[i]);
        upper[r] = h[i];
        rhs[r] = 6.0 * (slope[i] - slope[i - 1]);
    }
    const double h0 = h[0], h1 = h[1];
    diag[0] += h0 * (h0 + h1) / h1;
    upper[0] -= h0 * h0 / h1;
    const double ha = h[n - 2], hb = h[n - 3];
    diag[rows - 1] += ha * (ha + hb) / hb;
    lower[rows - 1] -= ha * ha / hb;

    // Thomas algorithm; the system is diagonally dominant enough for the
    // point spacings FEFF uses.
    for (int r = 1; r < rows; ++r) {
        const double f = lower[r] / diag[r - 1];
        diag[r] -= f * upper[r - 1];
        rhs[r] -= f * rhs[r - 1];
    }
    QVector<double> m(n);
    m[rows] = rhs[rows - 1] / diag[rows - 1];
    for (int r = rows - 2; r >= 0; --r)
        m[r + 1] = (rhs[r] - upper[r] * m[r + 2]) / diag[r];
    m[0] = ((h0 + h1) * m[1] - h0 * m[2]) / h1;
    m[n - 1] = ((ha + hb) * m[n - 2] - ha * m[n - 3]) / hb;
    return m;
}

} // namespace

bool CubicSpline::build(const QVector<double> &x, const QVector<QVector<double>> &curves)
{
    xs.clear();
    coefficients.clear();
    curveCount = 0;
    const int n = x.size();
    if (n < 4 || curves.isEmpty())
        return false;
    for (int i = 0; i + 1 < n; ++i)
        if (!(x[i + 1] > x[i]))
            return false;
    for (const QVector<double> &y : curves)
        if (y.size() != n)
            return false;

    const int count = curves.size();
    coefficients.resize((n - 1) * count * 4);
    for (int c = 0; c < count; ++c) {
        const QVector<double> &y = curves[c];
        const QVector<double> m = secondDerivatives(x, y);
        for (int i = 0; i + 1 < n; ++i) {
            const double h = x[i + 1] - x[i];
            double *out = coefficients.data() + (i * count + c) * 4;
            out[0] = y[i];
            out[1] = (y[i + 1] - y[i]) / h - h * (2.0 * m[i] + m[i + 1]) / 6.0;
            out[2] = m[i] / 2.0;
            out[3] = (m[i + 1] - m[i]) / (6.0 * h);
        }
    }
    xs = x;
    curveCount = count;
    return true;
}

int CubicSpline::interval(double x, int hint) const
{
    const int last = xs.size() - 2;
    int i = std::clamp(hint, 0, last);
    if (x < xs[i]) {
        const auto it = std::upper_bound(xs.constBegin(), xs.constBegin() + i, x);
        return std::max(0, int(it - xs.constBegin()) - 1);
    }
    while (i < last && x >= xs[i + 1])
        ++i;
    return i;
}

void CubicSpline::evaluate(int i, double x, double *out) const
{
    const double t = x - xs[i];
    const double *c = coefficients.constData() + i * curveCount * 4;
    for (int j = 0; j < curveCount; ++j, c += 4)
        out[j] = c[0] + t * (c[1] + t * (c[2] + t * c[3]));
}

void CubicSpline::evaluate(int i, double x, double *out, double *slope) const
{
    const double t = x - xs[i];
    const double *c = coefficients.constData() + i * curveCount * 4;
    for (int j = 0; j < curveCount; ++j, c += 4) {
        out[j] = c[0] + t * (c[1] + t * (c[2] + t * c[3]));
        slope[j] = c[1] + t * (2.0 * c[2] + t * 3.0 * c[3]);
    }
}
