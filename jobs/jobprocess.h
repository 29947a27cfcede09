#ifndef JOBPROCESS_H
#define JOBPROCESS_H

#include <QProcess>
#include <QTimer>

// One external program of a job: a QProcess with an optional time limit and,
// when asked, a process group of its own, so that stopping the program also
// stops whatever it started (a wrapper script's children, a launcher's
// helpers).
//
// Stopping is SIGTERM first and SIGKILL graceMs later. With a group, the
// SIGKILL goes to the group even when the program itself has ended by then,
// so that children which ignore SIGTERM do not stay behind.
class JobProcess : public QProcess
{
    Q_OBJECT
public:
    explicit JobProcess(QObject *parent = nullptr);

    // Takes effect at the next start. In its own group the program no longer
    // receives the terminal's Ctrl-C; whoever runs it must stop it.
    void setOwnGroup(bool on) { ownGroup = on; }
    // Milliseconds a run may spend in the running state before it is stopped
    // (timedOut(), then terminateProgram()); 0 means none.
    void setTimeLimit(int ms) { limitMs = ms; }
    int timeLimit() const { return limitMs; }
    // Whether the current or last run was stopped by the time limit; cleared
    // when the next run starts.
    bool hasTimedOut() const { return expired; }

    // Milliseconds from SIGTERM to SIGKILL; graceMs by default.
    void setGrace(int ms) { grace = ms; }
    // SIGTERM to the running program (and its group); SIGKILL follows after
    // the grace time unless killProgram() comes first.
    void terminateProgram();
    // Waits up to ms for the program (and its group) to end after
    // terminateProgram(). Delivers the program's state reports.
    void waitForEnd(int ms);
    // SIGKILL to the program (and a group that is being stopped) and waits
    // (up to 30 s) until the program has been reaped.
    void killProgram();

    // How the last run ended when that was not a clean exit: "exit code 3"
    // or "signal SIGSEGV"; empty for exit code 0 and for a program that
    // never ran.
    QString badEnd() const;

    static constexpr int graceMs = 2000;

signals:
    // The time limit has run out; the stop follows right after.
    void timedOut();

protected:
    void setupChildProcess() override;

private:
    void followState(QProcess::ProcessState state);
    void expire();
    void signalProgram(int sig);
    void killGroup();
    bool groupAlive() const;

    QTimer limitTimer;
    QTimer graceTimer; // runs from SIGTERM to SIGKILL
    int limitMs = 0;
    int grace = graceMs;
    bool ownGroup = false;
    // The group of the current run, kept after the program's end only while
    // a stop is under way: once every member has gone, the number may be
    // given to an unrelated group.
    qint64 groupId = 0;
    bool expired = false;
};

#endif
