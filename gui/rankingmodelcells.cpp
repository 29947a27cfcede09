// What the ranking table shows: cell values and texts, sort keys, colours,
// tooltips and column headers.
#include "gui/rankingmodel.h"

#include "app/textfuncs.h"
#include "gui/fitsummary.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"

#include <QBrush>
#include <QFileInfo>

#include <cmath>
#include <limits>

QVariant RankingModel::display(const Row &row, int column) const
{
    const AgreementFigures &f = row.figures;
    const FitResult &r = row.fitResult;
    switch (column) {
    case JobColumn:
        return QFileInfo(row.job ? row.job->directory() : row.group->directory()).fileName();
    case InputColumn:
        return (row.job ? row.job->input() : row.group->input()).fileName();
    case FitRFactorColumn:
        return r.rFactor;
    case Chi2Column:
        return r.chi2Reduced;
    case S02Column:
        return r.s02.value;
    case DE0Column:
        return r.de0.value;
    case R1Column:
        return r.r1.value;
    case SS1Column:
        return r.ss1.value;
    case SS2Column:
        return r.ss2.value;
    case FlagsColumn:
        return row.fitting || !reference ? QString() : FitSummary::flagsText(r);
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

// Numbers sort ascending with what has none (no fit yet, no figure) last.
QVariant RankingModel::sortValue(const Row &row, int column) const
{
    const QVariant value = display(row, column);
    if (isNumber(column) && std::isnan(value.toDouble()))
        return std::numeric_limits<double>::infinity();
    return value;
}

QString RankingModel::cellText(const Row &row, int column) const
{
    if (!isNumber(column))
        return display(row, column).toString();
    if (row.fitting)
        return column == FitRFactorColumn ? tr("fitting…") : QString();
    const FitResult &r = row.fitResult;
    switch (column) {
    case S02Column:
        return FitSummary::valueWithError(r.s02);
    case DE0Column:
        return FitSummary::valueWithError(r.de0);
    case R1Column:
        return FitSummary::valueWithError(r.r1);
    case SS1Column:
        return FitSummary::valueWithError(r.ss1);
    case SS2Column:
        return FitSummary::valueWithError(r.ss2);
    case ScaleKColumn:
    case ScaleRColumn: {
        const double scale = display(row, column).toDouble();
        // A negative scale fits only a curve turned upside down.
        return scale < 0 ? tr("%1 (negative)").arg(tableNumber(scale)) : tableNumber(scale);
    }
    default:
        return tableNumber(display(row, column).toDouble());
    }
}

// Negative scales, and the figures made with them, in red; flags in orange.
QVariant RankingModel::foreground(const Row &row, int column) const
{
    const bool negativeK = row.figures.scaleK < 0;
    const bool negativeR = row.figures.scaleR < 0;
    if (((column == RFactorKColumn || column == ScaleKColumn) && negativeK) ||
        ((column == RFactorRColumn || column == ScaleRColumn) && negativeR))
        return QBrush(QColor(200, 0, 0));
    if (column == FlagsColumn && !row.fitting &&
        (!row.fitResult.valid || !row.fitResult.flags.isEmpty()))
        return QBrush(QColor(190, 90, 0));
    return QVariant();
}

QString RankingModel::cellTip(const Row &row, int column) const
{
    if (column >= FitRFactorColumn && column <= FlagsColumn && reference && !row.fitting)
        return FitSummary::panelText(row.fitResult, curveName());
    if ((column == ScaleKColumn && row.figures.scaleK < 0) ||
        (column == ScaleRColumn && row.figures.scaleR < 0))
        return tr("A negative scale: the job's curve matches the measured one only turned upside "
                  "down, so its scale-only R-factor says little.");
    return row.job ? row.job->directory() : row.group->directory();
}

QVariant RankingModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || !rows[size_t(index.row())].source)
        return QVariant();
    const Row &row = rows[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, column);
    case SortRole:
        return sortValue(row, column);
    case Qt::CheckStateRole:
        if (column != JobColumn)
            return QVariant();
        return isShown(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole:
        return cellTip(row, column);
    case Qt::ForegroundRole:
        return foreground(row, column);
    case Qt::TextAlignmentRole:
        return isNumber(column) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant RankingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool tip = role == Qt::ToolTipRole;
    switch (section) {
    case JobColumn:
        return tip ? tr("The job's folder; check to show the job in the plots") : tr("Job");
    case InputColumn:
        return tip ? tr("The CIF or FEFF input file") : tr("Input");
    case FitRFactorColumn:
        return tip ? tr("R-factor of the path fit: the misfit over the data in the fit's R "
                        "range, 0 is perfect")
                   : tr("Fit R-factor");
    case Chi2Column:
        return tip ? tr("Reduced chi-square of the path fit") : tr("χ²ν");
    case S02Column:
        return tip ? tr("Amplitude reduction factor S0² with its uncertainty") : tr("S0²");
    case DE0Column:
        return tip ? tr("Energy shift ΔE0 in eV with its uncertainty") : tr("ΔE0 (eV)");
    case R1Column:
        return tip ? tr("First-shell distance reff + ΔR in Å with its uncertainty") : tr("R1 (Å)");
    case SS1Column:
        return tip ? tr("Debye-Waller factor σ² of the first shell in Å²") : tr("σ²1 (Å²)");
    case SS2Column:
        return tip ? tr("Debye-Waller factor σ² of every other path in Å²") : tr("σ²2 (Å²)");
    case FlagsColumn:
        return tip ? tr("What to look at before trusting the fit: parameters at a bound, an "
                        "unphysical S0², too few independent points, no convergence")
                   : tr("Flags");
    case RFactorKColumn:
        return tip ? tr("Misfit in k of the job's chi(k) scaled by one number, nothing else "
                        "fitted")
                   : tr("Scale-only R-factor (k)");
    case ScaleKColumn:
        return tip ? tr("The one number the job's chi(k) is scaled by in k; not S0²")
                   : tr("Scale (k)");
    case RFactorRColumn:
        return tip ? tr("Misfit in the fit's R range of the job's chi(R) scaled by one number, "
                        "nothing else fitted")
                   : tr("Scale-only R-factor (R)");
    case ScaleRColumn:
        return tip ? tr("The one number the job's chi(R) is scaled by; not S0²") : tr("Scale (R)");
    default:
        return QVariant();
    }
}
