#ifndef BATCHRUN_H
#define BATCHRUN_H

#include "app/batchfit.h"
#include "app/batchpaths.h"
#include "app/batchranking.h"
#include "app/inputlist.h"
#include "jobs/demeter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class BatchQueue;
class ParamTable;
class SignalWatcher;
class SiteGroup;
struct Settings;

// A batch run ("-batch"): runs the inputs through a BatchQueue, writes one
// line on standard output per ended job (see ResultLine), the log on
// standard error, and the summary line and the exit of the event loop once
// no job is left. SIGINT and SIGTERM stop every program and end the run.
//
// Standard output, fields separated by one tab:
//   <outcome> <input file> <job folder> <description>
//   summary done=<n> failed=<n> unfinished=<n> wall=<seconds>
// Exit codes: 0 every job gave chi(k) data, 1 any did not, 2 the configuration
// or the command line could not be used (nothing ran, nothing on standard
// output), 128 + the signal number when stopped by a signal (130 SIGINT,
// 143 SIGTERM).
//
// Option "-share K/N": only the K-th of N shares of the inputs (K from 1 to
// N; see InputList::keepShare), for job arrays.
//
// Options "-data FILE" (repeatable) and "-rank FILE": every job with chi(k)
// data is held against the first measured curve (see BatchRanking); the
// summary line ends with best=<job folder>, and the ranking is written.
// With "-data", every job and site group with FEFF path files is also fitted
// (see BatchFit): fit.txt and fit.dat in its folder, the summary line ends
// with best_fit=<folder>, and "-fit FILE" writes the table of the fits.
class BatchRun : public QObject
{
    Q_OBJECT
public:
    // Created before anything can log or end; reads its own options.
    explicit BatchRun(const ParamTable &args, QObject *parent = nullptr);

    enum ExitCode : int
    {
        AllDone = 0,
        SomeFailed = 1,
        ConfigUnusable = 2,
        SignalBase = 128,
    };

    // Whether the batch's own options can be used; reports what cannot.
    bool optionsUsable(const Settings &settings);
    // How -data files of measured mu(E) are made chi(k); before optionsUsable.
    void setDataOptions(const MeasuredData::Options &options) { ranking.setDataOptions(options); }
    // The run cannot be used: exit with ConfigUnusable once the event loop
    // runs.
    void refuse();
    // Runs the inputs (of them the chosen share), maxProc programs at a time.
    void run(const Settings &settings, int maxProc, InputList inputs);

signals:
    // A job's result line has been written. The job is deleted after the
    // receivers have returned: they may read it now and must not keep it.
    void jobReported(const Demeter &job, Demeter::Outcome outcome);
    // The run ends with this exit code, after the summary line; not emitted
    // when the run was refused.
    void finished(int exitCode);

public slots:
    // One log message as one line on standard error.
    void log(QString msg);

private:
    bool shareUsable();
    void jobEnded(const Demeter &job, Demeter::Outcome outcome);
    void groupEnded(const SiteGroup &group, bool ok);
    void noteWrite(const QString &problem);
    void drained();
    void interrupted(int signo);
    void finish(int code, bool withSummary);

    BatchQueue *queue = nullptr; // child, made by run()
    SignalWatcher *watcher;
    QElapsedTimer clock;
    BatchRanking ranking;
    BatchFit fits;
    BatchPaths paths;
    bool shareGiven = false;
    QString shareOption;
    int share = 1;
    int shares = 1;
    int total = 0; // result lines to come: inputs taken in, site jobs of groups
    int done = 0;
    int failed = 0;
    bool refused = false;  // the configuration cannot be used
    bool stopping = false; // a signal is being handled
    bool ended = false;    // the exit has been requested
    // A -paths, -rank or -fit table or a fit's files could not be written whole.
    bool writeFailed = false;
};

#endif
