#include "jobs/jobcounter.h"

JobCounter::JobCounter(QObject *parent) : QObject(parent) {}

void JobCounter::add(Demeter *job)
{
    if (states.contains(job))
        return;
    states.insert(job, Queued);
    ++counts[Queued];
    connect(job, &Demeter::procStarted, this, [this, job] { move(job, Running); });
    connect(job, &Demeter::ended, this, [this, job](Demeter::Outcome outcome) {
        move(job, outcome == Demeter::ChiRead ? Finished : Failed);
    });
    // The job's destructor may still report a stopped program: by then the
    // job has left the counts.
    connect(job, &QObject::destroyed, this, [this](QObject *gone) {
        if (states.contains(gone)) {
            --counts[states.take(gone)];
            emit changed();
        }
    });
    emit changed();
}

void JobCounter::remove(Demeter *job)
{
    if (!states.contains(job))
        return;
    disconnect(job, nullptr, this, nullptr);
    --counts[states.take(job)];
    emit changed();
}

int JobCounter::percentDone() const
{
    if (states.isEmpty())
        return 100;
    return int(qint64(counts[Finished] + counts[Failed]) * 100 / states.size());
}

bool JobCounter::isFailed(const Demeter *job) const
{
    return states.value(job, Queued) == Failed;
}

void JobCounter::move(const QObject *job, State to)
{
    auto it = states.find(job);
    if (it == states.end() || it.value() == to)
        return;
    --counts[it.value()];
    ++counts[to];
    it.value() = to;
    emit changed();
}
