#include "gui/gui.h"

#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "jobs/jobcounter.h"
#include "jobs/sitegroup.h"
#include "jobs/sitegrouppanel.h"
#include "plot/chiviewctrl.h"

#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDebug>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

Gui::Gui(QWidget *parent)
    : QMainWindow(parent), plots(new ChiViewCtrl(nullptr)),
      ranking(new RankingWindow(plots->measuredCurves(), this)), counter(new JobCounter(this))
{
    setupUi(this);
    baseTitle = windowTitle();
    counts = new QLabel(statusbar);
    counts->setObjectName(QStringLiteral("JobCounts"));
    progress = new QProgressBar(statusbar);
    progress->setObjectName(QStringLiteral("JobProgress"));
    progress->setMaximumWidth(240);
    statusbar->addWidget(counts);
    statusbar->addPermanentWidget(progress);
    connect(counter, &JobCounter::changed, this, &Gui::showProgress);
    connect(actionShowAll, &QAction::triggered, this, [this] { showAll(true); });
    connect(actionShowNone, &QAction::triggered, this, [this] { showAll(false); });
    connect(actionFailedOnly, &QAction::triggered, this, &Gui::markFailed);
    showProgress();
    plots->showChiK();
    plots->showChiR();

    connect(plots, &ChiViewCtrl::log, this, &Gui::log);
    connect(ranking->model(), &RankingModel::log, this, &Gui::log);
    connect(ranking->model(), &RankingModel::fitChanged, plots, &ChiViewCtrl::setFit);
    connect(ranking->model(), &RankingModel::groupTipChanged, this, &Gui::showGroupTip);
    connect(DeleteAll, &QPushButton::clicked, this, &Gui::confirmDeleteAll);
    connect(ShowChiK, &QPushButton::clicked, plots, &ChiViewCtrl::showChiK);
    connect(ShowChiR, &QPushButton::clicked, plots, &ChiViewCtrl::showChiR);
    connect(ShowRanking, &QPushButton::clicked, this, [this] {
        ranking->show();
        ranking->raise();
    });
    connect(DropCif, &DropArea::dropped, this, &Gui::droppedCifFiles);
    connect(DropFeff, &DropArea::dropped, this, &Gui::droppedFeffFiles);
    for (DropArea *area : {DropCif, DropFeff})
        connect(area, &DropArea::dropEnded, this, &Gui::showFirstDropped);
    // The log starts about eight lines tall; the splitter makes it taller.
    const int logHeight = 9 * LogMsg->fontMetrics().lineSpacing();
    LogSplitter->setSizes({std::max(1, height() - logHeight), logHeight});
    LogSplitter->setStretchFactor(0, 5);
    LogSplitter->setStretchFactor(1, 1);
    jobGroup.setExclusive(true);
}

void Gui::addDemeter(Demeter *job)
{
    // Both boxes start checked; joining the exclusive group leaves the new
    // job's "Res. F." as the only checked box, closing every other pane.
    jobGroup.addButton(job->ui.ShowResAtoms);
    jobGroup.addButton(job->ui.ShowResFeff);
    plots->addDemeter(job);
    ranking->model()->addDemeter(job);
    counter->add(job);
    ProcList->addWidget(job);
    jobs.append(job);
    widenForPanels();
    connect(job, &Demeter::show2BToggled, this, &Gui::controlShow2Bs);
    connect(job, &Demeter::deleteMe, this, &Gui::deleteANoticedDemeter);
    tookDropped(job);
    // A wheel step scrolls whole panel rows.
    const int row = job->ui.frame->sizeHint().height() + ProcList->verticalSpacing();
    ScrollA1->verticalScrollBar()->setSingleStep(std::max(row, 1));
}

// Only the area whose drop is being delivered takes this; the first panel a
// drop made is scrolled into view once the drop is over.
void Gui::tookDropped(QWidget *panel)
{
    DropCif->takeDrop();
    DropFeff->takeDrop();
    if ((DropCif->isDelivering() || DropFeff->isDelivering()) && !firstDropped)
        firstDropped = panel;
}

