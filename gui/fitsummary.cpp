#include "gui/fitsummary.h"

#include "app/textfuncs.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

QString FitSummary::valueWithError(double value, double error)
{
    if (!std::isfinite(value))
        return tableNumber(value);
    if (!std::isfinite(error) || error <= 0)
        return tableNumber(value);
    // Two significant digits of the uncertainty; at most 8 decimals, so a
    // vanishing uncertainty does not print a row of zeros.
    const int decimals = std::clamp(1 - int(std::floor(std::log10(error))), 0, 8);
    return QStringLiteral("%1 ± %2").arg(QString::number(value, 'f', decimals),
                                         QString::number(error, 'f', decimals));
}

QString FitSummary::flagsText(const FitResult &result)
{
    if (!result.valid)
        return tr("no fit: %1").arg(result.reason);
    return result.flagText();
}

QString FitSummary::panelText(const FitResult &result, const QString &curveName)
{
    if (!result.valid)
        return tr("No fit against %1: %2").arg(curveName, result.reason);
    QStringList lines;
    lines << tr("Fit against %1: R-factor %2, reduced chi-square %3")
                 .arg(curveName, tableNumber(result.rFactor), tableNumber(result.chi2Reduced));
    lines << tr("S0² %1, ΔE0 %2 eV, R1 %3 Å")
                 .arg(valueWithError(result.s02), valueWithError(result.de0),
                      valueWithError(result.r1));
    lines << tr("σ²1 %1 Å², σ²2 %2 Å²").arg(valueWithError(result.ss1), valueWithError(result.ss2));
    lines << tr("Flags: %1").arg(result.flagText());
    return lines.join(QLatin1Char('\n'));
}
