#include "data/autobk.h"

#include "data/preedge.h"
#include "fit/ftwindow.h"

#include <gsl/gsl_bspline.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_interp.h>
#include <gsl/gsl_linalg.h>

#include <cminpack.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int nfft = 2048;
constexpr int order = 4; // cubic
constexpr int minKnots = 5;
constexpr int maxKnots = 128;
constexpr int clampPoints = 3;
constexpr double clampLow = 0.0;
constexpr double clampHigh = 1.0;
constexpr double windowSill = 0.1;

// The least-squares problem: spline coefficients in, residuals out.
struct Problem
{
    QVector<double> kraw; // k of the measured points from e0 on
    QVector<double> mu;   // mu at those points
    // The cubic B-spline basis at kraw: each point meets four basis
    // functions, from firstBasis[i] on, with the values basis[4i .. 4i+3].
    QVector<double> basis;
    QVector<int> firstBasis;
    int coefficients = 0;
    QVector<double> kout;     // the 0.05 grid
    QVector<double> window;   // k^w times the Hanning window on kout
    int rPoints = 0;          // chi(R) points below R_bkg
    QVector<double> cosTable; // rPoints x kout, of the discrete Fourier sum
    QVector<double> sinTable;
    gsl_interp *interp = nullptr;
    gsl_interp_accel *accel = nullptr;
    mutable QVector<double> difference;
    mutable QVector<double> chi;
    int evaluations = 0;

    ~Problem()
    {
        if (interp)
            gsl_interp_free(interp);
        if (accel)
            gsl_interp_accel_free(accel);
    }

    void background(const double *c, QVector<double> &bkg) const
    {
        const int n = kraw.size();
        bkg.resize(n);
        for (int i = 0; i < n; ++i) {
            const double *row = basis.constData() + size_t(i) * order;
            const double *ci = c + firstBasis[i];
            double sum = 0.0;
            for (int j = 0; j < order; ++j)
                sum += row[j] * ci[j];
            bkg[i] = sum;
        }
    }

    // chi(kout) of mu minus the background c, not yet divided by the step.
    void chiOnGrid(const double *c) const
    {
        background(c, difference);
        for (int i = 0; i < kraw.size(); ++i)
            difference[i] = mu[i] - difference[i];
        gsl_interp_init(interp, kraw.constData(), difference.constData(), size_t(kraw.size()));
        chi.resize(kout.size());
        const double lo = kraw.first();
        const double hi = kraw.last();
        for (int i = 0; i < kout.size(); ++i)
            chi[i] = gsl_interp_eval(interp, kraw.constData(), difference.constData(),
                                     std::clamp(kout[i], lo, hi), accel);
    }

    int residuals(const double *c, double *out)
    {
        ++evaluations;
        chiOnGrid(c);
        const int nk = kout.size();
        double sumSquares = 0.0;
        // (kstep/sqrt(pi)) * FFT, numpy's sign: exp(-2 pi i j r / nfft).
        const double norm = Autobk::kStep / std::sqrt(M_PI);
        for (int r = 0; r < rPoints; ++r) {
            const double *cr = cosTable.constData() + size_t(r) * size_t(nk);
            const double *sr = sinTable.constData() + size_t(r) * size_t(nk);
            double re = 0.0;
            double im = 0.0;
            for (int j = 0; j < nk; ++j) {
                const double v = chi[j] * window[j];
                re += v * cr[j];
                im -= v * sr[j];
            }
            out[2 * r] = norm * re;
            out[2 * r + 1] = norm * im;
            sumSquares += out[2 * r] * out[2 * r] + out[2 * r + 1] * out[2 * r + 1];
        }
        // The clamps keep the spline's ends on the data; their weight grows
        // with the misfit, as the reference does it.
        const double scale = 1.0 + 100.0 * sumSquares / (2 * rPoints);
        double *clamps = out + 2 * rPoints;
        for (int i = 0; i < clampPoints; ++i) {
            clamps[i] = clampLow * scale * chi[i];
            clamps[clampPoints + i] = clampHigh * scale * chi[nk - clampPoints + i];
        }
        return 0;
    }

    int residualCount() const { return 2 * rPoints + 2 * clampPoints; }
};

