#ifndef GUI_H
#define GUI_H

#include "ui_gui.h"

#include <QButtonGroup>
#include <QList>
#include <QMainWindow>

class ChiViewCtrl;
class JobCounter;
class QLabel;
class QProgressBar;
class RankingWindow;
class Demeter;
class SiteGroup;
class SiteGroupPanel;
class QCloseEvent;

// The main window: two drop areas, the process list with one panel per job,
// the log pane and the buttons that delete jobs and bring up the plots.
// Created by Body without a parent; lives until the process ends.
class Gui : public QMainWindow, private Ui_Gui
{
    Q_OBJECT
public:
    explicit Gui(QWidget *parent = nullptr);

    // Puts a new job's panel into the process list (whose content widget
    // becomes its parent), opens its FEFF pane and hands it to the plots.
    void addDemeter(Demeter *job);
    const QList<Demeter *> &demeters() const { return jobs; }
    // Puts a site group's panel into the process list and its average into
    // the plots. The group is not owned; deleting its panel deletes it and
    // its site jobs.
    void addSiteGroup(SiteGroup *group);
    const QList<SiteGroupPanel *> &siteGroupPanels() const { return groupPanels; }
    ChiViewCtrl *plotController() const { return plots; }
    RankingWindow *rankingWindow() const { return ranking; }
    const JobCounter *jobCounter() const { return counter; }

signals:
    void finishing();
    void droppedCifFiles(QString path, QString url, QString scheme, QString host);
    void droppedFeffFiles(QString path, QString url, QString scheme, QString host);

private slots:
    void controlShow2Bs(bool f);
    void deleteANoticedDemeter();
    void deleteADemeter(int idx);
    void confirmDeleteAll();
    void deleteAll();
    void deleteSiteGroup(SiteGroupPanel *panel);
    void showAll(bool shown);
    void markFailed();
    void showProgress();
    void showGroupTip(SiteGroup *group, const QString &tip);

public slots:
    void log(QString msg);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void widenForPanels();
    void tookDropped(QWidget *panel);
    void showFirstDropped();

    // The "Res. A." and "Res. F." boxes of every job: exactly one output
    // pane is open in the whole list.
    QButtonGroup jobGroup;
    QList<Demeter *> jobs; // in the order they were added
    QList<SiteGroupPanel *> groupPanels;
    // No parent and never deleted: the plot windows live as long as the
    // application.
    ChiViewCtrl *plots;
    RankingWindow *ranking; // child, a window of its own
    JobCounter *counter;    // child
    QLabel *counts;         // in the status bar
    QProgressBar *progress; // in the status bar
    QString baseTitle;
    QWidget *firstDropped = nullptr; // during a drop: its first new panel
    bool widenPending = false;
};

#endif
