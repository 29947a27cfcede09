#include "app/batchpaths.h"

#include "app/paramtable.h"
#include "app/textfuncs.h"

#include <QFileInfo>

#include <cmath>

namespace {

const char pathsKey[] = "-paths";

QString fixed(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("nan");
}

} // namespace

BatchPaths::BatchPaths(const ParamTable &args)
    : given(args.hasKey(QLatin1String(pathsKey))),
      fileName(args.exactValue(QLatin1String(pathsKey)))
{
    // Jobs change the current folder: the name is taken from the start-up one.
    if (!fileName.isEmpty())
        fileName = QFileInfo(fileName).absoluteFilePath();
}

bool BatchPaths::usable(QStringList &problems)
{
    if (!given)
        return true;
    if (fileName.isEmpty()) {
        problems << tr("-paths needs the name of the file to write the paths into");
        return false;
    }
    if (QFileInfo(fileName).isDir()) {
        problems << tr("Can not write the paths into %1: it is a folder").arg(fileName);
        return false;
    }
    out.setFileName(fileName);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(header().toUtf8()) < 0 ||
        !out.flush()) {
        problems << tr("Can not write the paths into %1: %2").arg(fileName, out.errorString());
        out.close();
        return false;
    }
    return true;
}

bool BatchPaths::add(const QString &job, const QVector<PathIdentity> &paths, QString &problem)
{
    if (!active() || paths.isEmpty())
        return true;
    QString rows;
    for (const PathIdentity &path : paths)
        rows += row(job, path);
    // Flushed per job: a run that is killed keeps the rows of its ended jobs.
    if (out.write(rows.toUtf8()) >= 0 && out.flush())
        return true;
    problem = tr("Can not write the paths into %1: %2").arg(fileName, out.errorString());
    out.close();
    return false;
}

QString BatchPaths::header()
{
    return QStringLiteral("job\tpath\tfile\treff\tdegeneracy\tlegs\tamplitude\troute\n");
}

QString BatchPaths::row(const QString &job, const PathIdentity &path)
{
    const QString degeneracy = std::isfinite(path.degeneracy)
                                   ? QString::number(path.degeneracy, 'g', 6)
                                   : QStringLiteral("nan");
    const QStringList fields{tableField(job),
                             QString::number(path.number),
                             tableField(path.file),
                             fixed(path.reff, 4),
                             degeneracy,
                             QString::number(path.legs),
                             fixed(path.amplitude, 2),
                             tableField(path.route.join(QLatin1Char('-')))};
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
}
