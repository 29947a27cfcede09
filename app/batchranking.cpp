#include "app/batchranking.h"

#include "app/paramtable.h"
#include "chi/agreement.h"

#include <QFile>
#include <QFileInfo>

namespace {

const char dataKey[] = "-data";
const char rankKey[] = "-rank";

} // namespace

BatchRanking::BatchRanking(const ParamTable &args)
    : dataFiles(args.values(QLatin1String(dataKey))),
      rankGiven(args.hasKey(QLatin1String(rankKey))),
      rankFile(args.exactValue(QLatin1String(rankKey)))
{
    // Jobs change the current folder: names are taken from the start-up one.
    if (!rankFile.isEmpty())
        rankFile = QFileInfo(rankFile).absoluteFilePath();
}

bool BatchRanking::usable(QStringList &problems, QStringList &notes)
{
    const int before = problems.size();
    for (const QString &file : qAsConst(dataFiles)) {
        if (file.isEmpty()) {
            problems << tr("-data needs the name of a measured chi(k) file");
            continue;
        }
        std::vector<std::unique_ptr<Chi>> curves;
        const MeasuredData::Outcome outcome = MeasuredData::read(file, dataOptions, curves);
        if (!outcome.problem.isEmpty()) {
            problems << outcome.problem;
            continue;
        }
        // A batch promises the .chik files: one that cannot be written stops it.
        (outcome.writeFailed ? problems : notes) << outcome.messages;
        for (auto &curve : curves)
            measured.append(std::shared_ptr<Chi>(std::move(curve)));
    }
    if (rankGiven && rankFile.isEmpty())
        problems << tr("-rank needs the name of the file to write the ranking into");
    else if (rankGiven && dataFiles.isEmpty())
        problems
            << tr("-rank %1 needs a measured curve to rank against: give -data FILE").arg(rankFile);
    else if (rankGiven && QFileInfo(rankFile).isDir())
        problems << tr("Can not write the ranking into %1: it is a folder").arg(rankFile);
    return problems.size() == before;
}

void BatchRanking::setOptions(const TransformArgs &transform, const FitOptions &fitOptions)
{
    transformArgs = transform;
    fit = fitOptions;
}

void BatchRanking::add(const QString &job, const QString &input, const Chi &chi)
{
    if (!active() || !chi.hasChiK)
        return;
    table.add(job, input, Agreement::compute(*measured.first(), chi, transformArgs, fit));
}

void BatchRanking::addGroup(const QString &folder, const QString &input, const Chi &average)
{
    if (!active() || !average.hasChiK)
        return;
    table.removeInside(folder);
    add(folder, input, average);
}

QString BatchRanking::best() const
{
    const QVector<RankingTable::Row> rows = table.sorted();
    return rows.isEmpty() || !rows.first().figures.hasK() ? QString() : rows.first().job;
}

bool BatchRanking::write(QString &problem) const
{
    if (!rankGiven || rankFile.isEmpty() || !active())
        return true;
    QString error;
    if (table.write(rankFile, error))
        return true;
    problem = tr("Can not write the ranking into %1: %2").arg(rankFile, error);
    return false;
}
