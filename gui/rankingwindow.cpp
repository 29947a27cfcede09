#include "gui/rankingwindow.h"

#include "chi/chi.h"
#include "gui/fitrunner.h"
#include "gui/rankingmodel.h"
#include "plot/measuredcurves.h"

#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTimer>

#include <algorithm>

RankingWindow::RankingWindow(MeasuredCurves *measuredCurves, QWidget *parent)
    : QWidget(parent, Qt::Window), measured(measuredCurves),
      ranking(new RankingModel(measuredCurves, this)), sorted(new QSortFilterProxyModel(this)),
      progressTimer(new QTimer(this))
{
    setupUi(this);
    MeasuredList->setModel(measured);
    sorted->setSourceModel(ranking);
    sorted->setSortRole(RankingModel::SortRole);
    // Figures change as jobs end: the order follows them.
    sorted->setDynamicSortFilter(true);
    RankingTable->setModel(sorted);
    RankingTable->sortByColumn(RankingModel::FitRFactorColumn, Qt::AscendingOrder);
    RankingTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(RemoveCurve, &QPushButton::clicked, this, &RankingWindow::removeSelectedCurve);
    connect(measured, &MeasuredCurves::curvesChanged, this, &RankingWindow::showReference);
    connect(ranking, &RankingModel::optionsChanged, this, &RankingWindow::showRanges);
    progressTimer->setSingleShot(true);
    progressTimer->setInterval(250);
    connect(progressTimer, &QTimer::timeout, this, &RankingWindow::showFitProgress);
    connect(ranking->fitRunner(), &FitRunner::pendingChanged, this, [this] {
        if (!progressTimer->isActive())
            progressTimer->start();
    });
    showReference();
    showRanges();
    showFitProgress();
}

void RankingWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitToTable();
}

// As wide as every column needs, as far as the screen allows: a table that
// scrolls sideways hides the last figures. Made wider only when shown, so
// that a width the user chose stays; never wider than the screen.
void RankingWindow::fitToTable()
{
    const QScreen *display = screen();
    if (!display)
        return;
    QHeaderView *header = RankingTable->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    // Whatever surrounds the columns: margins, frame, row header, and room
    // for the vertical scroll bar that more rows bring.
    const int around = width() - RankingTable->viewport()->width() +
                       (RankingTable->verticalScrollBar()->isVisible()
                            ? 0
                            : style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    const QRect screenArea = display->availableGeometry();
    const int frame = frameGeometry().width() - width();
    const int wanted =
        std::min(std::max(width(), header->length() + around), screenArea.width() - frame);
    if (wanted != width())
        resize(wanted, height());
    // Widened past the screen's edge: moved back inside it.
    const int overhang = frameGeometry().right() - screenArea.right();
    if (overhang > 0)
        move(std::max(screenArea.left(), x() - overhang), y());
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

// The figures mean little without the ranges they were made over.
void RankingWindow::showRanges()
{
    const FitSettings &f = ranking->fitSettings();
    const TransformArgs &t = ranking->transformOptions();
    const FitOptions &o = ranking->figureOptions();
    const QString fit =
        tr("Path fit: k %1 to %2 Å⁻¹ (window sill %3 Å⁻¹), k weight %4, R %5 to %6 Å; "
           "the %7 strongest paths up to %8 Å")
            .arg(f.kMin)
            .arg(f.kMax)
            .arg(f.dk)
            .arg(f.kWeight)
            .arg(f.rMin)
            .arg(f.rMax)
            .arg(f.maxPaths)
            .arg(f.pathRMax);
    const QString scaleOnly = tr("Scale-only figures: k %1 to %2 Å⁻¹, k weight %3; "
                                 "in R %4 to %5 Å")
                                  .arg(t.kMin)
                                  .arg(t.kMax)
                                  .arg(o.kWeight)
                                  .arg(o.rMin)
                                  .arg(o.rMax);
    Ranges->setText(fit + QLatin1Char('\n') + scaleOnly);
}

void RankingWindow::showFitProgress()
{
    const int pending = ranking->fitRunner()->pending();
    FitProgress->setText(pending > 0 ? tr("Fitting: %n job(s) to go", nullptr, pending)
                                     : QString());
    FitProgress->setVisible(pending > 0);
}
