#include "fit/feffpath.h"

#include "chi/linereader.h"
#include "tools/atoms/element.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// A real path file has some hundred lines of 80 characters; anything much
// larger is not one and is not read whole.
constexpr qint64 maxFileBytes = 4 * 1024 * 1024;
// Shifted energies closer to zero than this (eV·ETOK) are moved to it, as the
// reference library does, so that 1/q stays finite.
constexpr double smallEnergy = 1e-6;

// q = sign(e)·√|e| with e = k² − shift, the wave number the path sees after
// the energy shift (shift = ΔE0·ETOK).
inline double shiftedWaveNumber(double k, double shift)
{
    double e = k * k - shift;
    if (std::fabs(e) < smallEnergy)
        e = smallEnergy;
    return std::copysign(std::sqrt(std::fabs(e)), e);
}

// Leg atoms FEFF writes without a label are named by their atomic number.
QString symbolOf(int z)
{
    return QString::fromLatin1(Element::symbol(z));
}

QString elementOfLabel(const QString &label)
{
    static const QRegularExpression symbol(QStringLiteral("^([A-Za-z])([a-z]?)"));
    const QRegularExpressionMatch m = symbol.match(label);
    return m.hasMatch() ? m.captured(1).toUpper() + m.captured(2) : QString();
}

// FEFF 6L pads some header lines with NUL bytes; they end up as blanks here.
QList<QByteArray> textLines(QByteArray text)
{
    text.replace('\0', ' ');
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool toDoubles(const QList<QByteArray> &words, int count, double *out)
{
    if (words.size() < count)
        return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        out[i] = words[i].toDouble(&ok);
        if (!ok || !std::isfinite(out[i]))
            return false;
    }
    return true;
}

} // namespace

void FeffPath::clear()
{
    spline = CubicSpline();
    pathNumber = 0;
    legCount = 0;
    degen = 0.0;
    rEff = 0.0;
    atoms.clear();
}

bool FeffPath::read(const QString &fileName, QString *error)
{
    QFile file(fileName);
    QString problem;
    bool ok = false;
    // A FIFO would block the open, a device never end.
    const QString unreadable = fileReadProblem(fileName, maxFileBytes);
    if (!unreadable.isEmpty())
        problem = unreadable;
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > maxFileBytes)
        problem = tr("larger than any FEFF path file");
    else
        ok = parse(file.readAll(), &problem);
    if (!ok) {
        clear();
        if (error)
            *error = tr("Can not read the path file %1: %2")
                         .arg(QDir::toNativeSeparators(fileName), problem);
        return false;
    }
    static const QRegularExpression name(QStringLiteral("^feff(\\d{1,6})\\.dat$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = name.match(QFileInfo(fileName).fileName());
    if (m.hasMatch())
        pathNumber = m.captured(1).toInt();
    return true;
}

bool FeffPath::parse(const QByteArray &text, QString *error)
{
    clear();
    const QList<QByteArray> lines = textLines(text);
    int dataStart = 0;
    QString problem;
    if (parseHeader(lines, dataStart, &problem) && parseColumns(lines, dataStart, &problem))
        return true;
    clear();
    if (error)
        *error = problem;
    return false;
}

// The header: "Path N ..." (FEFF's index), a dashed line, then
//   "   2   6.000   3.6149    2.6343   -3.77757 nleg, deg, reff, rnrmav(bohr), edge"
//   "        x         y         z   pot at#"
// and one line per atom, absorber first: "x y z ipot Z [label]". The column
// line "k real[2*phc] ... real[p]@#" ends the header.
bool FeffPath::parseHeader(const QList<QByteArray> &lines, int &dataStart, QString *error)
{
    static const QRegularExpression pathLine(QStringLiteral("^\\s*Path\\s+(\\d+)"));
    bool haveGeometry = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const QRegularExpressionMatch m = pathLine.match(QString::fromLatin1(line));
        if (m.hasMatch() && pathNumber == 0)
            pathNumber = m.captured(1).toInt();
        if (line.contains("nleg, deg, reff")) {
            double v[3];
            if (!toDoubles(line.simplified().split(' '), 3, v) || v[0] < 2 || v[0] > 99 ||
                v[1] <= 0 || v[2] < 0.05) {
                *error = tr("bad path line \"%1\"").arg(QString::fromLatin1(line));
                return false;
            }
            legCount = int(v[0]);
            degen = v[1];
            rEff = v[2];
            haveGeometry = true;
            continue;
        }
        if (line.startsWith('k') && line.contains("real[p]")) {
            if (!haveGeometry)
                break;
            dataStart = i + 1;
            return true;
        }
        if (!haveGeometry)
            continue;
        // An atom line: three coordinates, then the potential and Z.
        const QList<QByteArray> words = line.simplified().split(' ');
        double xyz[3];
        bool zOk = false;
        const int z = words.value(4).toInt(&zOk);
        if (words.size() < 5 || !toDoubles(words, 3, xyz) || !zOk)
            continue;
        QString element = elementOfLabel(QString::fromLatin1(words.value(5)));
        if (element.isEmpty() || words.value(5) == "absorbing")
            element = symbolOf(z);
        atoms << element;
    }
    *error = haveGeometry ? tr("no column line \"k real[2*phc] ... real[p]\"")
                          : tr("no path geometry (nleg, deg, reff): not a FEFF path file");
    return false;
}

