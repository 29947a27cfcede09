#include "fit/levenbergmarquardt.h"

#include <cminpack-1/cminpack.h>

#include <cmath>

namespace {

struct Call
{
    const LevenbergMarquardt::Problem *problem;
    int residuals;
};

int evaluate(void *p, int m, int, const double *x, double *fvec, double *fjac, int ldfjac,
             int iflag)
{
    const Call *call = static_cast<const Call *>(p);
    if (iflag == 0)
        return 0; // a progress report; nprint is 0, so it does not come
    bool ok;
    if (iflag == 1) {
        ok = (*call->problem)(x, fvec, nullptr);
    } else {
        // ldfjac is m here; the problem fills column-major m x n.
        Q_UNUSED(ldfjac)
        QVector<double> scratch(m);
        ok = (*call->problem)(x, scratch.data(), fjac);
    }
    return ok ? 0 : -1;
}

} // namespace

LevenbergMarquardt::Outcome LevenbergMarquardt::minimise(int residuals,
                                                         const QVector<double> &start,
                                                         const Problem &problem, double tolerance)
{
    Outcome out;
    out.x = start;
    const int n = start.size();
    const int m = residuals;
    if (n == 0 || m < n)
        return out;
    QVector<double> fvec(m), fjac(m * n), diag(n), qtf(n), wa1(n), wa2(n), wa3(n), wa4(m);
    QVector<int> ipvt(n);
    int nfev = 0, njev = 0;
    Call call{&problem, m};
    out.info = lmder(evaluate, &call, m, n, out.x.data(), fvec.data(), fjac.data(), m, tolerance,
                     tolerance, tolerance, 2000 * (n + 1), diag.data(), 1, 100.0, 0, &nfev, &njev,
                     ipvt.data(), qtf.data(), wa1.data(), wa2.data(), wa3.data(), wa4.data());
    out.evaluations = nfev;
    double sum = 0.0;
    for (double r : fvec)
        sum += r * r;
    out.sumSquares = sum;
    return out;
}
