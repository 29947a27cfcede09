#ifndef AGREEMENT_H
#define AGREEMENT_H

#include "chi/ftoptions.h"

#include <QVector>

class Chi;

// How well a job's chi(k) agrees with a measured one, each figure with the
// amplitude scale s that minimises it. A figure that cannot be formed (no
// common points, a curve of zeros) is NaN, its scale too.
struct AgreementFigures
{
    double rK;     // sum (d - s t)^2 / sum d^2 over the measured k points
    double scaleK; // sum d t / sum t^2
    int pointsK = 0;
    double rR;     // sum |D - s T|^2 / sum |D|^2 over the R points
    double scaleR; // sum Re(D conj T) / sum |T|^2
    int pointsR = 0;

    AgreementFigures();
    bool hasK() const;
    bool hasR() const;
};

class Agreement
{
public:
    // In k: d_i = k_i^m chi_measured(k_i), t_i = k_i^m chi_job(k_i) over the
    // measured points with kMin <= k_i <= kMax that lie inside the job's k
    // range, the job's curve interpolated linearly; m = fit.kWeight.
    // In R: both curves made by the standard transform with weight
    // fit.kWeight and the window of args (whatever args says about the
    // mode), compared at the grid points with fit.rMin <= R <= fit.rMax.
    static AgreementFigures compute(const Chi &measured, const Chi &job, const TransformArgs &args,
                                    const FitOptions &fit);

    static void inK(const Chi &measured, const Chi &job, double kMin, double kMax, int kWeight,
                    AgreementFigures &figures);
    static void inR(const Chi &measured, const Chi &job, const TransformArgs &args,
                    const FitOptions &fit, AgreementFigures &figures);

    // The job's chi linearly interpolated at x; NaN outside [k first, k last]
    // (k ascending) or next to a non-finite value.
    static double interpolate(const QVector<double> &k, const QVector<double> &chi, double x);
};

#endif
