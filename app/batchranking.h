#ifndef BATCHRANKING_H
#define BATCHRANKING_H

#include "chi/chi.h"
#include "chi/ftoptions.h"
#include "chi/rankingtable.h"
#include "data/measureddata.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class ParamTable;

// The comparison of a batch run with measured chi(k) curves ("-data FILE",
// repeatable; the jobs are held against the first) and the ranking written
// at its end ("-rank FILE"). Without "-data" it does nothing.
class BatchRanking
{
    Q_DECLARE_TR_FUNCTIONS(BatchRanking)
public:
    explicit BatchRanking(const ParamTable &args);

    void setDataOptions(const MeasuredData::Options &options) { dataOptions = options; }
    // Reads the measured curves (mu(E) made chi(k), its .chik files
    // written) and checks the ranking file can be written; every problem is
    // one message in problems, what the reading found goes to notes.
    bool usable(QStringList &problems, QStringList &notes);
    bool active() const { return !measured.isEmpty(); }
    // The curve the jobs are held against (read by usable()), or null.
    const Chi *firstMeasured() const
    {
        return measured.isEmpty() ? nullptr : measured.first().get();
    }
    void setOptions(const TransformArgs &transform, const FitOptions &fitOptions);

    // A job (or a site group's average) that has chi(k) data.
    void add(const QString &job, const QString &input, const Chi &chi);
    // A site group's average: replaces the rows of the site jobs in its
    // folder, so that a structure is ranked once.
    void addGroup(const QString &folder, const QString &input, const Chi &average);
    // The folder of the best job, empty without any.
    QString best() const;
    // Writes the ranking file, when one was asked for; false with one
    // message when it cannot be written.
    bool write(QString &problem) const;

private:
    QStringList dataFiles;
    bool rankGiven = false;
    QString rankFile;
    QVector<std::shared_ptr<Chi>> measured;
    MeasuredData::Options dataOptions;
    TransformArgs transformArgs;
    FitOptions fit;
    RankingTable table;
};

#endif
