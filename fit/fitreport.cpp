#include "fit/fitreport.h"

#include "app/textfuncs.h"
#include "chi/resultfile.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cmath>

namespace {

QString line(const char *key, const QString &value)
{
    return QStringLiteral("%1 %2\n").arg(QLatin1String(key), -14).arg(value);
}

QString parameterLine(const char *name, const FitParameter &p, const char *unit)
{
    QString text = QStringLiteral("%1 %2 +/- %3")
                       .arg(QLatin1String(name), -14)
                       .arg(tableNumber(p.value), 12)
                       .arg(tableNumber(p.error));
    if (*unit)
        text += QLatin1Char(' ') + QLatin1String(unit);
    if (p.atBound)
        text += QStringLiteral("  (at bound)");
    return text + QLatin1Char('\n');
}

QString saveFile(const QString &path, const QByteArray &bytes)
{
    // Whole or not at all, also on a full disk (ResultFile).
    const QString problem = ResultFile::writeBytes(path, bytes);
    if (!problem.isEmpty())
        return FitReport::tr("%1 could not be written: %2")
            .arg(QDir::toNativeSeparators(path), problem);
    return QString();
}

} // namespace

QString FitReport::text(const FitResult &r, const FitSettings &s, const QString &dataPath)
{
    QString out = QStringLiteral("# EXAFS path fit\n");
    out += line("data", QDir::toNativeSeparators(dataPath));
    out += line("k-range", QStringLiteral("%1 %2 1/A, dk %3, k-weight %4")
                               .arg(s.kMin)
                               .arg(s.kMax)
                               .arg(s.dk)
                               .arg(s.kWeight));
    out += line("r-range", QStringLiteral("%1 %2 A").arg(s.rMin).arg(s.rMax));
    if (!r.valid) {
        out += line("fit", QStringLiteral("nan"));
        out += line("reason", r.reason);
        return out;
    }
    QStringList paths;
    for (int p : r.paths)
        paths << QString::number(p);
    out += line("paths", paths.join(QLatin1Char(' ')));
    out += line("n_idp", tableNumber(r.nIdp));
    out += line("n_var", QString::number(r.nVar));
    out += line("n_data", QString::number(r.nData));
    out += line("epsilon_r", tableNumber(r.epsilonR));
    out += line("epsilon_k", tableNumber(r.epsilonK));
    out += line("chi_square", tableNumber(r.chi2));
    out += line("chi2_reduced", tableNumber(r.chi2Reduced));
    out += line("r_factor", tableNumber(r.rFactor));
    out += line("converged", r.converged ? QStringLiteral("yes") : QStringLiteral("no"));
    out += QStringLiteral("\n# parameters: value +/- uncertainty\n");
    out += parameterLine("s02", r.s02, "");
    out += parameterLine("de0", r.de0, "eV");
    out += parameterLine("alpha", r.alpha, "");
    out += parameterLine("ss1", r.ss1, "A^2");
    out += parameterLine("ss2", r.ss2, "A^2");
    out += parameterLine("r1", r.r1, "A");
    out += line("reff1", tableNumber(r.reff1) + QStringLiteral(" A"));
    out += QStringLiteral("\n# correlations above 0.5\n");
    for (const FitCorrelation &c : r.correlations)
        out +=
            QStringLiteral("%1 %2 %3\n").arg(c.first, -6).arg(c.second, -6).arg(c.value, 0, 'f', 3);
    out += QStringLiteral("\n");
    out += line("flags", r.flagText());
    return out;
}

QByteArray FitReport::curves(const FitResult &r)
{
    QByteArray out("# k chi_measured chi_fit\n");
    const int n = std::min({r.k.size(), r.measured.size(), r.fitted.size()});
    for (int i = 0; i < n; ++i)
        out += QStringLiteral("%1 %2 %3\n")
                   .arg(r.k[i], 0, 'f', 2)
                   .arg(r.measured[i], 0, 'g', 9)
                   .arg(r.fitted[i], 0, 'g', 9)
                   .toLatin1();
    return out;
}

QString FitReport::write(const QString &dir, const FitResult &result, const FitSettings &settings,
                         const QString &dataPath)
{
    const QDir folder(dir);
    QString error = saveFile(folder.filePath(QStringLiteral("fit.txt")),
                             text(result, settings, dataPath).toUtf8());
    if (!error.isEmpty())
        return error;
    const QString dat = folder.filePath(QStringLiteral("fit.dat"));
    if (!result.valid) {
        QFile::remove(dat);
        return QString();
    }
    return saveFile(dat, curves(result));
}
