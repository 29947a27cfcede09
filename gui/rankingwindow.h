#ifndef RANKINGWINDOW_H
#define RANKINGWINDOW_H

#include "ui_rankingwindow.h"

#include <QWidget>

class MeasuredCurves;
class QSortFilterProxyModel;
class QTimer;
class RankingModel;

// The ranking of the jobs against the first measured curve, best first by
// the fit's R-factor and sortable by any column, with the list of measured
// curves above it (check to draw, Remove to drop), the ranges and weights the
// figures were made with, and how many fits are still running. A window of
// its own, opened from the main window.
class RankingWindow : public QWidget, private Ui_RankingWindow
{
    Q_OBJECT
public:
    explicit RankingWindow(MeasuredCurves *measured, QWidget *parent = nullptr);

    RankingModel *model() const { return ranking; }
    // The table as the user sees it, sorted.
    QSortFilterProxyModel *sortedModel() const { return sorted; }

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void removeSelectedCurve();
    void showReference();
    void showRanges();
    void showFitProgress();

private:
    void fitToTable();

    MeasuredCurves *measured;
    RankingModel *ranking;         // child
    QSortFilterProxyModel *sorted; // child
    QTimer *progressTimer;         // child; the count is shown a few times a second
};

#endif
