#include "chi/standardtransform.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double halfPi = 1.57079632679489661923;
constexpr double sqrtPi = 1.77245385090551602730;

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

double StandardTransform::window(double k, double kMin, double kMax, double dk)
{
    if (!(dk > 0.0))
        return k >= kMin && k <= kMax ? 1.0 : 0.0;
    const double lo = supportMin(kMin, dk);
    const double hi = supportMax(kMax, dk);
    if (!(k >= lo && k <= hi))
        return 0.0;
    double rise = 1.0;
    if (k < kMin + dk / 2) {
        const double s = std::sin(halfPi * (k - lo) / dk);
        rise = s * s;
    }
    double fall = 1.0;
    if (k > kMax - dk / 2) {
        const double c = std::cos(halfPi * (k - (kMax - dk / 2)) / dk);
        fall = c * c;
    }
    return std::min(rise, fall);
}

double StandardTransform::kPower(double k, int n)
{
    switch (n) {
    case 1:
        return k;
    case 2:
        return k * k;
    case 3:
        return (k * k) * k;
    default:
        return 1.0;
    }
}

double StandardTransform::weigh(const QVector<double> &k, QVector<double> &chi, double kMin,
                                double kMax, const FtOptions &ft)
{
    if (k.size() < 2) {
        chi.fill(0.0);
        return 0.0;
    }
    const auto [lowest, highest] = std::minmax_element(k.cbegin(), k.cend());
    const double meanSpacing = (*highest - *lowest) / (k.size() - 1);
    for (int i = 0; i < k.size(); ++i)
        chi[i] *= window(k[i], kMin, kMax, ft.dk) * kPower(k[i], ft.kWeight);
    return meanSpacing / sqrtPi;
}

QStringList StandardTransform::comments(const TransformArgs &args)
{
    const FtOptions &ft = args.ft;
    if (!ft.standard)
        return {};
    const QString window = ft.dk > 0.0
                               ? QStringLiteral("Hanning, sill dk = %1 1/A").arg(number(ft.dk))
                               : QStringLiteral("box");
    return {QStringLiteral("transform: standard, chi(R) = (dk_mean/sqrt(pi)) * sum w(k) k^n "
                           "chi(k) exp(-2ikR)"),
            QStringLiteral("k weight: n = %1").arg(ft.kWeight),
            QStringLiteral("window: %1").arg(window),
            QStringLiteral("k range: %1 to %2 1/A, window support %3 to %4 1/A")
                .arg(number(args.kMin), number(args.kMax),
                     number(supportMin(args.kMin, ft.dk > 0.0 ? ft.dk : 0.0)),
                     number(supportMax(args.kMax, ft.dk > 0.0 ? ft.dk : 0.0)))};
}
