#include "chi/chi.h"

#include "app/textfuncs.h"
#include "chi/fouriersum.h"
#include "chi/linereader.h"
#include "chi/resultfile.h"
#include "chi/standardtransform.h"

#include <QDebug>
#include <QFileInfo>
#include <QStringRef>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The first three white-space separated fields of a line, all the reader
// looks at; count stops at three.
struct Fields
{
    int count = 0;
    QStringRef field[3];
};

Fields leadingFields(const QString &line)
{
    Fields fields;
    const int size = line.size();
    int pos = 0;
    while (fields.count < 3) {
        while (pos < size && line.at(pos).isSpace())
            ++pos;
        if (pos == size)
            break;
        const int start = pos;
        while (pos < size && !line.at(pos).isSpace())
            ++pos;
        fields.field[fields.count++] = line.midRef(start, pos - start);
    }
    return fields;
}

// "k chi ..." or "# k chi ...", case-sensitive.
bool isHeader(const Fields &fields)
{
    const QStringRef *f = fields.field;
    if (fields.count >= 2 && f[0] == QLatin1String("k") && f[1] == QLatin1String("chi"))
        return true;
    return fields.count >= 3 && f[0] == QLatin1String("#") && f[1] == QLatin1String("k") &&
           f[2] == QLatin1String("chi");
}

