#include "app/batchqueue.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <utility>

BatchQueue::BatchQueue(const Settings &jobSettings, int limit, QObject *parent)
    : QObject(parent), settings(jobSettings), maxProc(limit)
{}

BatchQueue::~BatchQueue()
{
    stopped = true;
    qDeleteAll(std::exchange(jobs, {}));
    qDeleteAll(std::exchange(ended, {}));
}

void BatchQueue::run(InputList list)
{
    inputs = std::move(list);
    fill();
    checkDrained();
}

void BatchQueue::fill()
{
    // A job whose program fails to start ends within start() and raises no
    // count; the bound on existing jobs keeps a long row of those from
    // piling up before the event loop deletes them.
    while (!stopped && !inputs.isEmpty() && running < maxProc && existingJobs() < 2 * maxProc)
        startNext();
}

void BatchQueue::startNext()
{
    const InputList::Entry entry = inputs.takeFirst();
    auto *job = new Demeter(settings, entry.file,
                            entry.viaAtoms ? Demeter::AtomsWaiting : Demeter::FeffWaiting, nullptr);
    jobs.append(job);
    connect(job, &Demeter::log, this, &BatchQueue::log);
    connect(job, &Demeter::procStarted, this, [this] { ++running; });
    connect(job, &Demeter::procStopped, this, [this] {
        --running;
        fill();
    });
    connect(job, &Demeter::ended, this,
            [this, job](Demeter::Outcome outcome) { jobFinished(job, outcome); });
    job->loadInput(); // after log is connected, so its failure is reported
    job->start();
    // QProcess refuses an empty program name without any state report, so
    // such a job would never end by itself.
    const int stage = job->currentStage();
    if (stage == Demeter::AtomsLaunched || stage == Demeter::FeffLaunched)
        jobFinished(job, stage == Demeter::AtomsLaunched ? Demeter::AtomsNotStarted
                                                         : Demeter::FeffNotStarted);
}

void BatchQueue::jobFinished(Demeter *job, Demeter::Outcome outcome)
{
    // Called from within the job's own process handling: it is deleted from
    // the event loop, not here.
    emit jobEnded(*job, outcome);
    job->retire();
    jobs.removeOne(job);
    ended.append(job);
    if (ended.size() == 1)
        QTimer::singleShot(0, this, &BatchQueue::deleteEnded);
}

void BatchQueue::deleteEnded()
{
    qDeleteAll(std::exchange(ended, {}));
    fill();
    checkDrained();
}

void BatchQueue::checkDrained()
{
    if (drainedSent || !inputs.isEmpty() || running > 0 || existingJobs() > 0)
        return;
    drainedSent = true;
    QTimer::singleShot(0, this, &BatchQueue::drained);
}

void BatchQueue::stopAll()
{
    stopped = true;
    inputs = InputList();
    for (Demeter *job : qAsConst(jobs))
        job->terminatePrograms();
    const QDeadlineTimer deadline(JobProcess::graceMs);
    for (Demeter *job : qAsConst(jobs))
        job->waitPrograms(int(deadline.remainingTime()));
    qDeleteAll(std::exchange(jobs, {}));
    qDeleteAll(std::exchange(ended, {}));
}
