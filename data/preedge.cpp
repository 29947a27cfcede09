#include "data/preedge.h"

#include <gsl/gsl_multifit.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxNnorm = 5;

// Python's round(): halves go to the even neighbour, as nearbyint does in the
// default rounding mode.
double roundTo(double value, double step)
{
    return step * std::nearbyint(value / step);
}

double rms(const QVector<double> &x, const QVector<double> &y, int from, int to,
           const QVector<double> &line)
{
    double sum = 0.0;
    for (int i = from; i < to; ++i) {
        const double d = y[i] - PreEdge::polyval(line, x[i]);
        sum += d * d;
    }
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

} // namespace

int PreEdge::indexOf(const QVector<double> &x, double value)
{
    const auto it = std::upper_bound(x.begin(), x.end(), value);
    return it == x.begin() ? 0 : int(it - x.begin()) - 1;
}

int PreEdge::indexNearest(const QVector<double> &x, double value)
{
    int best = 0;
    for (int i = 1; i < x.size(); ++i)
        if (std::fabs(x[i] - value) < std::fabs(x[best] - value))
            best = i;
    return best;
}

double PreEdge::polyval(const QVector<double> &coefficients, double x)
{
    double sum = 0.0;
    for (int i = coefficients.size() - 1; i >= 0; --i)
        sum = sum * x + coefficients[i];
    return sum;
}

QVector<double> PreEdge::polyfit(const QVector<double> &x, const QVector<double> &y, int from,
                                 int to, int degree)
{
    const int n = to - from;
    const int terms = degree + 1;
    if (n < terms)
        return {};
    // Fitted in x - centre: energies near 10^4 eV make raw powers ill
    // conditioned. The coefficients are turned back into powers of x below.
    double centre = 0.0;
    for (int i = from; i < to; ++i)
        centre += x[i];
    centre /= n;
    gsl_matrix *design = gsl_matrix_alloc(size_t(n), size_t(terms));
    gsl_vector *values = gsl_vector_alloc(size_t(n));
    gsl_vector *c = gsl_vector_alloc(size_t(terms));
    gsl_matrix *cov = gsl_matrix_alloc(size_t(terms), size_t(terms));
    gsl_multifit_linear_workspace *work = gsl_multifit_linear_alloc(size_t(n), size_t(terms));
    for (int i = 0; i < n; ++i) {
        double power = 1.0;
        for (int j = 0; j < terms; ++j) {
            gsl_matrix_set(design, size_t(i), size_t(j), power);
            power *= x[from + i] - centre;
        }
        gsl_vector_set(values, size_t(i), y[from + i]);
    }
    double chisq = 0.0;
    gsl_multifit_linear(design, values, c, cov, &chisq, work);
    // Expand sum c_j (x - centre)^j into powers of x.
    QVector<double> out(terms, 0.0);
    for (int j = 0; j < terms; ++j) {
        double binomial = 1.0;
        for (int m = 0; m <= j; ++m) {
            out[m] += gsl_vector_get(c, size_t(j)) * binomial * std::pow(-centre, j - m);
            binomial = binomial * (j - m) / (m + 1);
        }
    }
    gsl_multifit_linear_free(work);
    gsl_matrix_free(cov);
    gsl_vector_free(c);
    gsl_vector_free(values);
    gsl_matrix_free(design);
    return out;
}

int PreEdge::findE0(const QVector<double> &energy, const QVector<double> &mu)
{
    const int n = energy.size();
    if (n < 3)
        return 0;
    // numpy.gradient of mu over numpy.gradient of energy.
    QVector<double> dmu(n);
    for (int i = 0; i < n; ++i) {
        const int lo = std::max(0, i - 1);
        const int hi = std::min(n - 1, i + 1);
        dmu[i] = (mu[hi] - mu[lo]) / (energy[hi] - energy[lo]);
        if (!std::isfinite(dmu[i]))
            dmu[i] = -1.0;
    }
    const int nmin = std::max(3, int(n * 0.05));
    if (n - nmin <= nmin)
        return 0;
    const double maxDmu = *std::max_element(dmu.begin() + nmin, dmu.end() - nmin);
    if (!(maxDmu > 0.0))
        return 0;
    auto high = [&](int i) { return i >= 0 && i < n && dmu[i] > maxDmu * 0.1; };
    int best = 0;
    double bestDmu = 0.0;
    for (int i = nmin; i <= n - nmin; ++i) {
        if (high(i) && dmu[i] > bestDmu && high(i + 1) && high(i - 1)) {
            best = i;
            bestDmu = dmu[i];
        }
    }
    return best;
}

