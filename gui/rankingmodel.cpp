#include "gui/rankingmodel.h"

#include "app/textfuncs.h"
#include "chi/chi.h"
#include "gui/fitrunner.h"
#include "gui/fitsummary.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"
#include "plot/measuredcurves.h"

#include <QCheckBox>
#include <QFileInfo>

RankingModel::RankingModel(MeasuredCurves *measuredCurves, QObject *parent)
    : QAbstractTableModel(parent), measured(measuredCurves), runner(new FitRunner(this))
{
    connect(measured, &MeasuredCurves::curvesChanged, this, &RankingModel::referenceChanged);
    connect(runner, &FitRunner::fitted, this, &RankingModel::fitArrived);
    connect(runner, &FitRunner::log, this, &RankingModel::log);
    transformArgs = measured->transformArgs();
    runner->setOptions(transformArgs, fit, FitSettings());
    referenceChanged();
}

void RankingModel::setOptions(const TransformArgs &transform, const FitOptions &fitOptions,
                              const FitSettings &fitSettings)
{
    transformArgs = transform;
    fit = fitOptions;
    runner->setOptions(transform, fitOptions, fitSettings);
    for (Row &row : rows)
        requestFit(row);
    if (!rows.empty())
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
    emit optionsChanged();
}

const FitSettings &RankingModel::fitSettings() const
{
    return runner->fitSettings();
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
    const int i = rowOf(source);
    if (i >= 0) // so that requestFit withdraws it from the plots
        row.fitResult = rows[size_t(i)].fitResult;
    requestFit(row);
    showFiguresOnPanel(row);
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
    runner->forget(source);
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
    // The generation tells a curve read again at the same address.
    const quint64 generation = now ? now->generation : 0;
    if (now == reference && path == referencePath && generation == referenceGeneration)
        return;
    reference = now;
    referencePath = path;
    referenceGeneration = generation;
    MeasuredCurve curve;
    if (now)
        curve = {now->sourcePath, now->k, now->chi};
    runner->setMeasured(curve);
    for (Row &row : rows) {
        requestFit(row);
        showFiguresOnPanel(row);
    }
    if (!rows.empty())
        emit dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1));
}

// Every row with chi(k) is fitted while there is a measured curve; the
// previous result is withdrawn at once, so that neither the table nor the
// plots show a fit of another curve or of an older chi(k).
void RankingModel::requestFit(Row &row)
{
    const bool hadFit = row.fitResult.valid;
    row.fitResult = FitResult();
    row.figures = AgreementFigures();
    row.fitting = reference != nullptr;
    if (row.fitting)
        runner->request(row.source, fitTask(row));
    else
        runner->forget(row.source);
    if (hadFit)
        emit fitChanged(row.source, row.fitResult);
}

FitTask RankingModel::fitTask(const Row &row) const
{
    FitTask task;
    task.k = chiOf(row)->k;
    task.chi = chiOf(row)->chi;
    if (row.job) {
        task.folder = row.job->directory();
        return task;
    }
    task.folder = row.group->directory();
    for (int i = 0; i < row.group->siteCount(); ++i)
        task.sites.append({joinPath(task.folder, row.group->siteSettings(i).jobFolder),
                           row.group->site(i).weight()});
    return task;
}

void RankingModel::fitArrived(const QObject *source, const FitOutcome &outcome)
{
    const int i = rowOf(source);
    if (i < 0)
        return;
    Row &row = rows[size_t(i)];
    row.figures = outcome.figures;
    row.fitResult = outcome.fit;
    row.fitting = false;
    showFiguresOnPanel(row);
    emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
    emit fitChanged(row.source, outcome.fit);
}

QString RankingModel::curveName() const
{
    return reference ? QFileInfo(reference->sourcePath).fileName() : QString();
}

void RankingModel::showFiguresOnPanel(const Row &row)
{
    QStringList lines;
    if (reference) {
        if (row.fitting)
            lines << tr("Fitting against %1…").arg(curveName());
        else
            lines << FitSummary::panelText(row.fitResult, curveName());
        lines << tr("Scale-only R-factor in k %1 (scale %2) against %3")
                     .arg(tableNumber(row.figures.rK), tableNumber(row.figures.scaleK),
                          curveName());
    }
    const QString tip = lines.join(QLatin1Char('\n'));
    if (row.job)
        row.job->setToolTip(tip);
    else if (row.group)
        emit groupTipChanged(row.group, tip);
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
