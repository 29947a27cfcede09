#include "gui/gui.h"

#include "jobs/demeter.h"

#include <QCloseEvent>
#include <QDebug>
#include <QScrollBar>

Gui::Gui(QWidget *parent) : QMainWindow(parent)
{
    setupUi(this);
}

void Gui::addDemeter(Demeter *job)
{
    ScrollA1->verticalScrollBar()->setValue(ScrollA1->verticalScrollBar()->maximum());
    ProcList->addWidget(job);
    jobs.append(job);
    connect(job, &Demeter::deleteMe, this, &Gui::deleteANoticedDemeter);
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
    // Deleted later because the request may come from the job's own button.
    // Retired now, so that neither the queue nor the job's own end of Atoms
    // launches anything in between.
    job->retire();
    job->deleteLater();
}

void Gui::deleteAll()
{
    while (!jobs.isEmpty())
        deleteADemeter(0);
}

void Gui::log(QString msg)
{
    qDebug() << msg;
    LogMsg->insertPlainText(msg + QLatin1Char('\n'));
}

void Gui::closeEvent(QCloseEvent *event)
{
    emit finishing();
    QMainWindow::closeEvent(event);
}