void Gui::showFirstDropped()
{
    QWidget *panel = firstDropped;
    firstDropped = nullptr;
    if (!panel)
        return;
    // New panels are shown from the event loop; then the pending layout
    // requests give them their places, and the list can scroll to them.
    QTimer::singleShot(0, this, [this, guarded = QPointer<QWidget>(panel)] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (guarded)
            ScrollA1->ensureWidgetVisible(guarded, 0, 0);
    });
}

// Grows the window (never shrinks it, never past the screen) until the
// panels fit without a sideways scroll bar, so a job's file name is seen
// whole. Once per burst of new panels, after they have been laid out.
void Gui::widenForPanels()
{
    if (widenPending)
        return;
    widenPending = true;
    QTimer::singleShot(0, this, [this] {
        widenPending = false;
        // Panels added to a shown window become visible later, and a layout
        // leaves hidden widgets out: their own hints are asked.
        int widest = 0;
        for (const QWidget *panel : qAsConst(jobs))
            widest = std::max(widest, panel->minimumSizeHint().width());
        for (const QWidget *panel : qAsConst(groupPanels))
            widest = std::max(widest, panel->minimumSizeHint().width());
        const QMargins m = ScrollA1->widget()->layout()->contentsMargins();
        const QScrollBar *bar = ScrollA1->verticalScrollBar();
        const int need = widest + m.left() + m.right() + width() - ScrollA1->viewport()->width() +
                         (bar->isVisible() ? 0 : bar->sizeHint().width());
        const QScreen *screen = QGuiApplication::primaryScreen();
        const int most = screen ? screen->availableGeometry().width() : need;
        if (width() < need)
            resize(std::min(need, most), height());
    });
}

void Gui::addSiteGroup(SiteGroup *group)
{
    plots->addSiteGroup(group);
    ranking->model()->addSiteGroup(group);
    auto *panel = new SiteGroupPanel(group);
    ProcList->addWidget(panel);
    groupPanels.append(panel);
    tookDropped(panel);
    widenForPanels();
    connect(group, &SiteGroup::changed, this, &Gui::showProgress);
    connect(panel, &SiteGroupPanel::deleteMe, this, [this, panel] { deleteSiteGroup(panel); });
}

void Gui::deleteSiteGroup(SiteGroupPanel *panel)
{
    if (!groupPanels.removeOne(panel))
        return;
    if (SiteGroup *group = panel->group()) {
        plots->removeSiteGroup(group);
        ranking->model()->removeSiteGroup(group);
        for (Demeter *job : group->jobs()) {
            const int idx = jobs.indexOf(job);
            if (idx >= 0)
                deleteADemeter(idx);
        }
        group->deleteLater();
    }
    panel->deleteLater();
}

void Gui::showGroupTip(SiteGroup *group, const QString &tip)
{
    for (SiteGroupPanel *panel : qAsConst(groupPanels))
        if (panel->group() == group)
            panel->setToolTip(tip);
}

void Gui::controlShow2Bs(bool f)
{
    if (!f)
        return;
    for (Demeter *job : qAsConst(jobs)) {
        if (job != sender() && job->ui.Show2->isChecked())
            job->ui.Show2->setChecked(false);
    }
}

void Gui::deleteANoticedDemeter()
{
    const int idx = jobs.indexOf(qobject_cast<Demeter *>(sender()));
    if (idx >= 0)
        deleteADemeter(idx);
}

void Gui::deleteADemeter(int idx)
{
    Demeter *job = jobs.takeAt(idx);
    plots->removeDemeter(job);
    ranking->model()->removeDemeter(job);
    counter->remove(job);
    // Deleted later because the request may come from the job's own button.
    // Retired now, so that neither the queue nor the job's own end of Atoms
    // launches anything in between.
    job->retire();
    job->deleteLater();
}

