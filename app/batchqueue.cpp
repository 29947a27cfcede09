#include "app/batchqueue.h"

#include "jobs/sitegroup.h"

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
    while (!stopped && hasWaiting() && running < maxProc && existingJobs() < 2 * maxProc)
        startNext();
}

void BatchQueue::startNext()
{
    if (!pendingSites.isEmpty()) {
        const SiteJob next = pendingSites.takeFirst();
        startJob(next.group->siteSettings(next.site), next.group->input(), Demeter::AtomsWaiting,
                 &next);
        return;
    }
    const InputList::Entry entry = inputs.takeFirst();
    if (SiteGroup::wanted(settings, entry.file, entry.viaAtoms))
        startGroup(entry.file);
    else
        startJob(withOwnFolder(entry.file), entry.file,
                 entry.viaAtoms ? Demeter::AtomsWaiting : Demeter::FeffWaiting);
}

void BatchQueue::startGroup(const QFileInfo &file)
{
    auto *group = new SiteGroup(withOwnFolder(file), file, this);
    connect(group, &SiteGroup::log, this, &BatchQueue::log);
    connect(group, &SiteGroup::ended, this, [this, group](bool ok) {
        emit groupEnded(*group, ok);
        group->deleteLater();
    });
    if (!group->listSites()) {
        emit groupEnded(*group, false);
        group->deleteLater();
        return;
    }
    emit sitesAdded(group->siteCount());
    QList<SiteJob> more;
    for (int i = 0; i < group->siteCount(); ++i)
        more.append({group, i});
    pendingSites = more + pendingSites;
}

void BatchQueue::startJob(const Settings &jobSettings, const QFileInfo &file, int startStage,
                          const SiteJob *site)
{
    auto *job = new Demeter(jobSettings, file, startStage, nullptr);
    jobs.append(job);
    // Before it starts: a job that cannot start ends within start().
    if (site)
        sites.insert(job, *site);
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

Settings BatchQueue::withOwnFolder(const QFileInfo &file)
{
    QString note;
    const Settings s = folders.assign(settings, file, &note);
    if (!note.isEmpty())
        emit log(note);
    return s;
}

void BatchQueue::jobFinished(Demeter *job, Demeter::Outcome outcome)
{
    // Called from within the job's own process handling: it is deleted from
    // the event loop, not here.
    emit jobEnded(*job, outcome);
    // After the site's own line: the group's line follows its last site's.
    const auto site = sites.find(job);
    if (site != sites.end()) {
        const SiteJob which = site.value();
        sites.erase(site);
        which.group->siteEnded(which.site, job->chi, outcome);
    }
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
    if (drainedSent || hasWaiting() || running > 0 || existingJobs() > 0)
        return;
    drainedSent = true;
    QTimer::singleShot(0, this, &BatchQueue::drained);
}

void BatchQueue::stopAll()
{
    stopped = true;
    inputs = InputList();
    pendingSites.clear();
    sites.clear();
    for (Demeter *job : qAsConst(jobs))
        job->terminatePrograms();
    const QDeadlineTimer deadline(JobProcess::graceMs);
    for (Demeter *job : qAsConst(jobs))
        job->waitPrograms(int(deadline.remainingTime()));
    qDeleteAll(std::exchange(jobs, {}));
    qDeleteAll(std::exchange(ended, {}));
}
