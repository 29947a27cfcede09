#ifndef BATCHQUEUE_H
#define BATCHQUEUE_H

#include "app/inputlist.h"
#include "app/settings.h"
#include "jobs/demeter.h"
#include "jobs/foldernames.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

// The process queue of a batch run. Unlike the window's queue, which makes
// a job for every input at once, it makes a job only when the job can start
// and frees it once its end has been reported, so that the memory of a run
// depends on MAX_PROC, not on the number of inputs.
//
// The admission rule is the window's: a job starts while fewer than maxProc
// programs run (a CIF job's FEFF run still follows its Atoms run at once). In
// addition, at most 2 * maxProc jobs exist at a time, ended ones awaiting
// their deletion included.
class SiteGroup;

class BatchQueue : public QObject
{
    Q_OBJECT
public:
    BatchQueue(const Settings &settings, int maxProc, QObject *parent = nullptr);
    // Deletes the jobs that are left (their programs are killed).
    ~BatchQueue() override;

    // Takes the inputs and starts as many jobs as may run.
    void run(InputList inputs);
    // Drops the waiting inputs, sends SIGTERM to every running program,
    // waits up to JobProcess::graceMs for them, and deletes every job (which
    // kills what is left). Reports no job's end.
    void stopAll();

    int waitingInputs() const { return inputs.size() + pendingSites.size(); }
    int runningPrograms() const { return running; }
    int existingJobs() const { return jobs.size() + ended.size(); }

signals:
    void log(QString msg);
    // A job has ended. The job is deleted after the receivers have returned:
    // they may read it now and must not keep it.
    void jobEnded(const Demeter &job, Demeter::Outcome outcome);
    // With SITES all: a CIF input became a group of n site jobs, each of
    // which reports jobEnded(); the group reports groupEnded() once after its
    // last site (or at once when its sites could not be listed). The group
    // is deleted after the receivers have returned.
    void sitesAdded(int n);
    void groupEnded(const SiteGroup &group, bool ok);
    // No input waits, no program runs and no job is left; emitted from the
    // event loop, once.
    void drained();

private:
    void fill();
    void startNext();
    void startGroup(const QFileInfo &file);
    struct SiteJob
    {
        SiteGroup *group; // child of the queue until it has ended
        int site;
    };
    void startJob(const Settings &jobSettings, const QFileInfo &file, int startStage,
                  const SiteJob *site = nullptr);
    bool hasWaiting() const { return !inputs.isEmpty() || !pendingSites.isEmpty(); }
    void jobFinished(Demeter *job, Demeter::Outcome outcome);
    void deleteEnded();
    void checkDrained();
    Settings withOwnFolder(const QFileInfo &file);

    Settings settings;
    int maxProc;
    InputList inputs;
    int running = 0;                 // programs reported running and not yet stopped
    QList<Demeter *> jobs;           // owned; made and not ended yet
    QList<Demeter *> ended;          // owned; ended, deleted from the event loop
    QList<SiteJob> pendingSites;     // site jobs not made yet, before the inputs
    QHash<Demeter *, SiteJob> sites; // made site jobs
    // Never given back: a later input of the run with the name of an ended
    // job must not overwrite its results.
    FolderNames folders;
    bool stopped = false;
    bool drainedSent = false;
};

#endif
