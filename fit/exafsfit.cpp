#include "fit/exafsfit.h"

#include "chi/measuredchi.h"
#include "fit/boundedparameter.h"
#include "fit/fittransform.h"
#include "fit/levenbergmarquardt.h"
#include "fit/pathmodel.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

constexpr int nVar = PathModel::ParameterCount;
const char *const names[nVar] = {"s02", "de0", "alpha", "ss1", "ss2"};
const BoundedParameter bounds[nVar] = {
    {0.05, 3.0}, {-25.0, 25.0}, {-0.1, 0.1}, {-0.005, 0.05}, {-0.005, 0.05}};

// What one fit works on: the measured curve in the fit space and the model
// at the window's k points.
struct Problem
{
    const FitTransform *transform;
    PathModel *model;
    QVector<double> data; // transformed measured curve / epsilon_R
    double epsilonR;
    int points; // the window's k points

    // Residual (data - model in R, over epsilon_R) and, when asked, its
    // Jacobian in the external parameters.
    void residual(const double *p, double *out, double *jacobian) const
    {
        QVector<double> curve(points * (jacobian ? nVar + 1 : 1));
        model->evaluate(p, curve.data(), jacobian ? curve.data() + points : nullptr);
        const int rows = data.size();
        if (!jacobian) {
            transform->applyWindowed(curve.constData(), out);
            for (int i = 0; i < rows; ++i)
                out[i] = data[i] - out[i] / epsilonR;
            return;
        }
        // The model and its derivatives through the transform at once.
        QVector<double> all((nVar + 1) * rows);
        transform->applyWindowed(curve.constData(), all.data(), nVar + 1);
        for (int i = 0; i < rows; ++i)
            out[i] = data[i] - all[i] / epsilonR;
        for (int i = 0; i < nVar * rows; ++i)
            jacobian[i] = -all[rows + i] / epsilonR;
    }
};

