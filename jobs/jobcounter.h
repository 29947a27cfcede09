#ifndef JOBCOUNTER_H
#define JOBCOUNTER_H

#include "jobs/demeter.h"

#include <QHash>
#include <QObject>

// Counts the jobs of the process list by state, from the jobs' own signals:
// queued until a program of the job runs (or the job ends without one),
// running until the job reports how it came out, then finished or failed.
// A job fails as in the batch outcomes: every outcome but chi(k) data read.
// A FEFF re-run moves an ended job back to running. Destroyed jobs leave the
// counts.
class JobCounter : public QObject
{
    Q_OBJECT
public:
    enum State
    {
        Queued,
        Running,
        Finished,
        Failed
    };

    explicit JobCounter(QObject *parent = nullptr);

    void add(Demeter *job);
    // Forgets a job that is about to be deleted.
    void remove(Demeter *job);

    int count(State state) const { return counts[state]; }
    int total() const { return int(states.size()); }
    // Ended jobs (finished or failed) in per cent of all, rounded down; 100
    // for an empty list.
    int percentDone() const;
    bool isFailed(const Demeter *job) const;

signals:
    void changed();

private:
    void move(const QObject *job, State to);

    QHash<const QObject *, State> states;
    int counts[4] = {0, 0, 0, 0};
};

#endif
