#include "app/analysiskeys.h"

#include "app/paramtable.h"

#include <cmath>
#include <utility>

namespace {

// Far beyond any EXAFS k or R, small enough that sums stay finite.
constexpr double largestValue = 1e6;
// A window sill wider than any k range is no window.
constexpr double maxSill = 10.0;

QString keyName(const char *key)
{
    return QString::fromLatin1(key);
}

// Any-case lookup that tells a missing key from one given without a value.
bool given(const ParamTable &params, const QString &name)
{
    return params.value(name, QStringLiteral("a")) != QLatin1String("a") ||
           params.value(name, QStringLiteral("b")) != QLatin1String("b");
}

} // namespace

QStringList AnalysisKeys::read(const ParamTable &params, FtOptions &ft, FitOptions &fit)
{
    QStringList problems;
    ft = FtOptions();
    fit = FitOptions();

    const QString mode = params.value(keyName("FT_MODE"), QStringLiteral("plain")).trimmed();
    if (mode.compare(QLatin1String("standard"), Qt::CaseInsensitive) == 0)
        ft.standard = true;
    else if (mode.compare(QLatin1String("plain"), Qt::CaseInsensitive) != 0)
        problems << tr("FT_MODE %1 is neither plain nor standard: plain is used").arg(mode);

    readWeight(params, "FT_KWEIGHT", ft.kWeight, problems);
    double dk = ft.dk;
    if (readNumber(params, "FT_DK", dk, problems)) {
        if (dk >= 0.0 && dk <= maxSill)
            ft.dk = dk;
        else
            problems << tr("FT_DK %1 is not a window sill from 0 to 10: %2 is used")
                            .arg(params.value(keyName("FT_DK"), QString()))
                            .arg(ft.dk);
    }

    readWeight(params, "FIT_KWEIGHT", fit.kWeight, problems);
    double rMin = fit.rMin;
    double rMax = fit.rMax;
    const bool minRead = readNumber(params, "FIT_RMIN", rMin, problems);
    const bool maxRead = readNumber(params, "FIT_RMAX", rMax, problems);
    if (minRead && maxRead) {
        if (rMin >= 0.0 && rMin < rMax && rMax <= largestKR) {
            fit.rMin = rMin;
            fit.rMax = rMax;
        } else {
            problems
                << tr("FIT_RMIN %1 and FIT_RMAX %2 are no range from 0 to 30: %3 to %4 is used")
                       .arg(rMin)
                       .arg(rMax)
                       .arg(fit.rMin)
                       .arg(fit.rMax);
        }
    }
    readPathChoice(params, fit, problems);
    return problems;
}

// FIT_PATH_RMAX above 0, FIT_PATHS a whole number from 1 up.
void AnalysisKeys::readPathChoice(const ParamTable &params, FitOptions &fit, QStringList &problems)
{
    double rMax = fit.pathRMax;
    if (readNumber(params, "FIT_PATH_RMAX", rMax, problems)) {
        if (rMax > 0.0)
            fit.pathRMax = rMax;
        else
            problems << tr("FIT_PATH_RMAX %1 is not a distance above 0: %2 is used")
                            .arg(rMax)
                            .arg(fit.pathRMax);
    }
    const QString name = keyName("FIT_PATHS");
    if (!given(params, name))
        return;
    const QString text = params.value(name, QString()).trimmed();
    bool ok = false;
    const int count = text.toInt(&ok, 10);
    if (ok && count >= 1)
        fit.maxPaths = count;
    else
        problems << tr("FIT_PATHS %1 is not a number of paths from 1 up: %2 is used")
                        .arg(text)
                        .arg(fit.maxPaths);
}

// False, and weight unchanged, for a value that is not one of 0, 1, 2, 3; a
// missing key keeps weight and counts as read.
bool AnalysisKeys::readWeight(const ParamTable &params, const char *key, int &weight,
                              QStringList &problems)
{
    const QString name = keyName(key);
    if (!given(params, name))
        return true;
    const QString text = params.value(name, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok && value >= 0 && value <= 3) {
        weight = value;
        return true;
    }
    problems << tr("%1 %2 is not a k weight 0, 1, 2 or 3: %3 is used").arg(name, text).arg(weight);
    return false;
}

// False for a value that is no finite number of moderate size; value is then
// unchanged. A missing key keeps value and counts as read.
bool AnalysisKeys::readNumber(const ParamTable &params, const char *key, double &value,
                              QStringList &problems)
{
    const QString name = keyName(key);
    if (!given(params, name))
        return true;
    const QString text = params.value(name, QString()).trimmed();
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok && std::isfinite(number) && std::fabs(number) <= largestValue) {
        value = number;
        return true;
    }
    if (ok && std::isfinite(number))
        problems << tr("%1 %2 is beyond ±%3: %4 is used")
                        .arg(name, text)
                        .arg(largestValue, 0, 'f', 0)
                        .arg(value);
    else
        problems << tr("%1 %2 is not a number: %3 is used").arg(name, text).arg(value);
    return false;
}

QStringList AnalysisKeys::readGrid(const ParamTable &params, TransformArgs &args)
{
    QStringList problems;
    const TransformArgs defaults{3.0, 20.0, 0.0, 8.0, 0.01, args.ft};
    args = defaults;
    readRange(params, "K_MIN", "K_MAX", args.kMin, args.kMax, problems);
    readRange(params, "R_MIN", "R_MAX", args.rMin, args.rMax, problems);
    double step = args.rDelta;
    if (readNumber(params, "R_DELTA", step, problems)) {
        if (step > 0.0 && step <= 1.0)
            args.rDelta = step;
        else
            problems << tr("R_DELTA %1 is not a step above 0 and at most 1: %2 is used")
                            .arg(params.value(keyName("R_DELTA"), QString()).trimmed())
                            .arg(args.rDelta);
    }
    return problems;
}

// Both ends from 0 to largestKR, min below max; a bad end is reported and
// gets its default, and a pair in the wrong order gets both defaults.
void AnalysisKeys::readRange(const ParamTable &params, const char *minKey, const char *maxKey,
                             double &min, double &max, QStringList &problems)
{
    const double defaultMin = min;
    const double defaultMax = max;
    for (const auto &end : {std::make_pair(minKey, &min), std::make_pair(maxKey, &max)}) {
        double value = *end.second;
        if (!readNumber(params, end.first, value, problems))
            continue;
        if (value >= 0.0 && value <= largestKR)
            *end.second = value;
        else
            problems << tr("%1 %2 is outside 0 to 30: %3 is used")
                            .arg(keyName(end.first),
                                 params.value(keyName(end.first), QString()).trimmed())
                            .arg(*end.second);
    }
    if (min < max)
        return;
    problems << tr("%1 %2 is not below %3 %4: %5 to %6 is used")
                    .arg(keyName(minKey))
                    .arg(min)
                    .arg(keyName(maxKey))
                    .arg(max)
                    .arg(defaultMin)
                    .arg(defaultMax);
    min = defaultMin;
    max = defaultMax;
}
