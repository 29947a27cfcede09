#include "app/batchrun.h"

#include "app/body.h"
#include "app/signalwatcher.h"
#include "app/textfuncs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

void writeLine(FILE *stream, const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // Line by line, so that a pipe or a cluster's log sees each job as it ends.
    std::fflush(stream);
}

// A field never holds the tab that separates fields or a line break.
QString field(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char('?');
    }
    return text;
}

QString seconds(int ms)
{
    return QString::number(ms / 1000.0);
}

// Why FEFF may have left nothing: Atoms or FEFF ended badly.
QString programTrouble(const Demeter &job)
{
    QStringList notes;
    auto note = [&notes](const char *name, const QProcess &run) {
        if (run.exitStatus() == QProcess::CrashExit)
            notes << QStringLiteral("%1 crashed").arg(QLatin1String(name));
        else if (run.exitCode() != 0)
            notes << QStringLiteral("%1 ended with exit code %2")
                         .arg(QLatin1String(name))
                         .arg(run.exitCode());
    };
    note("Atoms", job.atomsRun());
    note("FEFF", job.feffRun());
    return notes.isEmpty() ? QString()
                           : QStringLiteral(" (%1)").arg(notes.join(QStringLiteral("; ")));
}

QString description(const Demeter &job, Demeter::Outcome outcome)
{
    const Settings &s = job.jobSettings();
    switch (outcome) {
    case Demeter::ChiRead: {
        const int paths = job.pathCount();
        const bool written =
            job.chi.hasChiR &&
            QFileInfo::exists(joinPath(job.directory(), QStringLiteral("chiR.dat")));
        return QStringLiteral("chi(k) read with %1 %2, chiR.dat %3")
            .arg(paths)
            .arg(paths == 1 ? QStringLiteral("path") : QStringLiteral("paths"))
            .arg(written ? QStringLiteral("written") : QStringLiteral("not written"));
    }
    case Demeter::NoChiFile:
        return QStringLiteral("FEFF left no chi.dat") + programTrouble(job);
    case Demeter::NoChiData:
        return QStringLiteral("chi.dat holds no chi(k) data") + programTrouble(job);
    case Demeter::AtomsNotStarted:
        return QStringLiteral("Atoms could not start: %1").arg(s.atomsExe);
    case Demeter::FeffNotStarted:
        return QStringLiteral("FEFF could not start: %1").arg(s.feffExe);
    case Demeter::AtomsTimedOut:
        return QStringLiteral("Atoms stopped at the time limit of %1 s")
            .arg(seconds(s.procTimeout));
    case Demeter::FeffTimedOut:
        return QStringLiteral("FEFF stopped at the time limit of %1 s").arg(seconds(s.procTimeout));
    case Demeter::InputMissing:
        return QStringLiteral("the input file no longer exists");
    }
    return QString();
}

} // namespace

BatchRun::BatchRun(Body *owner) : QObject(owner), body(owner)
{
    clock.start();
    watcher = new SignalWatcher(this);
    connect(watcher, &SignalWatcher::caught, this, &BatchRun::interrupted);
    // A run without any job ends as soon as the event loop runs.
    scheduleCheck();
}

void BatchRun::watch(Demeter *job)
{
    ++watched;
    connect(job, &Demeter::ended, this,
            [this, job](Demeter::Outcome outcome) { jobEnded(job, outcome); });
}

void BatchRun::refuse()
{
    // Taken up by the check the constructor has queued: exit() has no effect
    // before the event loop runs.
    refused = true;
}

QString BatchRun::outcomeWord(Demeter::Outcome outcome)
{
    switch (outcome) {
    case Demeter::ChiRead:
        return QStringLiteral("ok");
    case Demeter::NoChiFile:
        return QStringLiteral("no-chi");
    case Demeter::NoChiData:
        return QStringLiteral("no-data");
    case Demeter::AtomsNotStarted:
        return QStringLiteral("atoms-not-started");
    case Demeter::FeffNotStarted:
        return QStringLiteral("feff-not-started");
    case Demeter::AtomsTimedOut:
        return QStringLiteral("atoms-timeout");
    case Demeter::FeffTimedOut:
        return QStringLiteral("feff-timeout");
    case Demeter::InputMissing:
        return QStringLiteral("no-input");
    }
    return QStringLiteral("unknown");
}

QString BatchRun::resultLine(const Demeter &job, Demeter::Outcome outcome)
{
    return QStringList{outcomeWord(outcome), field(job.input().absoluteFilePath()),
                       field(job.directory()), field(description(job, outcome))}
        .join(QLatin1Char('\t'));
}

void BatchRun::log(QString msg)
{
    writeLine(stderr, msg);
}

void BatchRun::jobEnded(const Demeter *job, Demeter::Outcome outcome)
{
    if (finished || stopping)
        return;
    if (outcome == Demeter::ChiRead)
        ++done;
    else
        ++failed;
    writeLine(stdout, resultLine(*job, outcome));
    // Checked from the event loop: when a job ends, the program that ended
    // may still be followed by the next one of the same job or queue.
    scheduleCheck();
}

void BatchRun::scheduleCheck()
{
    QTimer::singleShot(0, this, &BatchRun::checkIdle);
}

void BatchRun::checkIdle()
{
    if (refused) {
        finish(ConfigUnusable, false);
        return;
    }
    if (finished || body->queuedJobs() > 0 || body->runningPrograms() > 0)
        return;
    const bool allDone = done == watched;
    finish(allDone ? AllDone : SomeFailed, true);
}

void BatchRun::interrupted(int signo)
{
    if (finished || stopping)
        return;
    log(tr("Stopped by %1: ending %2 running programs")
            .arg(SignalWatcher::signalName(signo))
            .arg(body->runningPrograms()));
    // Marked first: the jobs that the stop ends report nothing.
    stopping = true;
    body->stopAllJobs();
    finish(SignalBase + signo, true);
}

void BatchRun::finish(int code, bool withSummary)
{
    if (finished)
        return;
    finished = true;
    if (withSummary) {
        const int unfinished = watched - done - failed;
        writeLine(stdout, QStringLiteral("summary\tdone=%1\tfailed=%2\tunfinished=%3\twall=%4")
                              .arg(done)
                              .arg(failed)
                              .arg(unfinished)
                              .arg(QString::number(clock.elapsed() / 1000.0, 'f', 3)));
    }
    QCoreApplication::exit(code);
}