// "Del. All" while programs run asks first: hundreds of jobs are one click
// away from being stopped.
void Gui::confirmDeleteAll()
{
    const int running = counter->count(JobCounter::Running);
    if (running > 0 && QMessageBox::question(
                           this, tr("Delete all jobs"),
                           tr("Jobs running now: %1. Stop them and delete all %2 jobs?")
                               .arg(running)
                               .arg(jobs.size()),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    deleteAll();
}

void Gui::deleteAll()
{
    // Hundreds of jobs leave the heap full of small free blocks; once they
    // are deleted (from the event loop), the C library hands them back.
#ifdef __GLIBC__
    QTimer::singleShot(0, this, [] { malloc_trim(0); });
#endif
    while (!groupPanels.isEmpty())
        deleteSiteGroup(groupPanels.first());
    while (!jobs.isEmpty())
        deleteADemeter(0);
}

void Gui::showAll(bool shown)
{
    for (Demeter *job : qAsConst(jobs))
        job->ui.Show->setChecked(shown);
    for (SiteGroupPanel *panel : qAsConst(groupPanels))
        if (SiteGroup *group = panel->group())
            group->setShown(shown);
}

// The mark is a frame of the panel alone: the style sheet names the class,
// so the panel's fields keep their own looks.
void Gui::markFailed()
{
    Demeter *first = nullptr;
    for (Demeter *job : qAsConst(jobs)) {
        const bool failed = counter->isFailed(job);
        job->setStyleSheet(failed ? QStringLiteral("Demeter { border: 2px solid #d00000; }")
                                  : QString());
        if (failed && !first)
            first = job;
    }
    if (first)
        ScrollA1->ensureWidgetVisible(first);
    else
        log(tr("No job has failed"));
}

// Finished and failed jobs both count as done; the title carries the
// percentage only while jobs wait or run.
void Gui::showProgress()
{
    const int queued = counter->count(JobCounter::Queued);
    const int running = counter->count(JobCounter::Running);
    const int finished = counter->count(JobCounter::Finished);
    const int failed = counter->count(JobCounter::Failed);
    QString text = tr("Queued %1 · Running %2 · Finished %3 · Failed %4")
                       .arg(queued)
                       .arg(running)
                       .arg(finished)
                       .arg(failed);
    if (!groupPanels.isEmpty()) {
        int averaged = 0, groupsFailed = 0;
        for (const SiteGroupPanel *panel : qAsConst(groupPanels))
            if (const SiteGroup *group = panel->group()) {
                averaged += group->state() == SiteGroup::Averaged;
                groupsFailed += group->state() == SiteGroup::Failed;
            }
        text += tr(" · Site groups %1 (averaged %2, failed %3)")
                    .arg(groupPanels.size())
                    .arg(averaged)
                    .arg(groupsFailed);
    }
    counts->setText(text);
    progress->setRange(0, std::max(1, counter->total()));
    progress->setValue(counter->total() > 0 ? finished + failed : 0);
    setWindowTitle(queued + running > 0 ? tr("%1 % – %2").arg(counter->percentDone()).arg(baseTitle)
                                        : baseTitle);
}

// New lines go at the end whatever the user clicked; the pane follows them
// unless the user has scrolled up to read.
// New lines go at the end whatever the user clicked; the pane follows them
// unless the user has scrolled up to read.
void Gui::log(QString msg)
{
    qDebug() << msg;
    QScrollBar *bar = LogMsg->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor end(LogMsg->document());
    end.movePosition(QTextCursor::End);
    end.insertText(msg + QLatin1Char('\n'));
    if (following)
        bar->setValue(bar->maximum());
}

// Widths are known once the window is laid out for showing.
void Gui::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    widenForPanels();
}

// The jobs' programs run in process groups of their own, out of reach of the
// terminal's Ctrl-C and of the window's end: they are stopped here.
void Gui::closeEvent(QCloseEvent *event)
{
    for (Demeter *job : qAsConst(jobs))
        job->terminatePrograms();
    const QDeadlineTimer deadline(JobProcess::graceMs);
    for (Demeter *job : qAsConst(jobs))
        job->waitPrograms(int(deadline.remainingTime()));
    emit finishing();
    QMainWindow::closeEvent(event);
}
