#ifndef RANKINGMODEL_H
#define RANKINGMODEL_H

#include "chi/agreement.h"
#include "chi/ftoptions.h"
#include "fit/fitresult.h"
#include "fit/fitsettings.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <vector>

class Chi;
class Demeter;
class FitRunner;
struct FitOutcome;
struct FitTask;
class MeasuredCurves;
class SiteGroup;

// The jobs and site averages that have chi(k), each with its path fit and
// its scale-only figures against the first measured curve. Both are made on
// worker threads (FitRunner) whenever a row gets chi(k) while there is a
// measured curve, and for every row when the first curve changes; a row
// shows "fitting…" until they arrive. The first column is
// checkable: checked means the job is shown in the plots. A job's panel
// carries the figures in a tooltip. Jobs and groups are not owned.
class RankingModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int
    {
        JobColumn,
        InputColumn,
        FitRFactorColumn,
        Chi2Column,
        S02Column,
        DE0Column,
        R1Column,
        SS1Column,
        SS2Column,
        FlagsColumn,
        RFactorKColumn,
        ScaleKColumn,
        RFactorRColumn,
        ScaleRColumn,
        ColumnCount
    };
    // The value sorted by: numbers, with a figure that could not be formed
    // after every other.
    static constexpr int SortRole = Qt::UserRole;

    explicit RankingModel(MeasuredCurves *measured, QObject *parent = nullptr);

    // The settings of the scale-only figures and of the fit.
    void setOptions(const TransformArgs &transform, const FitOptions &fit,
                    const FitSettings &fitSettings);
    const TransformArgs &transformOptions() const { return transformArgs; }
    const FitOptions &figureOptions() const { return fit; }
    const FitSettings &fitSettings() const;
    FitRunner *fitRunner() const { return runner; }
    void addDemeter(Demeter *job);
    void removeDemeter(Demeter *job);
    void addSiteGroup(SiteGroup *group);
    void removeSiteGroup(SiteGroup *group);

    // The row of a job or group; -1 while it has no chi(k).
    int rowOf(const QObject *source) const;
    int count() const { return int(rows.size()); }
    const AgreementFigures &figures(int row) const { return rows.at(size_t(row)).figures; }
    // The row's fit; invalid while it runs or without a measured curve.
    const FitResult &fitResult(int row) const { return rows.at(size_t(row)).fitResult; }
    bool isFitting(int row) const { return rows.at(size_t(row)).fitting; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A row's fit arrived, or was withdrawn (an invalid result) because the
    // measured curve went or changed. source is the Demeter or SiteGroup.
    void fitChanged(QObject *source, const FitResult &result);
    // A site group's panel tooltip, as a job's panel gets it directly.
    void groupTipChanged(SiteGroup *group, const QString &tip);
    void optionsChanged();
    void log(QString msg);

private:
    struct Row
    {
        QPointer<QObject> source;
        Demeter *job = nullptr; // one of the two
        SiteGroup *group = nullptr;
        AgreementFigures figures;
        FitResult fitResult;
        bool fitting = false;
    };

    void follow(QObject *source, Demeter *job, SiteGroup *group);
    void chiChanged(QObject *source, Demeter *job, SiteGroup *group);
    void removeSource(QObject *source);
    void showChanged(QObject *source);
    void referenceChanged();
    void requestFit(Row &row);
    void fitArrived(const QObject *source, const FitOutcome &outcome);
    FitTask fitTask(const Row &row) const;
    QString curveName() const;
    void showFiguresOnPanel(const Row &row);
    const Chi *chiOf(const Row &row) const;
    bool isShown(const Row &row) const;
    QVariant display(const Row &row, int column) const;
    QVariant sortValue(const Row &row, int column) const;
    QString cellText(const Row &row, int column) const;
    QVariant foreground(const Row &row, int column) const;
    QString cellTip(const Row &row, int column) const;
    static bool isNumber(int column) { return column >= FitRFactorColumn && column != FlagsColumn; }

    MeasuredCurves *measured;
    const Chi *reference = nullptr; // the curve the figures were made against
    QString referencePath;
    quint64 referenceGeneration = 0;
    TransformArgs transformArgs;
    FitOptions fit;
    FitRunner *runner; // child
    std::vector<Row> rows;
};

#endif
