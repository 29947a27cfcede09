#ifndef LEVENBERGMARQUARDT_H
#define LEVENBERGMARQUARDT_H

#include <QVector>

#include <functional>

// Thin adapter to MINPACK's Levenberg-Marquardt (lmder, user Jacobian): the
// problem gives residuals and their Jacobian, this gives back the minimum.
class LevenbergMarquardt
{
public:
    // Fills residual[0..m) at x and, when jacobian is not null, the Jacobian
    // d residual_i / d x_j column by column (jacobian[j * m + i]). Returns
    // false to stop the minimisation (for example on a non-finite value).
    using Problem = std::function<bool(const double *x, double *residual, double *jacobian)>;

    struct Outcome
    {
        QVector<double> x;
        double sumSquares = 0.0;
        int info = 0;        // MINPACK's code: 1 to 4 converged
        int evaluations = 0; // residual evaluations
        bool converged() const { return info >= 1 && info <= 4; }
    };

    // The tolerances and evaluation limit are those the reference fit gives
    // the same routine, so both stop at the same place.
    static Outcome minimise(int residuals, const QVector<double> &start, const Problem &problem,
                            double tolerance = 1e-7);
};

#endif
