#ifndef RANKINGTABLE_H
#define RANKINGTABLE_H

#include "chi/agreement.h"

#include <QString>
#include <QVector>

// The jobs held against a measured curve, best first: by the figure in k,
// ascending, jobs without one last, equal figures in the order they came.
class RankingTable
{
public:
    struct Row
    {
        QString job;   // the job's (or site group's) folder
        QString input; // its input file
        AgreementFigures figures;
    };

    void add(const QString &job, const QString &input, const AgreementFigures &figures);
    bool isEmpty() const { return rows.isEmpty(); }
    // Drops the rows of jobs in sub-folders of folder.
    void removeInside(const QString &folder);
    int size() const { return rows.size(); }
    QVector<Row> sorted() const;

    // The table as tab-separated text: a header row
    // "job input r_factor_k scale_k r_factor_r scale_r", then one row per
    // job, numbers with 6 significant digits ("nan" where a figure could
    // not be formed). Every line ends with a line feed.
    QString text() const;
    // Writes text() to path as UTF-8, whole or not at all; false with the
    // reason in error.
    bool write(const QString &path, QString &error) const;

    static bool before(const AgreementFigures &a, const AgreementFigures &b);

private:
    QVector<Row> rows;
};

#endif
