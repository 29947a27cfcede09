#ifndef STANDARDTRANSFORM_H
#define STANDARDTRANSFORM_H

#include "chi/ftoptions.h"

#include <QStringList>
#include <QVector>

// The weighting of the standard transform
//   chi(R) = (dk_mean / sqrt(pi)) * sum of w(k_i) * k_i^n * chi(k_i) * exp(-2i k_i R)
// over the points with kMin - dk/2 <= k_i <= kMax + dk/2, where w is the
// Hanning window of sill dk and dk_mean the mean spacing of those points.
// The sums themselves are fourierSums'; this class only turns chi(k) into
// their summands and tells the factor.
class StandardTransform
{
public:
    // Hanning window: sin^2 rising over kMin -+ dk/2, 1 up to kMax - dk/2,
    // cos^2 falling to kMax + dk/2, 0 outside. Where the two ramps overlap
    // (kMax - kMin < dk) the smaller one applies. dk 0: 1 from kMin to kMax.
    static double window(double k, double kMin, double kMax, double dk);
    // The k range the window covers.
    static double supportMin(double kMin, double dk) { return kMin - dk / 2; }
    static double supportMax(double kMax, double dk) { return kMax + dk / 2; }

    // k and chi hold the finite points inside the support; chi becomes
    // w(k) * k^n * chi. Returns the factor dk_mean / sqrt(pi): 0 with fewer
    // than two points, which have no spacing.
    static double weigh(const QVector<double> &k, QVector<double> &chi, double kMin, double kMax,
                        const FtOptions &ft);
    // k^n for n 0 to 3, multiplied out as the plots do.
    static double kPower(double k, int n);

    // Header lines for the chi(R) file that say how it was made; none for
    // the plain sums, whose file stays as it always was.
    static QStringList comments(const TransformArgs &args);
};

#endif