PreEdge::Result PreEdge::compute(const QVector<double> &energy, const QVector<double> &mu,
                                 const BackgroundParams &params)
{
    Result r;
    const int n = energy.size();
    if (n < 5 || mu.size() != n) {
        r.problem = tr("too few points");
        return r;
    }
    double e0 = params.e0;
    if (std::isnan(e0) || e0 < energy[1] || e0 > energy[n - 2]) {
        const int found = findE0(energy, mu);
        if (found == 0) {
            r.problem = tr("no absorption edge found");
            return r;
        }
        e0 = energy[found];
    }
    r.e0Index = indexNearest(energy, e0);
    r.e0 = e0 = energy[r.e0Index];
    const double eMin = energy.first();
    const double eMax = energy.last();

    double pre1 = params.pre1;
    if (std::isnan(pre1))
        pre1 = r.e0Index > 20 ? roundTo(energy[1] - e0, 5.0) : roundTo(energy[1] - e0, 2.0);
    pre1 = std::max(pre1, eMin - e0);
    // pre2 and norm1 are 5 * round(x / 15), as the library has them.
    double pre2 = std::isnan(params.pre2) ? 5.0 * std::nearbyint(pre1 / 15.0) : params.pre2;
    if (pre1 > pre2)
        std::swap(pre1, pre2);
    double norm2 = std::isnan(params.norm2) ? roundTo(eMax - e0, 5.0) : params.norm2;
    if (norm2 < 0)
        norm2 = eMax - e0 - norm2;
    norm2 = std::min(norm2, eMax - e0);
    double norm1 = std::isnan(params.norm1) ? std::min(150.0, 5.0 * std::nearbyint(norm2 / 15.0))
                                            : params.norm1;
    if (norm1 > norm2)
        std::swap(norm1, norm2);
    int nnorm = params.nnorm;
    if (nnorm < 0)
        nnorm = norm2 - norm1 < 50 ? 0 : norm2 - norm1 < 350 ? 1 : 2;
    nnorm = std::clamp(nnorm, 0, maxNnorm);
    r.pre1 = pre1;
    r.pre2 = pre2;
    r.norm1 = norm1;
    r.norm2 = norm2;
    r.nnorm = nnorm;

    int p1 = indexOf(energy, pre1 + e0);
    int p2 = indexNearest(energy, pre2 + e0);
    if (p2 - p1 < 2)
        p2 = std::min(n, p1 + 2);
    const QVector<double> line = polyfit(energy, mu, p1, p2, 1);
    QVector<double> presub(n);
    for (int i = 0; i < n; ++i)
        presub[i] = mu[i] - (line.isEmpty() ? 0.0 : polyval(line, energy[i]));
    const double preScatter = line.isEmpty() ? 0.0 : rms(energy, mu, p1, p2, line);

    int q1 = indexOf(energy, norm1 + e0);
    int q2 = indexNearest(energy, norm2 + e0);
    if (q2 - q1 < 2)
        q2 = std::min(n, q1 + 2);
    const QVector<double> post = polyfit(energy, presub, q1, q2, nnorm);
    if (line.isEmpty() || post.isEmpty()) {
        r.problem = tr("too few points below or above the edge at %1 eV").arg(e0);
        return r;
    }
    const double step = polyval(post, e0);
    // A rising step well above the scatter of the pre-edge points: a flat
    // or falling spectrum, or noise, has no edge to remove a background from.
    double muMin = mu.first();
    double muMax = mu.first();
    for (double v : mu) {
        muMin = std::min(muMin, v);
        muMax = std::max(muMax, v);
    }
    if (!(step > 5.0 * preScatter) || !(step > 1e-3 * (muMax - muMin))) {
        r.problem = tr("no absorption edge found (the step at %1 eV is %2)").arg(e0).arg(step);
        return r;
    }
    r.edgeStep = step;
    return r;
}
