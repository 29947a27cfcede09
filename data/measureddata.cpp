#include "data/measureddata.h"

#include "app/textfuncs.h"
#include "chi/chi.h"
#include "chi/linereader.h"
#include "chi/measuredchi.h"
#include "chi/resultfile.h"
#include "data/athenaproject.h"
#include "data/columnfile.h"
#include "data/xdifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <limits>

namespace {

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// The spectra of a file, or false when it holds no mu(E) data (it is then
// read as chi(k)); problem is set when it is mu(E) data that cannot be used.
bool spectraOf(const QString &path, QVector<XafsSpectrum> &spectra, QString &problem)
{
    QByteArray text;
    if (!AthenaProject::readText(path, text, problem))
        return true;
    if (AthenaProject::isProject(text)) {
        problem = AthenaProject::read(text, path, spectra);
        return true;
    }
    QStringList lines;
    if (!ColumnFile::readLines(path, lines, problem))
        return true;
    XafsSpectrum spectrum;
    if (XdiFile::isXdi(lines))
        problem = XdiFile::read(lines, path, spectrum);
    else if (!ColumnFile::read(lines, path, spectrum, problem))
        return false;
    if (problem.isEmpty())
        spectra.append(spectrum);
    return true;
}

std::unique_ptr<Chi> curveOf(const QVector<double> &k, const QVector<double> &chi,
                             const QString &sourcePath)
{
    auto curve = std::make_unique<Chi>();
    for (int i = 0; i < k.size(); ++i) {
        curve->k.append(k[i]);
        curve->chi.append(chi[i]);
        Chi::updateExtent(k[i], curve->kExtent.min, curve->kExtent.max);
        Chi::updateExtent(chi[i], curve->chiExtent.min, curve->chiExtent.max);
    }
    curve->hasChiK = !k.isEmpty();
    curve->sourcePath = sourcePath;
    return curve;
}

// folder/NAME.chik, or NAME_2.chik, NAME_3.chik, ...: the first that no
// other curve of this file took and that is free for the spectrum.
QString freeChikPath(const QString &folder, const XafsSpectrum &spectrum, QSet<QString> &taken)
{
    const QDir dir(folder);
    const QString base = MeasuredData::fileNameOf(spectrum.name);
    QString name = base;
    for (int n = 2;
         taken.contains(name) ||
         !MeasuredData::chikPathFree(dir.filePath(name + QLatin1String(".chik")), spectrum);
         ++n)
        name = base + QLatin1Char('_') + QString::number(n);
    taken.insert(name);
    return dir.filePath(name + QLatin1String(".chik"));
}

} // namespace

BackgroundParams MeasuredData::defaults()
{
    BackgroundParams p;
    p.rbkg = 1.0;
    p.kweight = 1.0;
    return p;
}

QString MeasuredData::fileNameOf(const QString &name)
{
    QString out;
    for (const QChar c : name)
        out.append(c == QLatin1Char('/') || c == QLatin1Char('\\') ||
                           c.category() == QChar::Other_Control
                       ? QLatin1Char('_')
                       : c);
    out = out.trimmed();
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("spectrum");
    return out;
}

MeasuredData::Reduction MeasuredData::reduce(const XafsSpectrum &spectrum,
                                             const BackgroundParams &params)
{
    Reduction r;
    r.params = params;
    r.edge = PreEdge::compute(spectrum.energy, spectrum.mu, params);
    if (!r.edge.problem.isEmpty()) {
        r.problem = r.edge.problem;
        return r;
    }
    // A given e0 inside the data is used as it is (not moved to a point);
    // the edge step is the one at the point nearest to it.
    const bool e0Usable = !std::isnan(params.e0) && params.e0 >= spectrum.energy.first() &&
                          params.e0 <= spectrum.energy.last();
    r.e0 = e0Usable ? params.e0 : r.edge.e0;
    r.background = Autobk::compute(spectrum.energy, spectrum.mu, r.e0, r.edge.edgeStep, params.rbkg,
                                   params.kweight);
    r.problem = r.background.problem;
    return r;
}

QString MeasuredData::chikOwner(const XafsSpectrum &spectrum)
{
    QString owner = QStringLiteral("# chi(k) of measured mu(E)\n# file: %1\n")
                        .arg(QFileInfo(spectrum.source).absoluteFilePath());
    if (spectrum.name != QFileInfo(spectrum.source).completeBaseName())
        owner += QStringLiteral("# group: %1\n").arg(spectrum.name);
    return owner;
}

// Free for the spectrum's chi(k): nothing there yet, or the chi(k) of the
// same file and group from an earlier load or run. Any other file's .chik
// of the same name stays, and the curves that name it keep their data.
bool MeasuredData::chikPathFree(const QString &path, const XafsSpectrum &spectrum)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    // Compared as written: the text codec may not hold every letter of a path.
    const QByteArray owner = ResultFile::encoded(chikOwner(spectrum));
    const QByteArray head = file.read(owner.size() + 9);
    return head.startsWith(owner) && !head.mid(owner.size()).startsWith("# group: ");
}

