#include "jobs/jobprocess.h"

#include <QDeadlineTimer>
#include <QThread>

#include <signal.h>
#include <string.h>
#include <unistd.h>

JobProcess::JobProcess(QObject *parent) : QProcess(parent)
{
    limitTimer.setSingleShot(true);
    graceTimer.setSingleShot(true);
    connect(&limitTimer, &QTimer::timeout, this, &JobProcess::expire);
    connect(&graceTimer, &QTimer::timeout, this, &JobProcess::killProgram);
    // Connected before any user of the class: the timers are settled before
    // a job's own state slot looks at hasTimedOut().
    connect(this, &QProcess::stateChanged, this, &JobProcess::followState);
}

QString JobProcess::badEnd() const
{
    // After a crash QProcess gives the number of the signal as exit code.
    if (exitStatus() == QProcess::CrashExit) {
        const char *abbrev = sigabbrev_np(exitCode());
        return abbrev ? QStringLiteral("signal SIG%1").arg(QLatin1String(abbrev))
                      : QStringLiteral("signal %1").arg(exitCode());
    }
    if (exitCode() != 0)
        return QStringLiteral("exit code %1").arg(exitCode());
    return QString();
}

void JobProcess::setupChildProcess()
{
    // Runs in the child between fork and exec: only async-signal-safe calls.
    if (ownGroup)
        ::setpgid(0, 0);
}

void JobProcess::followState(QProcess::ProcessState state)
{
    switch (state) {
    case QProcess::Starting:
        // What is left of a previous run being stopped goes first.
        if (graceTimer.isActive())
            killGroup();
        expired = false;
        groupId = 0;
        break;
    case QProcess::Running:
        // The child has called setpgid() before exec, and Running is
        // reported only after exec.
        if (ownGroup)
            groupId = processId();
        if (limitMs > 0)
            limitTimer.start(limitMs);
        break;
    case QProcess::NotRunning:
        limitTimer.stop();
        // Only members of a group that is being stopped are still waited for.
        if (groupId == 0 || !graceTimer.isActive()) {
            graceTimer.stop();
            groupId = 0;
        }
        break;
    }
}

void JobProcess::expire()
{
    expired = true;
    emit timedOut();
    terminateProgram();
}

void JobProcess::signalProgram(int sig)
{
    if (groupId > 0)
        ::kill(-pid_t(groupId), sig);
    // The program itself as well, in case it has left its group; only while
    // it has not been reaped, so that the number is still its own.
    const qint64 pid = processId();
    if (state() != QProcess::NotRunning && pid > 0)
        ::kill(pid_t(pid), sig);
}

void JobProcess::killGroup()
{
    graceTimer.stop();
    if (groupId > 0)
        ::kill(-pid_t(groupId), SIGKILL);
    groupId = 0;
}

bool JobProcess::groupAlive() const
{
    return groupId > 0 && ::kill(-pid_t(groupId), 0) == 0;
}

void JobProcess::terminateProgram()
{
    if (state() != QProcess::Running)
        return;
    signalProgram(SIGTERM);
    graceTimer.start(grace);
}

void JobProcess::waitForEnd(int ms)
{
    const QDeadlineTimer deadline(qMax(0, ms));
    if (state() != QProcess::NotRunning)
        waitForFinished(int(deadline.remainingTime()));
    // Members of the group are not our children: poll until they are gone.
    while (groupAlive() && !deadline.hasExpired())
        QThread::msleep(10);
}

void JobProcess::killProgram()
{
    killGroup();
    if (state() == QProcess::NotRunning)
        return;
    kill();
    waitForFinished();
}
