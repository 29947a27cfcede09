#include "chi/measuredchi.h"

#include "app/textfuncs.h"
#include "chi/chi.h"
#include "chi/standardtransform.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace {

// Far longer than any line of numbers; a file without line ends is never
// held whole.
constexpr int maxLineChars = 65536;

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

// Reads the next line, or its first maxLineChars characters and skips the
// rest. False at the end of the stream.
bool readLineHead(QTextStream &in, QString &line)
{
    if (!in.readLineInto(&line, maxLineChars))
        return false;
    if (line.size() == maxLineChars) {
        QString rest;
        while (in.readLineInto(&rest, maxLineChars) && rest.size() == maxLineChars) {
        }
    }
    return true;
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
    if (names.size() < 2 || names[0].compare(QLatin1String("k"), Qt::CaseInsensitive) != 0)
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return tr("::Can not read measured chi(k) file : %1").arg(path);
    QTextStream in(&file);
    useFileCodec(in);
    QString lastComment;
    bool inData = false;
    int weight = 0;
    QString line;
    while (readLineHead(in, line)) {
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
