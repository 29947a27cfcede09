#include "plot/measuredcurves.h"

#include "chi/chi.h"
#include "fit/exafsfit.h"

#include <QFileInfo>

MeasuredCurves::MeasuredCurves(QObject *parent) : QAbstractListModel(parent) {}

MeasuredCurves::~MeasuredCurves() = default;

void MeasuredCurves::setTransformArgs(const TransformArgs &transformArgs)
{
    args = transformArgs;
    for (Entry &e : curves)
        e.chi->transform(args);
    if (!curves.empty())
        emit curvesChanged();
}

// A measured chi(k) file must cover the k range the curves are transformed
// over.
MeasuredData::Options MeasuredCurves::withRange() const
{
    MeasuredData::Options options = dataOptions;
    options.kMin = args.kMin;
    options.kMax = args.kMax;
    return options;
}

bool MeasuredCurves::add(const QString &path)
{
    std::vector<std::unique_ptr<Chi>> read;
    // Kept absolute: the current folder changes while jobs run.
    const MeasuredData::Outcome outcome =
        MeasuredData::read(QFileInfo(path).absoluteFilePath(), withRange(), read);
    QString problem = outcome.problem;
    for (size_t i = 0; i < read.size() && problem.isEmpty(); ++i)
        problem = refusal(*read[i]);
    if (!problem.isEmpty()) {
        emit log(problem);
        return false;
    }
    for (const QString &message : outcome.messages)
        emit log(message);
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(read.size()) - 1);
    for (auto &chi : read) {
        connect(chi.get(), &Chi::log, this, &MeasuredCurves::log);
        chi->transform(args);
        emit log(tr("Measured chi(k) %1 loaded: %2 points, k %3 to %4")
                     .arg(chi->sourcePath)
                     .arg(chi->k.size())
                     .arg(chi->kExtent.min, 0, 'g', 4)
                     .arg(chi->kExtent.max, 0, 'g', 4));
        curves.push_back({std::move(chi), true});
    }
    endInsertRows();
    emit curvesChanged();
    return true;
}

// A curve the jobs cannot be held against (mu(E), nothing in K_MIN..K_MAX)
// would only mislead beside them. Without a k range every point counts.
QString MeasuredCurves::refusal(const Chi &chi) const
{
    FitSettings range;
    range.kMin = args.kMax > args.kMin ? args.kMin : -qInf();
    range.kMax = args.kMax > args.kMin ? args.kMax : qInf();
    return ExafsFit::refusal({chi.sourcePath, chi.k, chi.chi}, range);
}

void MeasuredCurves::remove(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    curves.erase(curves.begin() + row);
    endRemoveRows();
    emit curvesChanged();
}

void MeasuredCurves::setShown(int row, bool shown)
{
    setData(index(row), shown ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

const Chi &MeasuredCurves::curve(int row) const
{
    return *curves[size_t(row)].chi;
}

bool MeasuredCurves::isShown(int row) const
{
    return curves[size_t(row)].shown;
}

QVector<const Chi *> MeasuredCurves::shown() const
{
    QVector<const Chi *> list;
    for (const Entry &e : curves)
        if (e.shown)
            list.append(e.chi.get());
    return list;
}

const Chi *MeasuredCurves::reference() const
{
    return curves.empty() ? nullptr : curves.front().chi.get();
}

int MeasuredCurves::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant MeasuredCurves::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const Entry &e = curves[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QFileInfo(e.chi->sourcePath).fileName();
    case Qt::ToolTipRole:
        return tr("%1\n%2 points, k from %3 to %4 1/A")
            .arg(e.chi->sourcePath)
            .arg(e.chi->k.size())
            .arg(e.chi->kExtent.min)
            .arg(e.chi->kExtent.max);
    case Qt::CheckStateRole:
        return e.shown ? Qt::Checked : Qt::Unchecked;
    default:
        return QVariant();
    }
}

bool MeasuredCurves::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= count() || role != Qt::CheckStateRole)
        return false;
    const bool shown = value.toInt() == Qt::Checked;
    Entry &e = curves[size_t(index.row())];
    if (e.shown == shown)
        return true;
    e.shown = shown;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit curvesChanged();
    return true;
}

Qt::ItemFlags MeasuredCurves::flags(const QModelIndex &index) const
{
    return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
}