// C-locale number; anything else, also a value beyond the double range, is 0.0.
double fieldValue(const QStringRef &field)
{
    bool ok = false;
    const double value = field.toDouble(&ok);
    return ok ? value : 0.0;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

Chi::Chi(QObject *parent) : QObject(parent)
{
    reset();
}

void Chi::reset()
{
    sourcePath.clear();
    clearChiK();
    clearChiR();
}

void Chi::clearChiK()
{
    hasChiK = false;
    k.clear();
    chi.clear();
    kExtent = Extent();
    chiExtent = Extent();
}

void Chi::clearChiR()
{
    hasChiR = false;
    r.clear();
    chiRAbs.clear();
    chiRRe.clear();
    chiRIm.clear();
    rExtent = Extent();
    chiRAbsExtent = Extent();
}

void Chi::readChiK(const QString &path)
{
    clearChiK();
    clearChiR();
    // A line is judged by its first characters, and a file without line ends
    // is never held whole.
    LineReader in(path, LineReader::maxChiBytes);
    const QString problem = in.open();
    if (!problem.isEmpty()) {
        if (QFileInfo::exists(path))
            emit log(tr("::Can not read chi(k) file : %1 : %2").arg(path, problem));
        else
            emit log(tr("::Can not read chi(k) file : %1").arg(path));
        return;
    }
    sourcePath = path;
    // Header mode until a "k chi" line; from the next line on every line of
    // two or more fields is a point, whatever it looks like.
    bool inData = false;
    QString line;
    while (in.next(line)) {
        const Fields fields = leadingFields(line);
        if (fields.count < 2)
            continue;
        if (inData)
            appendPoint(fieldValue(fields.field[0]), fieldValue(fields.field[1]));
        else
            inData = isHeader(fields);
    }
    if (k.isEmpty()) {
        clearChiK();
        clearChiR();
        return;
    }
    // Appending left room for more points; a window keeps hundreds of these.
    k.squeeze();
    chi.squeeze();
    hasChiK = true;
}

QString Chi::unusableReason(double kMin, double kMax) const
{
    int inRange = 0;
    for (int i = 0; i < k.size(); ++i) {
        if (!std::isfinite(k[i]) || !std::isfinite(chi[i]))
            return QStringLiteral("the value at line %1 of its data is not a finite number")
                .arg(i + 1);
        if (std::fabs(chi[i]) > maxChi)
            return QStringLiteral("chi(k) = %1 at line %2 of its data is no chi(k) value")
                .arg(numberText(chi[i]))
                .arg(i + 1);
        if (k[i] >= kMin && k[i] <= kMax)
            ++inRange;
    }
    if (hasChiK && inRange < minPoints)
        return QStringLiteral("%1 points lie in the k range from %2 to %3, fewer than %4")
            .arg(inRange)
            .arg(numberText(kMin), numberText(kMax))
            .arg(minPoints);
    return QString();
}

void Chi::setChiK(const QVector<double> &kValues, const QVector<double> &chiValues,
                  const QString &path)
{
    clearChiK();
    clearChiR();
    sourcePath = path;
    const int n = std::min(kValues.size(), chiValues.size());
    for (int i = 0; i < n; ++i)
        appendPoint(kValues[i], chiValues[i]);
    hasChiK = n > 0;
}

void Chi::appendPoint(double kValue, double chiValue)
{
    k.append(kValue);
    chi.append(chiValue);
    updateExtent(kValue, kExtent.min, kExtent.max);
    updateExtent(chiValue, chiExtent.min, chiExtent.max);
}

void Chi::transform(double kMin, double kMax, double rMin, double rMax, double rDelta)
{
    transform(TransformArgs{kMin, kMax, rMin, rMax, rDelta, FtOptions()});
}

void Chi::transform(const TransformArgs &args)
{
    if (!hasChiK)
        return;
    clearChiR();
    static quint64 transforms = 0;
    generation = ++transforms;
    transformed = args;
    if (usableSettings(args.kMin, args.kMax, args.rMin, args.rMax, args.rDelta) &&
        args.rMax >= args.rMin && buildGrid(args.rMin, args.rMax, args.rDelta))
        sumGrid(args);
    hasChiR = true;
}

// The settings arrive unchecked from the configuration. Infinite k bounds
// are fine (no bound); NaN bounds, non-finite R bounds and a step that would
// never reach rMax are refused with a message naming the setting.
bool Chi::usableSettings(double kMin, double kMax, double rMin, double rMax, double rDelta)
{
    const struct
    {
        const char *name;
        double value;
        bool usable;
    } checks[] = {
        {"K_MIN", kMin, !std::isnan(kMin)},
        {"K_MAX", kMax, !std::isnan(kMax)},
        {"R_MIN", rMin, std::isfinite(rMin)},
        {"R_MAX", rMax, std::isfinite(rMax)},
        // The step only matters when there is a grid to walk.
        {"R_DELTA", rDelta, !(rMax >= rMin) || (rDelta > 0.0 && std::isfinite(rDelta))},
    };
    for (const auto &check : checks) {
        if (!check.usable) {
            emit log(tr("::Can not transform %1 : %2 = %3 is not usable")
                         .arg(sourcePath, QLatin1String(check.name), numberText(check.value)));
            return false;
        }
    }
    return true;
}

// R = rMin, then R = R + rDelta while rMax >= R: the running sum, not
// rMin + n * rDelta, so the last point of 0 to 8 by 0.01 is 7.999999999999874.
bool Chi::buildGrid(double rMin, double rMax, double rDelta)
{
    const double estimate = (rMax - rMin) / rDelta;
    bool fits = estimate < maxGridPoints;
    if (fits) {
        std::vector<double> grid;
        grid.reserve(std::size_t(estimate) + 2);
        double R = rMin;
        do {
            // Also ends a walk whose step vanishes in rounding at large R.
            if (grid.size() == std::size_t(maxGridPoints)) {
                fits = false;
                break;
            }
            grid.push_back(R);
            R = R + rDelta;
        } while (rMax >= R);
        if (fits)
            r = QVector<double>(grid.begin(), grid.end());
    }
    if (!fits)
        emit log(tr("::Can not transform %1 : the R grid from %2 to %3 by %4 would have more "
                    "than %5 points")
                     .arg(sourcePath, numberText(rMin), numberText(rMax), numberText(rDelta),
                          QString::number(maxGridPoints)));
    return fits;
}

// A NaN or infinite chi (or an infinite k inside infinite bounds) would turn
// every grid point into NaN; such points are left out and counted instead.
void Chi::sumGrid(const TransformArgs &args)
{
    const bool standard = args.ft.standard;
    const double sill = standard && args.ft.dk > 0.0 ? args.ft.dk : 0.0;
    const double kMin = StandardTransform::supportMin(args.kMin, sill);
    const double kMax = StandardTransform::supportMax(args.kMax, sill);
    QVector<double> usedK(k.size());
    QVector<double> usedChi(k.size());
    int used = 0;
    int nonFinite = 0;
    for (int i = 0; i < k.size(); ++i) {
        if (!(k[i] >= kMin && k[i] <= kMax))
            continue;
        if (!std::isfinite(k[i]) || !std::isfinite(chi[i])) {
            ++nonFinite;
            continue;
        }
        usedK[used] = k[i];
        usedChi[used] = chi[i];
        ++used;
    }
    usedK.resize(used);
    usedChi.resize(used);
    if (nonFinite > 0)
        emit log(tr("::Left out %1 points of %2 whose k or chi is not a finite number")
                     .arg(QString::number(nonFinite), sourcePath));

    // The standard transform weighs the points first; its factor is applied
    // to the sums, so that the plain sums stay exactly what they were.
    const double factor =
        standard ? StandardTransform::weigh(usedK, usedChi, args.kMin, args.kMax, args.ft) : 1.0;
    fourierSums(usedK, usedChi, r, chiRRe, chiRIm);
    chiRAbs.resize(r.size());
    for (int j = 0; j < r.size(); ++j) {
        if (standard) {
            // The field's analysis programs take the forward transform with
            // exp(-2ikR): their Im is the sums' with the opposite sign.
            chiRRe[j] *= factor;
            chiRIm[j] *= -factor;
        }
        const double re = chiRRe[j];
        const double im = chiRIm[j];
        chiRAbs[j] = std::sqrt(re * re + im * im);
        updateExtent(r[j], rExtent.min, rExtent.max);
        updateExtent(chiRAbs[j], chiRAbsExtent.min, chiRAbsExtent.max);
    }
}

QString Chi::writeChiR(const QString &path, const QStringList &comments) const
{
    if (!hasChiR)
        return tr("there is no chi(R) to write");
    QString text;
    QTextStream out(&text);
    out << "# Chi(R) data file\n"
        << "#    generated by Scatterdeck\n"
        << "#    " << path << '\n';
    for (const QString &comment : comments)
        out << "# " << comment << '\n';
    out << "# ---- Data ----\n";
    const QStringList columns = {padText(QStringLiteral("# r[A]"), 10, false),
                                 padText(QStringLiteral("|chi(R)|"), 10, false),
                                 padText(QStringLiteral("Re{chi(R)}"), 10, false),
                                 padText(QStringLiteral("Im{chi(R)}"), 10, false)};
    out << columns.join(QLatin1Char('\t')) << '\n';
    for (int j = 0; j < r.size(); ++j)
        out << formatSci(r[j], 10) << '\t' << formatSci(chiRAbs[j], 10) << '\t'
            << formatSci(chiRRe[j], 10) << '\t' << formatSci(chiRIm[j], 10) << '\n';
    out.flush();
    return ResultFile::writeText(path, text);
}
