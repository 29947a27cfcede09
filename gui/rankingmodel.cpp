#include "gui/rankingmodel.h"

#include "chi/chi.h"
#include "chi/rankingtable.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"
#include "plot/measuredcurves.h"

#include <QCheckBox>
#include <QFileInfo>

#include <cmath>
#include <limits>

RankingModel::RankingModel(MeasuredCurves *measuredCurves, QObject *parent)
    : QAbstractTableModel(parent), measured(measuredCurves)
{
    connect(measured, &MeasuredCurves::curvesChanged, this, &RankingModel::referenceChanged);
    transformArgs = measured->transformArgs();
    referenceChanged();
}

void RankingModel::setOptions(const TransformArgs &transform, const FitOptions &fitOptions)
{
    transformArgs = transform;
    fit = fitOptions;
    for (Row &row : rows)
        compute(row);
    if (!rows.empty())
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

void RankingModel::addDemeter(Demeter *job)
{
    follow(job, job, nullptr);
    connect(job, &Demeter::newChi, this, [this, job] { chiChanged(job, job, nullptr); });
    connect(job, &Demeter::showChanged, this, [this, job] { showChanged(job); });
}

void RankingModel::addSiteGroup(SiteGroup *group)
{
    follow(group, nullptr, group);
    connect(group, &SiteGroup::newChi, this, [this, group] { chiChanged(group, nullptr, group); });
    connect(group, &SiteGroup::showChanged, this, [this, group] { showChanged(group); });
}

void RankingModel::follow(QObject *source, Demeter *job, SiteGroup *group)
{
    connect(source, &QObject::destroyed, this, [this, source] { removeSource(source); });
    chiChanged(source, job, group);
}

void RankingModel::removeDemeter(Demeter *job)
{
    disconnect(job, nullptr, this, nullptr);
    removeSource(job);
}

void RankingModel::removeSiteGroup(SiteGroup *group)
{
    disconnect(group, nullptr, this, nullptr);
    removeSource(group);
}

int RankingModel::rowOf(const QObject *source) const
{
    for (int i = 0; i < count(); ++i)
        if (rows[size_t(i)].source == source)
            return i;
    return -1;
}

// A job enters the table with its first chi(k) and is held against the
// reference again with every later one (a FEFF restart).
void RankingModel::chiChanged(QObject *source, Demeter *job, SiteGroup *group)
{
    Row row;
    row.source = source;
    row.job = job;
    row.group = group;
    if (!chiOf(row)->hasChiK)
        return;
    compute(row);
    showFiguresOnPanel(row);
    const int i = rowOf(source);
    if (i >= 0) {
        rows[size_t(i)] = row;
        emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
        return;
    }
    beginInsertRows(QModelIndex(), count(), count());
    rows.push_back(row);
    endInsertRows();
}

void RankingModel::removeSource(QObject *source)
{
    // Compared by address only: a destroyed source has already cleared its
    // QPointer.
    for (int i = 0; i < count(); ++i) {
        const Row &row = rows[size_t(i)];
        if (row.job == source || row.group == source) {
            beginRemoveRows(QModelIndex(), i, i);
            rows.erase(rows.begin() + i);
            endRemoveRows();
            return;
        }
    }
}

void RankingModel::showChanged(QObject *source)
{
    const int i = rowOf(source);
    if (i >= 0)
        emit dataChanged(index(i, JobColumn), index(i, JobColumn), {Qt::CheckStateRole});
}

// Showing or hiding a measured curve changes nothing here; only a new first
// curve does.
void RankingModel::referenceChanged()
{
    const Chi *now = measured->reference();
    const QString path = now ? now->sourcePath : QString();
    if (now == reference && path == referencePath)
        return;
    reference = now;
    referencePath = path;
    for (Row &row : rows) {
        compute(row);
        showFiguresOnPanel(row);
    }
    if (!rows.empty())
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

void RankingModel::compute(Row &row) const
{
    row.figures = reference ? Agreement::compute(*reference, *chiOf(row), transformArgs, fit)
                            : AgreementFigures();
}

void RankingModel::showFiguresOnPanel(const Row &row) const
{
    if (!row.job)
        return;
    const QString tip = reference ? tr("R_k %1 (scale %2) against %3")
                                        .arg(RankingTable::number(row.figures.rK),
                                             RankingTable::number(row.figures.scaleK),
                                             QFileInfo(reference->sourcePath).fileName())
                                  : QString();
    row.job->setToolTip(tip);
}

const Chi *RankingModel::chiOf(const Row &row) const
{
    return row.job ? &row.job->chi : &row.group->average;
}

bool RankingModel::isShown(const Row &row) const
{
    return row.job ? row.job->ui.Show->isChecked() : row.group->isShown();
}

int RankingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int RankingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RankingModel::display(const Row &row, int column) const
{
    const AgreementFigures &f = row.figures;
    switch (column) {
    case JobColumn:
        return QFileInfo(row.job ? row.job->directory() : row.group->directory()).fileName();
    case InputColumn:
        return (row.job ? row.job->input() : row.group->input()).fileName();
    case RFactorKColumn:
        return f.rK;
    case ScaleKColumn:
        return f.scaleK;
    case RFactorRColumn:
        return f.rR;
    case ScaleRColumn:
        return f.scaleR;
    default:
        return QVariant();
    }
}

QVariant RankingModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || !rows[size_t(index.row())].source)
        return QVariant();
    const Row &row = rows[size_t(index.row())];
    const QVariant value = display(row, index.column());
    const bool number = index.column() >= RFactorKColumn;
    switch (role) {
    case Qt::DisplayRole:
        return number ? QVariant(RankingTable::number(value.toDouble())) : value;
    case SortRole:
        if (number && std::isnan(value.toDouble()))
            return std::numeric_limits<double>::infinity();
        return value;
    case Qt::CheckStateRole:
        if (index.column() != JobColumn)
            return QVariant();
        return isShown(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        return row.job ? row.job->directory() : row.group->directory();
    case Qt::TextAlignmentRole:
        return number ? int(Qt::AlignRight | Qt::AlignVCenter)
                      : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant RankingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case JobColumn:
        return tr("Job");
    case InputColumn:
        return tr("Input");
    case RFactorKColumn:
        return tr("R in k");
    case ScaleKColumn:
        return tr("Scale in k");
    case RFactorRColumn:
        return tr("R in R");
    case ScaleRColumn:
        return tr("Scale in R");
    default:
        return QVariant();
    }
}

bool RankingModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= count() || index.column() != JobColumn ||
        role != Qt::CheckStateRole || !rows[size_t(index.row())].source)
        return false;
    const Row &row = rows[size_t(index.row())];
    const bool shown = value.toInt() == Qt::Checked;
    // The panel's own Show box, so that the plots and the panel agree.
    if (row.job)
        row.job->ui.Show->setChecked(shown);
    else
        row.group->setShown(shown);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags RankingModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == JobColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}
