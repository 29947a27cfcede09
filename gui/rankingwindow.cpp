#include "gui/rankingwindow.h"

#include "chi/chi.h"
#include "gui/rankingmodel.h"
#include "plot/measuredcurves.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>

RankingWindow::RankingWindow(MeasuredCurves *measuredCurves, QWidget *parent)
    : QWidget(parent, Qt::Window), measured(measuredCurves),
      ranking(new RankingModel(measuredCurves, this)), sorted(new QSortFilterProxyModel(this))
{
    setupUi(this);
    MeasuredList->setModel(measured);
    sorted->setSourceModel(ranking);
    sorted->setSortRole(RankingModel::SortRole);
    // Figures change as jobs end: the order follows them.
    sorted->setDynamicSortFilter(true);
    RankingTable->setModel(sorted);
    RankingTable->sortByColumn(RankingModel::RFactorKColumn, Qt::AscendingOrder);
    RankingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(RemoveCurve, &QPushButton::clicked, this, &RankingWindow::removeSelectedCurve);
    connect(measured, &MeasuredCurves::curvesChanged, this, &RankingWindow::showReference);
    showReference();
}

void RankingWindow::removeSelectedCurve()
{
    const QModelIndex current = MeasuredList->currentIndex();
    if (current.isValid())
        measured->remove(current.row());
}

void RankingWindow::showReference()
{
    const Chi *reference = measured->reference();
    Reference->setText(reference ? tr("Held against: %1").arg(reference->sourcePath)
                                 : tr("No measured curve: drop a measured chi(k) file onto a plot "
                                      "window, or name one with -data FILE."));
    RemoveCurve->setEnabled(measured->count() > 0);
}
