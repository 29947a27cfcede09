#include "chi/measuredchi.h"

#include "app/textfuncs.h"
#include "chi/chi.h"
#include "chi/linereader.h"
#include "chi/standardtransform.h"

#include <QRegularExpression>

#include <cmath>

namespace {

const QRegularExpression &blanks()
{
    static const QRegularExpression re(QStringLiteral("\\s+"));
    return re;
}

// The point of a data line: its first two fields as finite numbers.
bool pointOf(const QString &line, double &k, double &chi)
{
    const QVector<QStringRef> fields = line.splitRef(blanks(), Qt::SkipEmptyParts);
    if (fields.size() < 2)
        return false;
    bool kOk = false;
    bool chiOk = false;
    k = fields[0].toDouble(&kOk);
    chi = fields[1].toDouble(&chiOk);
    return kOk && chiOk && std::isfinite(k) && std::isfinite(chi);
}

// A comment line's text after its leading "#" characters.
QString commentText(const QString &line)
{
    int start = 0;
    while (start < line.size() && line.at(start) == QLatin1Char('#'))
        ++start;
    return line.mid(start);
}

} // namespace

int MeasuredChi::columnWeight(const QString &columnLine)
{
    const QStringList names = columnLine.split(blanks(), Qt::SkipEmptyParts);
    if (names.size() < 2)
        return 0;
    const QString second = names[1].toLower();
    if (second == QLatin1String("chik"))
        return 1;
    if (second == QLatin1String("chik2"))
        return 2;
    if (second == QLatin1String("chik3"))
        return 3;
    return 0;
}

QString MeasuredChi::read(const QString &path, Chi &chi)
{
    chi.reset();
    LineReader in(path, LineReader::maxChiBytes);
    const QString problem = in.open();
    if (!problem.isEmpty())
        return tr("::Can not read measured chi(k) file : %1 : %2").arg(path, problem);
    QString lastComment;
    bool inData = false;
    int weight = 0;
    QString line;
    while (in.next(line)) {
        const QString text = line.trimmed();
        if (text.startsWith(QLatin1Char('#'))) {
            if (!inData)
                lastComment = text;
            continue;
        }
        double k = 0.0;
        double value = 0.0;
        if (!pointOf(text, k, value))
            continue;
        if (!inData) {
            inData = true;
            weight = columnWeight(commentText(lastComment));
        }
        if (weight > 0) {
            if (k == 0.0)
                continue;
            value /= StandardTransform::kPower(k, weight);
        }
        chi.k.append(k);
        chi.chi.append(value);
        Chi::updateExtent(k, chi.kExtent.min, chi.kExtent.max);
        Chi::updateExtent(value, chi.chiExtent.min, chi.chiExtent.max);
    }
    if (chi.k.isEmpty()) {
        chi.reset();
        return tr("::Can not use measured chi(k) file %1 : it holds no points of k and chi(k)")
            .arg(path);
    }
    if (chi.kExtent.max > largestK) {
        const double last = chi.kExtent.max;
        chi.reset();
        return tr("::Can not use measured chi(k) file %1 : its first column runs to %2, energies "
                  "of mu(E), not k in 1/A")
            .arg(path)
            .arg(last);
    }
    chi.sourcePath = path;
    chi.hasChiK = true;
    return QString();
}

QString MeasuredChi::read(const QString &path, Chi &chi, double kMin, double kMax)
{
    const QString problem = read(path, chi);
    if (!problem.isEmpty())
        return problem;
    QString why;
    int inRange = 0;
    bool allZero = true;
    for (int i = 0; i < chi.k.size() && why.isEmpty(); ++i) {
        if (i > 0 && !(chi.k[i] > chi.k[i - 1]))
            why = tr("k does not increase at its point %1 (k = %2)").arg(i + 1).arg(chi.k[i]);
        else if (std::fabs(chi.chi[i]) > Chi::maxChi)
            why = tr("chi(k) = %1 at k = %2 is no measured value").arg(chi.chi[i]).arg(chi.k[i]);
        allZero = allZero && chi.chi[i] == 0.0;
        if (chi.k[i] >= kMin && chi.k[i] <= kMax)
            ++inRange;
    }
    if (why.isEmpty() && allZero)
        why = tr("chi(k) is zero everywhere");
    if (why.isEmpty() && inRange < Chi::minPoints)
        why = tr("%1 points lie in the k range from %2 to %3, fewer than %4")
                  .arg(inRange)
                  .arg(kMin)
                  .arg(kMax)
                  .arg(Chi::minPoints);
    if (why.isEmpty())
        return QString();
    chi.reset();
    return tr("::Can not use measured chi(k) file %1 : %2").arg(path, why);
}
