#ifndef BATCHPATHS_H
#define BATCHPATHS_H

#include "chi/pathidentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

class ParamTable;

// The -paths FILE option of a batch run: one tab-separated row per job and
// FEFF path, written as each job ends, so a run of any size keeps nothing of
// it in memory. Header:
//   job path file reff degeneracy legs amplitude route
// path is FEFF's number, reff in A with 4 decimals, amplitude in % with 2,
// route the element symbols joined by "-"; "nan" (or an empty route) where
// FEFF's lists did not say. Jobs without paths have no rows.
class BatchPaths
{
    Q_DECLARE_TR_FUNCTIONS(BatchPaths)
public:
    explicit BatchPaths(const ParamTable &args);

    // Opens the file and writes the header; false, with the reasons appended
    // to problems, when the option has no name or the file cannot be made.
    bool usable(QStringList &problems);
    bool active() const { return out.isOpen(); }
    // The rows of one job; false with the reason when writing failed (the
    // rest of the run is not written then).
    bool add(const QString &job, const QVector<PathIdentity> &paths, QString &problem);

    static QString header();
    static QString row(const QString &job, const PathIdentity &path);

private:
    bool given;
    QString fileName; // absolute
    QFile out;
};

#endif
