#ifndef RANKINGMODEL_H
#define RANKINGMODEL_H

#include "chi/agreement.h"
#include "chi/ftoptions.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <vector>

class Chi;
class Demeter;
class MeasuredCurves;
class SiteGroup;

// The jobs and site averages that have chi(k), each with its agreement
// figures against the first measured curve. The first column is checkable:
// checked means the job is shown in the plots. A job's panel carries its R_k
// in a tooltip. Jobs and groups are not owned.
class RankingModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int
    {
        JobColumn,
        InputColumn,
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

    void setOptions(const TransformArgs &transform, const FitOptions &fit);
    void addDemeter(Demeter *job);
    void removeDemeter(Demeter *job);
    void addSiteGroup(SiteGroup *group);
    void removeSiteGroup(SiteGroup *group);

    // The row of a job or group; -1 while it has no chi(k).
    int rowOf(const QObject *source) const;
    int count() const { return int(rows.size()); }
    const AgreementFigures &figures(int row) const { return rows.at(size_t(row)).figures; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Row
    {
        QPointer<QObject> source;
        Demeter *job = nullptr; // one of the two
        SiteGroup *group = nullptr;
        AgreementFigures figures;
    };

    void follow(QObject *source, Demeter *job, SiteGroup *group);
    void chiChanged(QObject *source, Demeter *job, SiteGroup *group);
    void removeSource(QObject *source);
    void showChanged(QObject *source);
    void referenceChanged();
    void compute(Row &row) const;
    void showFiguresOnPanel(const Row &row) const;
    const Chi *chiOf(const Row &row) const;
    bool isShown(const Row &row) const;
    QVariant display(const Row &row, int column) const;

    MeasuredCurves *measured;
    const Chi *reference = nullptr; // the curve the figures were made against
    QString referencePath;
    TransformArgs transformArgs;
    FitOptions fit;
    std::vector<Row> rows;
};

#endif
