#ifndef BATCHFIT_H
#define BATCHFIT_H

#include "fit/fitresult.h"
#include "fit/fitsettings.h"

#include <QCoreApplication>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class Chi;
class ParamTable;

// The path fit of a batch run: with "-data", every job and site group with
// FEFF path files is fitted to the first measured curve as it ends, and its
// fit.txt and fit.dat are written into its folder; "-fit FILE" writes the
// table of all fits at the end, best R-factor first.
class BatchFit
{
    Q_DECLARE_TR_FUNCTIONS(BatchFit)
public:
    explicit BatchFit(const ParamTable &args);

    // Takes the measured curve the jobs are held against (null: none) and
    // checks it and the options; every problem is one message in problems.
    bool usable(const FitSettings &settings, const Chi *curve, QStringList &problems);
    bool active() const { return !measured.k.isEmpty(); }

    // Fits one job folder, or a site group's folders with their weights,
    // writes the fit files into folder and keeps the row. A group's row
    // replaces the rows of the site jobs inside its folder. Returns a problem
    // writing the files, empty when there was none.
    QString addJob(const QString &folder, const QString &input);
    QString addGroup(const QString &folder, const QString &input,
                     const QVector<QPair<QString, double>> &sites);

    // The folder of the best fit, empty without any.
    QString best() const;
    // Writes the table when "-fit" asked for it; false with one message when
    // it cannot be written.
    bool write(QString &problem) const;
    // The table's text: header and rows sorted by r_factor, nan last.
    QByteArray table() const;

private:
    struct Row
    {
        QString job;
        QString input;
        FitResult result;
    };
    QString add(const QString &folder, const QString &input, const FitResult &result);
    QVector<Row> sorted() const;

    bool dataGiven = false;
    bool fitGiven = false;
    QString fitFile;
    MeasuredCurve measured;
    FitSettings settings;
    QVector<Row> rows;
};

#endif