bool MeasuredData::writeChik(const QString &path, const XafsSpectrum &spectrum,
                             const Reduction &reduction, QString &error)
{
    // Made in memory, written whole (ResultFile).
    QString text;
    QTextStream out(&text);
    out << chikOwner(spectrum);
    if (!spectrum.element.isEmpty())
        out << "# element: " << spectrum.element << ' ' << spectrum.edge << '\n';
    out << "# e0: " << number(reduction.e0, 3) << " eV\n";
    out << "# edge step: " << QString::number(reduction.edge.edgeStep, 'g', 6) << '\n';
    out << "# pre-edge: " << number(reduction.edge.pre1, 1) << ' ' << number(reduction.edge.pre2, 1)
        << " eV, normalisation: " << number(reduction.edge.norm1, 1) << ' '
        << number(reduction.edge.norm2, 1) << " eV, degree " << reduction.edge.nnorm << '\n';
    out << "# R_bkg: " << QString::number(reduction.params.rbkg) << " A\n";
    out << "# k weight: " << QString::number(reduction.params.kweight) << '\n';
    out << "# knots: " << reduction.background.knots.size() << " at k =";
    for (double k : reduction.background.knots)
        out << ' ' << number(k, 3);
    out << '\n';
    out << "#  k  chi\n";
    const Autobk::Result &b = reduction.background;
    for (int i = 0; i < b.k.size(); ++i)
        out << number(b.k[i], 3) << ' ' << QString::number(b.chi[i], 'e', 8) << '\n';
    out.flush();
    error = ResultFile::writeText(path, text);
    return error.isEmpty();
}

MeasuredData::Outcome MeasuredData::read(const QString &path, const Options &options,
                                         std::vector<std::unique_ptr<Chi>> &curves)
{
    Outcome outcome;
    // Before any reader opens it: a FIFO would block the open, a device
    // never end.
    if (QFileInfo::exists(path)) {
        const QString unreadable = fileReadProblem(path, std::numeric_limits<qint64>::max());
        if (!unreadable.isEmpty()) {
            outcome.problem = tr("Can not use measured data file %1 : %2").arg(path, unreadable);
            return outcome;
        }
    }
    QVector<XafsSpectrum> spectra;
    if (!spectraOf(path, spectra, outcome.problem)) {
        auto chi = std::make_unique<Chi>();
        outcome.problem = MeasuredChi::read(path, *chi, options.kMin, options.kMax);
        if (outcome.problem.isEmpty())
            curves.push_back(std::move(chi));
        return outcome;
    }
    if (!outcome.problem.isEmpty())
        return outcome;

    // Reduced first, written after: a refused file leaves no .chik behind.
    QVector<Reduction> reductions;
    for (const XafsSpectrum &s : qAsConst(spectra)) {
        if (s.isChi) {
            reductions.append(Reduction());
            continue;
        }
        reductions.append(reduce(s, s.params.over(options.background).over(defaults())));
        if (!reductions.last().problem.isEmpty()) {
            outcome.problem = s.name == QFileInfo(path).completeBaseName()
                                  ? tr("Can not use measured data file %1 : %2")
                                        .arg(path, reductions.last().problem)
                                  : tr("Can not use measured data file %1, group \"%2\" : %3")
                                        .arg(path, s.name, reductions.last().problem);
            return outcome;
        }
    }

    const bool writing = !options.chikFolder.isEmpty();
    const bool folderMade = writing && QDir().mkpath(options.chikFolder);
    QSet<QString> names;
    std::vector<std::unique_ptr<Chi>> made;
    for (int i = 0; i < spectra.size(); ++i) {
        const XafsSpectrum &s = spectra[i];
        if (s.isChi) {
            made.push_back(curveOf(s.k, s.chi, path + QLatin1Char(':') + s.name));
            outcome.messages << tr("%1, group \"%2\" : chi(k) as stored").arg(path, s.name);
            continue;
        }
        const Reduction &r = reductions[i];
        const QString source = spectra.size() > 1 ? path + QLatin1Char(':') + s.name : path;
        const QString found = tr("%1 : e0 %2 eV, edge step %3, %4 knots")
                                  .arg(source, number(r.e0, 2))
                                  .arg(r.edge.edgeStep, 0, 'g', 4)
                                  .arg(r.background.knots.size());
        if (!writing) {
            made.push_back(curveOf(r.background.k, r.background.chi, source));
            outcome.messages << found;
            continue;
        }
        const QString chikPath = freeChikPath(options.chikFolder, s, names);
        QString error = tr("can not make the folder %1").arg(options.chikFolder);
        const bool written = folderMade && writeChik(chikPath, s, r, error);
        made.push_back(curveOf(r.background.k, r.background.chi, written ? chikPath : source));
        if (written) {
            outcome.messages << tr("%1; chi(k) written to %2").arg(found, chikPath);
        } else {
            outcome.writeFailed = true;
            outcome.messages << tr("%1; Can not write %2 : %3").arg(found, chikPath, error);
        }
    }
    for (auto &curve : made)
        curves.push_back(std::move(curve));
    return outcome;
}
