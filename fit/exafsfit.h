#ifndef EXAFSFIT_H
#define EXAFSFIT_H

#include "fit/fitresult.h"
#include "fit/fitsettings.h"

#include <QCoreApplication>
#include <QPair>
#include <QString>
#include <QVector>

// Fits the FEFF paths of a job folder to a measured chi(k) with five
// parameters (S0^2, dE0, alpha, sigma^2 of the first shell and of the rest).
// Pure functions: no shared state, safe to call from several threads.
class ExafsFit
{
    Q_DECLARE_TR_FUNCTIONS(ExafsFit)
public:
    // One job: the paths of jobDir's files.dat.
    static FitResult fitJob(const QString &jobDir, const MeasuredCurve &data,
                            const FitSettings &settings);
    // A site group: every site's paths, each site's S0^2 share its weight
    // over the sum of the weights.
    static FitResult fitGroup(const QVector<QPair<QString, double>> &sites,
                              const MeasuredCurve &data, const FitSettings &settings);

    // Why a measured curve cannot be fitted (mu(E) instead of chi(k), no
    // point in K_MIN..K_MAX), one message naming the file; empty when it can.
    static QString refusal(const MeasuredCurve &data, const FitSettings &settings);
};

#endif
