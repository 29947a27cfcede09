#ifndef RANKINGWINDOW_H
#define RANKINGWINDOW_H

#include "ui_rankingwindow.h"

#include <QWidget>

class MeasuredCurves;
class QSortFilterProxyModel;
class RankingModel;

// The ranking of the jobs against the first measured curve, best first and
// sortable by any column, with the list of measured curves above it (check
// to draw, Remove to drop). A window of its own, opened from the main window.
class RankingWindow : public QWidget, private Ui_RankingWindow
{
    Q_OBJECT
public:
    explicit RankingWindow(MeasuredCurves *measured, QWidget *parent = nullptr);

    RankingModel *model() const { return ranking; }
    // The table as the user sees it, sorted.
    QSortFilterProxyModel *sortedModel() const { return sorted; }

private slots:
    void removeSelectedCurve();
    void showReference();

private:
    MeasuredCurves *measured;
    RankingModel *ranking;         // child
    QSortFilterProxyModel *sorted; // child
};

#endif
