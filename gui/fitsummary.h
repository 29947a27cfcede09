#ifndef FITSUMMARY_H
#define FITSUMMARY_H

#include "fit/fitresult.h"

#include <QCoreApplication>
#include <QString>

// The words and numbers in which the window shows a fit: the ranking's
// cells and the panels' tooltips.
class FitSummary
{
    Q_DECLARE_TR_FUNCTIONS(FitSummary)
public:
    // "0.912 ± 0.046": the uncertainty to two significant digits and the
    // value to the same decimal place; without a finite positive
    // uncertainty the value alone, to 6 significant digits.
    static QString valueWithError(double value, double error);
    static QString valueWithError(const FitParameter &p)
    {
        return valueWithError(p.value, p.error);
    }
    // The lines of a panel's tooltip: the fit's figures against the named
    // file, or why no fit could be made.
    static QString panelText(const FitResult &result, const QString &curveName);
    // The flags, or the reason when there is no fit.
    static QString flagsText(const FitResult &result);
};

#endif
