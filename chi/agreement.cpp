#include "chi/agreement.h"

#include "chi/chi.h"
#include "chi/standardtransform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr double noFigure = std::numeric_limits<double>::quiet_NaN();

// A copy of the chi(k) data, transformed with args.
void transformCopy(const Chi &source, const TransformArgs &args, Chi &copy)
{
    copy.k = source.k;
    copy.chi = source.chi;
    copy.sourcePath = source.sourcePath;
    copy.hasChiK = source.hasChiK;
    copy.transform(args);
}

} // namespace

AgreementFigures::AgreementFigures()
    : rK(noFigure), scaleK(noFigure), rR(noFigure), scaleR(noFigure)
{}

bool AgreementFigures::hasK() const
{
    return std::isfinite(rK);
}

bool AgreementFigures::hasR() const
{
    return std::isfinite(rR);
}

AgreementFigures Agreement::compute(const Chi &measured, const Chi &job, const TransformArgs &args,
                                    const FitOptions &fit)
{
    AgreementFigures figures;
    if (!measured.hasChiK || !job.hasChiK)
        return figures;
    inK(measured, job, args.kMin, args.kMax, fit.kWeight, figures);
    inR(measured, job, args, fit, figures);
    return figures;
}

double Agreement::interpolate(const QVector<double> &k, const QVector<double> &chi, double x)
{
    const int n = std::min(k.size(), chi.size());
    if (n == 0 || !(x >= k[0] && x <= k[n - 1]))
        return noFigure;
    const auto end = k.cbegin() + n;
    const int hi = int(std::lower_bound(k.cbegin(), end, x) - k.cbegin());
    if (k[hi] == x)
        return chi[hi];
    const int lo = hi - 1;
    const double t = (x - k[lo]) / (k[hi] - k[lo]);
    return chi[lo] + t * (chi[hi] - chi[lo]);
}

void Agreement::inK(const Chi &measured, const Chi &job, double kMin, double kMax, int kWeight,
                    AgreementFigures &figures)
{
    // Sorted once: FEFF's files are, but nothing else has to be.
    QVector<double> jobK = job.k;
    QVector<double> jobChi = job.chi;
    if (!std::is_sorted(jobK.cbegin(), jobK.cend())) {
        QVector<int> order(jobK.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&job](int a, int b) { return job.k[a] < job.k[b]; });
        for (int i = 0; i < order.size(); ++i) {
            jobK[i] = job.k[order[i]];
            jobChi[i] = job.chi[order[i]];
        }
    }
    double dt = 0.0, tt = 0.0, dd = 0.0;
    QVector<double> d, t;
    for (int i = 0; i < measured.k.size(); ++i) {
        const double k = measured.k[i];
        if (!(k >= kMin && k <= kMax))
            continue;
        const double jobValue = interpolate(jobK, jobChi, k);
        const double power = StandardTransform::kPower(k, kWeight);
        const double di = power * measured.chi[i];
        const double ti = power * jobValue;
        if (!std::isfinite(di) || !std::isfinite(ti))
            continue;
        d.append(di);
        t.append(ti);
        dt += di * ti;
        tt += ti * ti;
        dd += di * di;
    }
    figures.pointsK = d.size();
    if (!(tt > 0.0) || !(dd > 0.0))
        return;
    const double s = dt / tt;
    double residual = 0.0;
    for (int i = 0; i < d.size(); ++i)
        residual += (d[i] - s * t[i]) * (d[i] - s * t[i]);
    figures.scaleK = s;
    figures.rK = residual / dd;
}

void Agreement::inR(const Chi &measured, const Chi &job, const TransformArgs &args,
                    const FitOptions &fit, AgreementFigures &figures)
{
    TransformArgs standard = args;
    standard.ft.standard = true;
    standard.ft.kWeight = fit.kWeight;
    Chi D;
    Chi T;
    transformCopy(measured, standard, D);
    transformCopy(job, standard, T);
    const int n = std::min(D.r.size(), T.r.size());
    double dt = 0.0, tt = 0.0, dd = 0.0;
    QVector<int> used;
    for (int j = 0; j < n; ++j) {
        if (!(D.r[j] >= fit.rMin && D.r[j] <= fit.rMax))
            continue;
        used.append(j);
        dt += D.chiRRe[j] * T.chiRRe[j] + D.chiRIm[j] * T.chiRIm[j];
        tt += T.chiRRe[j] * T.chiRRe[j] + T.chiRIm[j] * T.chiRIm[j];
        dd += D.chiRRe[j] * D.chiRRe[j] + D.chiRIm[j] * D.chiRIm[j];
    }
    figures.pointsR = used.size();
    if (!(tt > 0.0) || !(dd > 0.0) || !std::isfinite(dt))
        return;
    const double s = dt / tt;
    double residual = 0.0;
    for (int j : qAsConst(used)) {
        const double re = D.chiRRe[j] - s * T.chiRRe[j];
        const double im = D.chiRIm[j] - s * T.chiRIm[j];
        residual += re * re + im * im;
    }
    figures.scaleR = s;
    figures.rR = residual / dd;
}
