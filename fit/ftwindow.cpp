#include "fit/ftwindow.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

QVector<double> FtWindow::hanning(const QVector<double> &x, double xmin, double xmax, double dx)
{
    const int n = x.size();
    QVector<double> w(n, 0.0);
    if (n < 2)
        return w;
    const double xstep = (x.last() - x.first()) / (n - 1);
    const double xeps = 1e-4 * xstep;
    double x1 = std::max(x.first(), xmin - dx / 2.0);
    double x2 = xmin + dx / 2.0 + xeps;
    double x3 = xmax - dx / 2.0 - xeps;
    double x4 = std::min(x.last(), xmax + dx / 2.0);
    auto asInt = [&](double v) { return int((v + xeps) / xstep); };
    int i1 = std::max(0, asInt(x1));
    int i2 = std::max(0, asInt(x2));
    int i3 = std::min(n - 1, asInt(x3));
    int i4 = std::min(n - 1, asInt(x4));
    if (i2 == i1)
        i1 = std::max(0, i2 - 1);
    if (i4 == i3)
        i3 = std::max(i2, i4 - 1);
    x1 = x[i1];
    x2 = x[i2];
    x3 = x[i3];
    x4 = x[i4];
    if (x1 == x2)
        x2 += xeps;
    if (x3 == x4)
        x4 += xeps;
    for (int i = i2; i < i3; ++i)
        w[i] = 1.0;
    for (int i = i1; i <= i2; ++i)
        w[i] = std::pow(std::sin(M_PI / 2 * (x[i] - x1) / (x2 - x1)), 2);
    for (int i = i3; i <= i4; ++i)
        w[i] = std::pow(std::cos(M_PI / 2 * (x[i] - x3) / (x4 - x3)), 2);
    return w;
}
