#ifndef FITRESULT_H
#define FITRESULT_H

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtNumeric>

// One fitted parameter: its best value, its one-sigma uncertainty (NaN when
// the fit could not give one) and whether it ended on a bound.
struct FitParameter
{
    double value = qQNaN();
    double error = qQNaN();
    bool atBound = false;
};

// Correlation of two fitted parameters, named as in FitResult.
struct FitCorrelation
{
    QString first;
    QString second;
    double value = qQNaN();
};

// The outcome of one fit of a job (or a site group) to a measured chi(k):
// a plain value that the report file, the batch table and the windows read.
// Written once by ExafsFit, then only copied, so it may cross threads.
struct FitResult
{
    bool valid = false; // false: no fit could be made; reason says why
    QString reason;
    bool hasPaths = false; // the folders held FEFF path files to fit

    double rFactor = qQNaN();     // sum resid^2 / sum data^2 in the fit's R range
    double chi2 = qQNaN();        // chi-square, scaled to the independent points
    double chi2Reduced = qQNaN(); // chi2 / (nIdp - nVar); NaN when nIdp <= nVar
    double nIdp = qQNaN();        // 1 + 2 dk dR / pi
    double epsilonR = qQNaN();    // noise of |chi(R)| estimated from 15-30 A
    double epsilonK = qQNaN();    // the same in k, as the reference estimates it
    int nVar = 5;
    int nData = 0; // residual points (real and imaginary parts)
    bool converged = false;

    FitParameter s02;
    FitParameter de0;       // eV
    FitParameter alpha;     // dR = alpha * reff
    FitParameter ss1;       // A^2, first-shell single scattering
    FitParameter ss2;       // A^2, every other path
    double reff1 = qQNaN(); // shortest path's half length, A
    FitParameter r1;        // reff1 + dR of it, A (error from alpha's)

    // "s02-at-bound", "de0-at-bound", ..., "s02-unphysical", "nvar-ge-nidp",
    // "not-converged"
    QStringList flags;
    QVector<int> paths;                   // FEFF path numbers used
    QVector<FitCorrelation> correlations; // |value| > 0.5, largest first

    // What fit.dat holds: the 0.05 grid from 0 to the last measured point,
    // the measured chi interpolated there and the model with the best values.
    QVector<double> k;
    QVector<double> measured;
    QVector<double> fitted;

    QString flagText() const { return flags.isEmpty() ? QStringLiteral("-") : flags.join(','); }
};

#endif
