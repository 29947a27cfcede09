#include "plot/axis.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxTicks = 100;

void noTicks(double &step, double &first, double &last)
{
    step = 0;
    first = 1;
    last = 0;
}

} // namespace

void axisTicks(double lo, double hi, double &step, double &first, double &last)
{
    noTicks(step, first, last);
    if (lo > hi)
        std::swap(lo, hi);
    const double r = hi - lo;
    if (!std::isfinite(r) || !(r > 0))
        return;
    double p = std::pow(10.0, std::floor(std::log10(r)));
    int m = int(r / p);
    // log10 rounds: a range just below a power of ten can land a decade too
    // high (m = 0), one just above a decade too low (m = 10).
    if (m < 1) {
        p /= 10;
        m = int(r / p);
    } else if (m > 9) {
        p *= 10;
        m = int(r / p);
    }
    m = std::clamp(m, 1, 9);
    static const double factor[10] = {0, 0.2, 0.2, 0.5, 0.5, 1, 1, 1, 2, 2};
    const double s = p * factor[m];
    double f = s * std::floor(lo / s);
    if (lo > f)
        f += s;
    double l = s * std::ceil(hi / s);
    if (l > hi)
        l -= s;
    // A step that does not move the tick value would never reach the end.
    if (!std::isfinite(f) || !std::isfinite(l) || f + s == f || l + s == l)
        return;
    step = s;
    first = f;
    last = l;
}

QVector<double> axisTickValues(double lo, double hi)
{
    double step, first, last;
    axisTicks(lo, hi, step, first, last);
    QVector<double> ticks;
    for (double x = first; x <= last && ticks.size() < maxTicks; x += step)
        ticks.append(x);
    return ticks;
}

QString axisNumber(double v, int width)
{
    if (std::fabs(v) < 1e-20)
        return QStringLiteral("0");
    const int neg = v < 0 ? 1 : 0;
    const int w = v >= 0 ? width - 1 : width;
    const int e = decadeOf(v);
    if (e >= 0) {
        const int d = w - e - neg - 2;
        if (d > 0)
            return QString::number(v, 'f', d);
    }
    const int ed = w - (exponentWidth(v) + neg + 3);
    if (ed > 0)
        return QStringLiteral("%1").arg(v, w, 'e', ed, QLatin1Char(' '));
    const int fd = w - 2 - neg;
    if (fd > 0)
        return QStringLiteral("%1").arg(v, w, 'f', fd, QLatin1Char(' '));
    return QString::number(v, 'g', 6).left(w);
}

int decadeOf(double v)
{
    if (v == 0 || !std::isfinite(v))
        return 0;
    return int(std::floor(std::log10(std::fabs(v))));
}

int exponentWidth(double v)
{
    return decadeOf(std::abs(decadeOf(v))) + 2;
}