int residualsOf(void *p, int, int, const double *x, double *fvec, int)
{
    return static_cast<Problem *>(p)->residuals(x, fvec);
}

struct BsplineDeleter
{
    void operator()(gsl_bspline_workspace *w) const { gsl_bspline_free(w); }
};

// The four basis functions that are not zero at x: the index of the first,
// and their values. Beyond the ends the end polynomial continues, from its
// derivatives at the end knot (as FITPACK's splev extrapolates).
int basisAt(double x, double lo, double hi, gsl_bspline_workspace *w, gsl_matrix *derivs,
            double *values)
{
    const double at = std::clamp(x, lo, hi);
    const double h = x - at;
    size_t first = 0;
    size_t last = 0;
    gsl_bspline_deriv_eval_nonzero(at, order - 1, derivs, &first, &last, w);
    for (int j = 0; j < order; ++j) {
        double value = 0.0;
        double term = 1.0;
        for (int d = 0; d < order; ++d) {
            value += gsl_matrix_get(derivs, size_t(j), size_t(d)) * term;
            term *= h / (d + 1);
        }
        values[j] = value;
    }
    return int(first);
}

} // namespace

Autobk::Result Autobk::compute(const QVector<double> &energy, const QVector<double> &mu, double e0,
                               double edgeStep, double rbkg, double kweight)
{
    Result result;
    gsl_set_error_handler_off(); // every call below is checked instead
    const int e0Index = PreEdge::indexOf(energy, e0);
    Problem problem;
    for (int i = e0Index; i < energy.size(); ++i) {
        const double de = energy[i] - e0;
        problem.kraw.append(std::copysign(std::sqrt(etok * std::fabs(de)), de));
        problem.mu.append(mu[i]);
    }
    const int nraw = problem.kraw.size();
    const double kmin = 0.0;
    const double kmax = nraw > 0 ? problem.kraw.last() : 0.0;
    if (nraw < 2 * minKnots || kmax < 1.0) {
        result.problem = tr("too few points above the edge at %1 eV").arg(e0);
        return result;
    }

    const double rgrid = M_PI / (kStep * nfft);
    rbkg = std::max(rbkg, 2 * rgrid);
    const int nout = int(1.01 + kmax / kStep);
    for (int i = 0; i < nout; ++i)
        problem.kout.append(kStep * i);
    problem.window = FtWindow::hanning(problem.kout, kmin, kmax, windowSill);
    for (int i = 0; i < nout; ++i)
        problem.window[i] *= std::pow(problem.kout[i], kweight);

    // Knot count and the R points below R_bkg, in this order: the R points
    // follow the count before it is held between 5 and 128, as in the
    // reference.
    int knots = 1 + int(2 * rbkg * (kmax - kmin) / M_PI);
    problem.rPoints = int(1 + (knots - 1) * M_PI / (2 * rgrid * (kmax - kmin)));
    knots = std::clamp(knots, minKnots, maxKnots);
    problem.coefficients = knots;
    if (problem.residualCount() < knots) {
        result.problem = tr("R_bkg %1 is too small for the k range up to %2").arg(rbkg).arg(kmax);
        return result;
    }

    // Knot positions at measured points evenly spread in k, with starting
    // values averaged over the neighbours.
    QVector<double> knotK(knots);
    QVector<double> knotY(knots);
    for (int i = 0; i < knots; ++i) {
        const double q = kmin + i * (kmax - kmin) / (knots - 1);
        const int ik = PreEdge::indexNearest(problem.kraw, q);
        const int i1 = std::min(nraw - 1, ik + 5);
        const int i2 = std::max(0, ik - 5);
        knotK[i] = problem.kraw[ik];
        knotY[i] = (2 * problem.mu[ik] + problem.mu[i1] + problem.mu[i2]) / 4.0;
        if (i > 0 && knotK[i] <= knotK[i - 1]) {
            result.problem = tr("too few points above the edge for %1 spline knots").arg(knots);
            return result;
        }
    }
    result.knots = knotK;

    // The interpolating spline through the knot points has the breakpoints
    // knotK[0], knotK[2], ..., knotK[n-3], knotK[n-1] (FITPACK's knots for
    // an interpolating cubic), so exactly `knots` coefficients.
    const int breaks = knots - 2;
    std::unique_ptr<gsl_bspline_workspace, BsplineDeleter> bspline(
        gsl_bspline_alloc(order, size_t(breaks)));
    gsl_vector *breakpoints = gsl_vector_alloc(size_t(breaks));
    gsl_vector_set(breakpoints, 0, knotK.first());
    for (int i = 1; i < breaks - 1; ++i)
        gsl_vector_set(breakpoints, size_t(i), knotK[i + 1]);
    gsl_vector_set(breakpoints, size_t(breaks - 1), knotK.last());
    gsl_bspline_knots(breakpoints, bspline.get());
    gsl_vector_free(breakpoints);

    gsl_matrix *derivs = gsl_matrix_alloc(order, order);
    const double lo = knotK.first();
    const double hi = knotK.last();
    problem.basis.resize(nraw * order);
    problem.firstBasis.resize(nraw);
    for (int i = 0; i < nraw; ++i)
        problem.firstBasis[i] = basisAt(problem.kraw[i], lo, hi, bspline.get(), derivs,
                                        problem.basis.data() + size_t(i) * order);

    // Starting coefficients: the spline through (knotK, knotY).
    gsl_matrix *a = gsl_matrix_alloc(size_t(knots), size_t(knots));
    gsl_matrix_set_zero(a);
    double values[order];
    for (int i = 0; i < knots; ++i) {
        const int first = basisAt(knotK[i], lo, hi, bspline.get(), derivs, values);
        for (int j = 0; j < order; ++j)
            gsl_matrix_set(a, size_t(i), size_t(first + j), values[j]);
    }
    gsl_matrix_free(derivs);
    gsl_vector_view rhs = gsl_vector_view_array(knotY.data(), size_t(knots));
    gsl_vector *start = gsl_vector_alloc(size_t(knots));
    gsl_permutation *perm = gsl_permutation_alloc(size_t(knots));
    int sign = 0;
    const bool solved = gsl_linalg_LU_decomp(a, perm, &sign) == GSL_SUCCESS &&
                        gsl_linalg_LU_solve(a, perm, &rhs.vector, start) == GSL_SUCCESS;
    QVector<double> c(knots);
    for (int j = 0; j < knots; ++j)
        c[j] = gsl_vector_get(start, size_t(j));
    gsl_permutation_free(perm);
    gsl_vector_free(start);
    gsl_matrix_free(a);
    if (!solved) {
        result.problem = tr("the spline knots at the edge at %1 eV do not fit the data").arg(e0);
        return result;
    }

    const int nk = problem.kout.size();
    problem.cosTable.resize(problem.rPoints * nk);
    problem.sinTable.resize(problem.rPoints * nk);
    for (int r = 0; r < problem.rPoints; ++r)
        for (int j = 0; j < nk; ++j) {
            const double phase = 2 * M_PI * double((qint64(j) * r) % nfft) / nfft;
            problem.cosTable[r * nk + j] = std::cos(phase);
            problem.sinTable[r * nk + j] = std::sin(phase);
        }
    problem.interp = gsl_interp_alloc(gsl_interp_cspline, size_t(nraw));
    problem.accel = gsl_interp_accel_alloc();

    // Levenberg-Marquardt with a forward-difference Jacobian and the
    // tolerances the reference passes to MINPACK.
    const int m = problem.residualCount();
    QVector<double> fvec(m), fjac(m * knots), diag(knots), qtf(knots);
    QVector<double> wa1(knots), wa2(knots), wa3(knots), wa4(m);
    QVector<int> ipvt(knots);
    int nfev = 0;
    const int info =
        lmdif(residualsOf, &problem, m, knots, c.data(), fvec.data(), 1e-6, 1e-6, 1e-6,
              2000 * (knots + 1), 1e-6, diag.data(), 1, 100.0, 0, &nfev, fjac.data(), m,
              ipvt.data(), qtf.data(), wa1.data(), wa2.data(), wa3.data(), wa4.data());
    result.evaluations = problem.evaluations;
    if (info <= 0) {
        result.problem = tr("the background fit did not start");
        return result;
    }
    problem.chiOnGrid(c.constData());
    result.k = problem.kout;
    result.chi.resize(nk);
    for (int i = 0; i < nk; ++i)
        result.chi[i] = problem.chi[i] / edgeStep;
    return result;
}
