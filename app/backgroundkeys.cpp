#include "app/backgroundkeys.h"

#include "app/paramtable.h"
#include "data/measureddata.h"

#include <cmath>

namespace {

constexpr double largestRbkg = 10.0;
constexpr double largestWeight = 3.0;
constexpr double largestEnergy = 200000.0; // eV, above every absorption edge

// The key's value, trimmed; empty when the key is missing or has none.
QString valueOf(const ParamTable &params, const char *key)
{
    return params.value(QString::fromLatin1(key), QString()).trimmed();
}

// value from text when it is a number in [low, high]; false otherwise.
bool numberIn(const QString &text, double low, double high, bool lowIncluded, double &value)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number > high ||
        (lowIncluded ? number < low : number <= low))
        return false;
    value = number;
    return true;
}

} // namespace

QStringList BackgroundKeys::read(const ParamTable &params, BackgroundParams &background)
{
    QStringList problems;
    background = MeasuredData::defaults();

    const QString rbkg = valueOf(params, "BKG_RBKG");
    if (!rbkg.isEmpty() && !numberIn(rbkg, 0.0, largestRbkg, false, background.rbkg))
        problems << tr("BKG_RBKG %1 is not a distance above 0 and up to %2 A: %3 is used")
                        .arg(rbkg)
                        .arg(largestRbkg)
                        .arg(background.rbkg);

    const QString weight = valueOf(params, "BKG_KWEIGHT");
    if (!weight.isEmpty() && !numberIn(weight, 0.0, largestWeight, true, background.kweight))
        problems << tr("BKG_KWEIGHT %1 is not a k weight from 0 to 3: %2 is used")
                        .arg(weight)
                        .arg(background.kweight);

    const QString e0 = valueOf(params, "BKG_E0");
    if (!e0.isEmpty() && !numberIn(e0, 0.0, largestEnergy, false, background.e0))
        problems
            << tr("BKG_E0 %1 is not an energy in eV: the edge of each spectrum is found").arg(e0);
    return problems;
}
