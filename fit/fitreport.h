#ifndef FITREPORT_H
#define FITREPORT_H

#include "fit/fitresult.h"
#include "fit/fitsettings.h"

#include <QCoreApplication>
#include <QString>

// The files a fit leaves in its job (or group) folder: "fit.txt", the report
// (statistics, parameters with uncertainties, R1, correlations, flags, paths;
// or the reason no fit was made) and "fit.dat" (k, measured chi, fitted chi
// on the fit's 0.05 grid; only for a valid fit).
class FitReport
{
    Q_DECLARE_TR_FUNCTIONS(FitReport)
public:
    static QString text(const FitResult &result, const FitSettings &settings,
                        const QString &dataPath);
    static QByteArray curves(const FitResult &result);
    // Writes both files into dir (a stale fit.dat is removed when there is no
    // fit). Returns an empty text or the message naming the file that could
    // not be written and the system's reason.
    static QString write(const QString &dir, const FitResult &result, const FitSettings &settings,
                         const QString &dataPath);
};

#endif
