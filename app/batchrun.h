#ifndef BATCHRUN_H
#define BATCHRUN_H

#include "jobs/demeter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class Body;
class SignalWatcher;

// The reporting side of a batch run ("-batch"): one line on standard output
// per ended job, the log on standard error, and the summary line and the exit
// of the event loop once no job waits and no program runs. SIGINT and SIGTERM
// stop every program and end the run.
//
// Standard output, fields separated by one tab:
//   <outcome> <input file> <job folder> <description>
//   summary done=<n> failed=<n> unfinished=<n> wall=<seconds>
// Exit codes: 0 every job gave chi(k) data, 1 any did not, 2 the configuration
// could not be used (nothing ran, nothing on standard output), 128 + the
// signal number when stopped by a signal (130 SIGINT, 143 SIGTERM).
class BatchRun : public QObject
{
    Q_OBJECT
public:
    // Created by body's constructor before any job exists; a child of body.
    explicit BatchRun(Body *body);

    enum ExitCode : int
    {
        AllDone = 0,
        SomeFailed = 1,
        ConfigUnusable = 2,
        SignalBase = 128,
    };

    // Reports the job's outcome when it ends.
    void watch(Demeter *job);
    // The configuration cannot be used: exit with ConfigUnusable once the
    // event loop runs.
    void refuse();

    // The outcome word of a result line.
    static QString outcomeWord(Demeter::Outcome outcome);
    // The whole result line of an ended job, without the line feed.
    static QString resultLine(const Demeter &job, Demeter::Outcome outcome);

public slots:
    // One log message as one line on standard error.
    void log(QString msg);

private:
    void jobEnded(const Demeter *job, Demeter::Outcome outcome);
    void scheduleCheck();
    void checkIdle();
    void interrupted(int signo);
    void finish(int code, bool withSummary);

    Body *body;
    SignalWatcher *watcher;
    QElapsedTimer clock;
    int watched = 0;
    int done = 0;
    int failed = 0;
    bool refused = false;  // the configuration cannot be used
    bool stopping = false; // a signal is being handled
    bool finished = false; // the exit has been requested
};

#endif