bool FeffPath::parseColumns(const QList<QByteArray> &lines, int dataStart, QString *error)
{
    QVector<double> k;
    QVector<QVector<double>> curves(4); // amp, pha, rep, lam
    for (int i = dataStart; i < lines.size(); ++i) {
        const QList<QByteArray> words = lines[i].simplified().split(' ');
        double v[7];
        if (words.size() != 7 || !toDoubles(words, 7, v))
            continue;
        if (!k.isEmpty() && !(v[0] > k.last())) {
            *error = tr("k does not increase at line %1").arg(i + 1);
            return false;
        }
        k << v[0];
        curves[0] << v[2] * v[4]; // mag[feff] · reduction factor
        curves[1] << v[1] + v[3]; // real[2*phc] + phase[feff]
        curves[2] << v[6];
        curves[3] << v[5];
    }
    if (!spline.build(k, curves)) {
        *error = tr("%n data line(s) of seven columns, at least 4 needed", nullptr, k.size());
        return false;
    }
    if (atoms.size() != legCount)
        atoms.clear();
    return true;
}

QVector<double> FeffPath::chi(const QVector<double> &k, const PathParameters &p) const
{
    QVector<double> out(k.size());
    chi(k.constData(), k.size(), p, out.data());
    return out;
}

// The EXAFS equation of one path with the cumulant expansion up to the third
// cumulant, as the reference library writes it:
//   chi(k) = Im{ N·S0²·amp / (q·(reff+dR)²)
//               · exp(-2·reff·Im p - 2·p²·σ²
//                     + i·(2q·reff + pha + 2p·(dR - 2σ²/reff - 2p²·C3/3))) }
// with q = sign(e)·sqrt|e|, e = k² - dE0·ETOK, the FEFF columns taken at q,
// and p² = (real[p] + i/lambda)² + i·Ei·ETOK. The complex arithmetic is
// spelt out in real parts: only one exp and one sin per point.
void FeffPath::chi(const double *k, int n, const PathParameters &p, double *out) const
{
    if (!isValid()) {
        std::fill(out, out + n, 0.0);
        return;
    }
    const double shift = p.de0 * ETOK;
    const double eiTerm = p.ei * ETOK;
    const double r = rEff + p.deltaR;
    const double scale = degen * p.s02 / (r * r);
    const double t0 = p.deltaR - 2.0 * p.sigma2 / rEff;
    const double c3 = 2.0 * p.third / 3.0;
    int hint = 0;
    for (int j = 0; j < n; ++j) {
        const double q = shiftedWaveNumber(k[j], shift);
        hint = spline.interval(q, hint);
        double v[4]; // amp, pha, rep, lam
        spline.evaluate(hint, q, v);
        // p² = (rep + i/lam)² + i·Ei·ETOK and p its principal square root;
        // without Ei that is rep + i/lam itself wherever rep > 0.
        const double im = 1.0 / v[3];
        const double ppRe = v[2] * v[2] - im * im;
        const double ppIm = 2.0 * v[2] * im + eiTerm;
        double pRe = v[2];
        double pIm = im;
        if (eiTerm != 0.0 || v[2] <= 0.0) {
            const double modulus = std::sqrt(ppRe * ppRe + ppIm * ppIm);
            pRe = std::sqrt(0.5 * (modulus + ppRe));
            pIm = std::copysign(std::sqrt(0.5 * std::max(0.0, modulus - ppRe)), ppIm);
        }
        // T = dR - 2σ²/reff - 2p²·C3/3
        const double tRe = t0 - c3 * ppRe;
        const double tIm = -c3 * ppIm;
        // The exponent's real and imaginary parts.
        const double real =
            -2.0 * rEff * pIm - 2.0 * p.sigma2 * ppRe - 2.0 * (pRe * tIm + pIm * tRe);
        const double imag =
            -2.0 * p.sigma2 * ppIm + 2.0 * q * rEff + v[1] + 2.0 * (pRe * tRe - pIm * tIm);
        out[j] = scale * v[0] / q * std::exp(real) * std::sin(imag);
    }
    // At k = 0 the equation divides by a vanishing q: the value continues
    // the line through the next two points instead.
    if (n >= 3 && k[0] == 0.0)
        out[0] = 2.0 * out[1] - out[2];
}

void FeffPath::waves(const double *k, int n, double de0, Wave *out) const
{
    const double shift = de0 * ETOK;
    int hint = 0;
    for (int j = 0; j < n; ++j) {
        const double q = shiftedWaveNumber(k[j], shift);
        hint = spline.interval(q, hint);
        double v[4], d[4]; // amp, pha, rep, lam and their slopes
        spline.evaluate(hint, q, v, d);
        const double im = 1.0 / v[3];
        const double dIm = -d[3] * im * im;
        Wave &w = out[j];
        w.ppRe = v[2] * v[2] - im * im;
        w.ppIm = 2.0 * v[2] * im;
        // |p²| without hypot's overflow guard: p² is of order 10² here.
        const double modulus = std::sqrt(w.ppRe * w.ppRe + w.ppIm * w.ppIm);
        w.pRe = std::sqrt(0.5 * (modulus + w.ppRe));
        w.pIm = std::copysign(std::sqrt(0.5 * std::max(0.0, modulus - w.ppRe)), w.ppIm);
        w.q = q;
        w.amp = v[0] / q;
        w.phase = 2.0 * q * rEff + v[1];
        w.dAmp = (d[0] - w.amp) / q;
        w.dPhase = 2.0 * rEff + d[1];
        w.dppRe = 2.0 * (v[2] * d[2] - im * dIm);
        w.dppIm = 2.0 * (d[2] * im + v[2] * dIm);
        // dp = dp² / 2p
        const double norm = 2.0 * modulus;
        w.dpRe = (w.dppRe * w.pRe + w.dppIm * w.pIm) / norm;
        w.dpIm = (w.dppIm * w.pRe - w.dppRe * w.pIm) / norm;
    }
}
