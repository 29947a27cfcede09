#include "app/batchfit.h"

#include "app/paramtable.h"
#include "app/textfuncs.h"
#include "chi/chi.h"
#include "chi/resultfile.h"
#include "fit/exafsfit.h"
#include "fit/fitreport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

const char dataKey[] = "-data";
const char fitKey[] = "-fit";

} // namespace

BatchFit::BatchFit(const ParamTable &args)
    : dataGiven(args.hasKey(QLatin1String(dataKey))), fitGiven(args.hasKey(QLatin1String(fitKey))),
      fitFile(args.exactValue(QLatin1String(fitKey)))
{
    // Jobs change the current folder: names are taken from the start-up one.
    if (!fitFile.isEmpty())
        fitFile = QFileInfo(fitFile).absoluteFilePath();
}

bool BatchFit::usable(const FitSettings &fitSettings, const Chi *curve, QStringList &problems)
{
    settings = fitSettings;
    const int before = problems.size();
    // A file that cannot be read at all is the ranking's message.
    if (curve && curve->hasChiK) {
        const MeasuredCurve data{QFileInfo(curve->sourcePath).absoluteFilePath(), curve->k,
                                 curve->chi};
        const QString refusal = ExafsFit::refusal(data, settings);
        if (refusal.isEmpty())
            measured = data;
        else
            problems << refusal;
    }
    if (fitGiven && fitFile.isEmpty())
        problems << tr("-fit needs the name of the file to write the fit table into");
    else if (fitGiven && !dataGiven)
        problems << tr("-fit %1 needs a measured curve to fit: give -data FILE").arg(fitFile);
    else if (fitGiven && QFileInfo(fitFile).isDir())
        problems << tr("Can not write the fit table into %1: it is a folder").arg(fitFile);
    return problems.size() == before;
}

QString BatchFit::addJob(const QString &folder, const QString &input)
{
    if (!active())
        return QString();
    return add(folder, input, ExafsFit::fitJob(folder, measured, settings));
}

QString BatchFit::addGroup(const QString &folder, const QString &input,
                           const QVector<QPair<QString, double>> &sites)
{
    if (!active())
        return QString();
    // A one-site structure would otherwise be listed twice, as its site and
    // as its group.
    const QString inside = QDir(folder).absolutePath() + QLatin1Char('/');
    rows.erase(std::remove_if(
                   rows.begin(), rows.end(),
                   [&](const Row &row) { return QDir(row.job).absolutePath().startsWith(inside); }),
               rows.end());
    return add(folder, input, ExafsFit::fitGroup(sites, measured, settings));
}

QString BatchFit::add(const QString &folder, const QString &input, const FitResult &result)
{
    if (result.hasPaths)
        rows.append({folder, input, result});
    return FitReport::write(folder, result, settings, measured.path);
}

QVector<BatchFit::Row> BatchFit::sorted() const
{
    QVector<Row> out = rows;
    std::stable_sort(out.begin(), out.end(), [](const Row &a, const Row &b) {
        const double x = a.result.valid ? a.result.rFactor : qQNaN();
        const double y = b.result.valid ? b.result.rFactor : qQNaN();
        if (std::isnan(x) || std::isnan(y))
            return !std::isnan(x) && std::isnan(y);
        return x < y;
    });
    return out;
}

QString BatchFit::best() const
{
    const QVector<Row> ordered = sorted();
    return ordered.isEmpty() || !ordered.first().result.valid ? QString() : ordered.first().job;
}

QByteArray BatchFit::table() const
{
    QString text = QStringLiteral("job\tinput\tr_factor\tchi2_reduced\tn_idp\tn_var\ts02\ts02_err\t"
                                  "de0\tde0_err\talpha\talpha_err\tss1\tss1_err\tss2\tss2_err\t"
                                  "r1\tpaths\tflags\n");
    for (const Row &row : sorted()) {
        const FitResult &r = row.result;
        QStringList fields{tableField(row.job), tableField(row.input)};
        if (r.valid) {
            QStringList paths;
            for (int p : r.paths)
                paths << QString::number(p);
            fields << tableNumber(r.rFactor) << tableNumber(r.chi2Reduced) << tableNumber(r.nIdp)
                   << QString::number(r.nVar);
            for (const FitParameter *p : {&r.s02, &r.de0, &r.alpha, &r.ss1, &r.ss2})
                fields << tableNumber(p->value) << tableNumber(p->error);
            fields << tableNumber(r.r1.value) << paths.join(QLatin1Char(',')) << r.flagText();
        } else {
            for (int i = 0; i < 15; ++i)
                fields << QStringLiteral("nan");
            fields << QStringLiteral("-") << QStringLiteral("-");
        }
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text.toLocal8Bit();
}

bool BatchFit::write(QString &problem) const
{
    if (!fitGiven || fitFile.isEmpty() || !active())
        return true;
    // Whole or not at all, also on a full disk (ResultFile).
    const QString error = ResultFile::writeBytes(fitFile, table());
    if (error.isEmpty())
        return true;
    problem = tr("Can not write the fit table into %1: %2").arg(fitFile, error);
    return false;
}