bool finite(const double *v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

// One minimisation from a start, in the bounded parameters' internal values.
LevenbergMarquardt::Outcome minimiseFrom(const Problem &problem, const double *start)
{
    QVector<double> internal(nVar);
    for (int j = 0; j < nVar; ++j)
        internal[j] = bounds[j].toInternal(start[j]);
    const int rows = problem.data.size();
    auto f = [&](const double *u, double *residual, double *jacobian) {
        double p[nVar];
        for (int j = 0; j < nVar; ++j)
            p[j] = bounds[j].toExternal(u[j]);
        problem.residual(p, residual, jacobian);
        if (jacobian)
            for (int j = 0; j < nVar; ++j) {
                const double g = bounds[j].gradient(u[j]);
                for (int i = 0; i < rows; ++i)
                    jacobian[j * rows + i] *= g;
            }
        return finite(residual, rows) && (!jacobian || finite(jacobian, rows * nVar));
    };
    LevenbergMarquardt::Outcome out = LevenbergMarquardt::minimise(rows, internal, f);
    for (int j = 0; j < nVar; ++j)
        out.x[j] = bounds[j].toExternal(out.x[j]);
    return out;
}

// (J^T J)^-1 by Gauss-Jordan with pivoting; false when singular.
bool invertNormal(const QVector<double> &jacobian, int rows, double covariance[nVar][nVar])
{
    double a[nVar][2 * nVar] = {};
    for (int r = 0; r < nVar; ++r) {
        for (int c = 0; c < nVar; ++c) {
            double sum = 0.0;
            for (int i = 0; i < rows; ++i)
                sum += jacobian[r * rows + i] * jacobian[c * rows + i];
            a[r][c] = sum;
        }
        a[r][nVar + r] = 1.0;
    }
    for (int c = 0; c < nVar; ++c) {
        int pivot = c;
        for (int r = c + 1; r < nVar; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        if (!(std::fabs(a[pivot][c]) > 0.0))
            return false;
        std::swap(a[c], a[pivot]);
        const double d = a[c][c];
        for (double &v : a[c])
            v /= d;
        for (int r = 0; r < nVar; ++r) {
            if (r == c)
                continue;
            const double f = a[r][c];
            for (int k = 0; k < 2 * nVar; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    for (int r = 0; r < nVar; ++r)
        for (int c = 0; c < nVar; ++c)
            covariance[r][c] = a[r][nVar + c];
    return true;
}

FitParameter *parameter(FitResult &result, int j)
{
    FitParameter *all[nVar] = {&result.s02, &result.de0, &result.alpha, &result.ss1, &result.ss2};
    return all[j];
}

// Statistics, uncertainties, correlations and flags at the best values.
void describe(const Problem &problem, const LevenbergMarquardt::Outcome &best, FitResult &result)
{
    const int rows = problem.data.size();
    QVector<double> residual(rows), jacobian(rows * nVar);
    problem.residual(best.x.constData(), residual.data(), jacobian.data());
    double sumResid = 0.0, sumData = 0.0;
    for (int i = 0; i < rows; ++i) {
        sumResid += residual[i] * residual[i];
        sumData += problem.data[i] * problem.data[i];
    }
    // chi^2 scaled to the independent points, as the reference fit reports it.
    result.chi2 = sumResid * result.nIdp / rows;
    result.chi2Reduced = result.nIdp > nVar ? result.chi2 / (result.nIdp - nVar) : qQNaN();
    result.rFactor = sumData > 0.0 ? sumResid / sumData : qQNaN();
    result.converged = best.converged();

    double covariance[nVar][nVar];
    const bool haveCovariance = invertNormal(jacobian, rows, covariance);
    // Uncertainties: sqrt(diag((J^T J)^-1) * sum resid^2 / (N_idp - N_var)).
    const double errorScale = result.nIdp > nVar ? sumResid / (result.nIdp - nVar) : qQNaN();
    for (int j = 0; j < nVar; ++j) {
        FitParameter *par = parameter(result, j);
        par->value = best.x[j];
        par->error = haveCovariance && covariance[j][j] >= 0.0
                         ? std::sqrt(covariance[j][j] * errorScale)
                         : qQNaN();
        par->atBound = bounds[j].atBound(best.x[j]);
        if (par->atBound)
            result.flags << QStringLiteral("%1-at-bound").arg(QLatin1String(names[j]));
    }
    if (haveCovariance)
        for (int a = 0; a < nVar; ++a)
            for (int b = a + 1; b < nVar; ++b) {
                const double c = covariance[a][b] / std::sqrt(covariance[a][a] * covariance[b][b]);
                if (std::fabs(c) > 0.5)
                    result.correlations.append(
                        {QLatin1String(names[a]), QLatin1String(names[b]), c});
            }
    std::sort(result.correlations.begin(), result.correlations.end(),
              [](const FitCorrelation &x, const FitCorrelation &y) {
                  return std::fabs(x.value) > std::fabs(y.value);
              });
    if (result.s02.value < 0.5 || result.s02.value > 1.3)
        result.flags << QStringLiteral("s02-unphysical");
    if (nVar >= result.nIdp)
        result.flags << QStringLiteral("nvar-ge-nidp");
    if (!result.converged)
        result.flags << QStringLiteral("not-converged");
    result.r1.value = result.reff1 * (1.0 + result.alpha.value);
    result.r1.error = result.reff1 * result.alpha.error;
    result.r1.atBound = result.alpha.atBound;
}

// ΔE0 started at -8, 0 and +8 eV; the lowest χ² of the fits that ended
// with a finite residual, or false when none did.
bool bestOfStarts(const Problem &problem, LevenbergMarquardt::Outcome &best)
{
    bool found = false;
    for (double de0 : {-8.0, 0.0, 8.0}) {
        const double start[nVar] = {0.9, de0, 0.0, 0.005, 0.008};
        const LevenbergMarquardt::Outcome one = minimiseFrom(problem, start);
        if (one.info > 0 && std::isfinite(one.sumSquares) &&
            (!found || one.sumSquares < best.sumSquares)) {
            best = one;
            found = true;
        }
    }
    return found;
}

FitResult fitModel(PathModel &model, const MeasuredCurve &data, const FitSettings &settings)
{
    FitResult result;
    const QString refusal = ExafsFit::refusal(data, settings);
    if (!refusal.isEmpty()) {
        result.reason = refusal;
        return result;
    }
    result.paths = model.pathNumbers();
    result.reff1 = model.shortestReff();
    result.k = FitTransform::grid(data.k.last());
    result.measured = FitTransform::interpolate(data.k, data.chi, result.k);
    const FitTransform transform(settings, result.k.size());
    if (transform.rows() < nVar || transform.last() <= transform.first()) {
        result.reason = ExafsFit::tr("the fit range FIT_RMIN %1 to FIT_RMAX %2 A holds too few "
                                     "points")
                            .arg(settings.rMin)
                            .arg(settings.rMax);
        return result;
    }
    // N_idp = 1 + 2 dk dR / pi, as the reference fit counts it.
    result.nIdp =
        1.0 + 2.0 * (settings.rMax - settings.rMin) * (settings.kMax - settings.kMin) / M_PI;
    result.epsilonR = transform.epsilonR(result.measured);
    result.epsilonK = transform.epsilonK(result.epsilonR);
    if (!(result.epsilonR > 0.0)) {
        result.reason = ExafsFit::tr("the noise of the measured curve cannot be estimated (no "
                                     "signal between 15 and 30 A)");
        return result;
    }
    Problem problem{&transform, &model, QVector<double>(transform.rows()), result.epsilonR,
                    transform.last() - transform.first()};
    transform.apply(result.measured.constData(), problem.data.data());
    for (double &v : problem.data)
        v /= result.epsilonR;
    model.setPoints(result.k.constData() + transform.first(), problem.points);

    LevenbergMarquardt::Outcome best;
    if (!bestOfStarts(problem, best)) {
        result.reason = ExafsFit::tr("the model could not be evaluated (no finite residual)");
        return result;
    }
    result.nData = problem.data.size();
    result.valid = true;
    describe(problem, best, result);
    result.fitted.resize(result.k.size());
    model.chi(result.k.constData(), result.k.size(), best.x.constData(), result.fitted.data());
    return result;
}

} // namespace

QString ExafsFit::refusal(const MeasuredCurve &data, const FitSettings &settings)
{
    const QString file = QDir::toNativeSeparators(data.path);
    if (data.k.isEmpty())
        return tr("%1 holds no chi(k) points").arg(file);
    if (data.k.last() > MeasuredChi::largestK)
        return tr("%1 looks like mu(E), not chi(k): its first column runs to %2, far past any k "
                  "in 1/A")
            .arg(file)
            .arg(data.k.last());
    const bool inside = std::any_of(data.k.cbegin(), data.k.cend(), [&](double k) {
        return k >= settings.kMin && k <= settings.kMax;
    });
    if (!inside)
        return tr("%1 has no point between K_MIN %2 and K_MAX %3 1/A, so it cannot be fitted")
            .arg(file)
            .arg(settings.kMin)
            .arg(settings.kMax);
    return QString();
}

FitResult ExafsFit::fitJob(const QString &jobDir, const MeasuredCurve &data,
                           const FitSettings &settings)
{
    return fitGroup({{jobDir, 1.0}}, data, settings);
}

FitResult ExafsFit::fitGroup(const QVector<QPair<QString, double>> &sites,
                             const MeasuredCurve &data, const FitSettings &settings)
{
    PathModel model;
    QString reason;
    if (!model.load(sites, settings, &reason)) {
        FitResult result;
        result.reason = reason;
        return result;
    }
    FitResult result = fitModel(model, data, settings);
    result.hasPaths = true;
    return result;
}
