#include "app/batchrun.h"

#include "app/batchqueue.h"
#include "app/paramtable.h"
#include "app/resultline.h"
#include "app/settings.h"
#include "app/signalwatcher.h"
#include "app/textfuncs.h"
#include "jobs/sitegroup.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

void writeLine(FILE *stream, const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // Line by line, so that a pipe or a cluster's log sees each job as it ends.
    std::fflush(stream);
}

const char shareKey[] = "-share";

} // namespace

BatchRun::BatchRun(const ParamTable &args, QObject *parent)
    : QObject(parent), ranking(args), fits(args), paths(args)
{
    clock.start();
    watcher = new SignalWatcher(this);
    connect(watcher, &SignalWatcher::caught, this, &BatchRun::interrupted);
    shareGiven = args.hasKey(QLatin1String(shareKey));
    if (shareGiven)
        shareOption = args.exactValue(QLatin1String(shareKey));
}

bool BatchRun::optionsUsable(const Settings &settings)
{
    QStringList problems;
    QStringList notes;
    const bool rankingUsable = ranking.usable(problems, notes);
    const bool fitsUsable = fits.usable(settings.fitSettings(), ranking.firstMeasured(), problems);
    const bool pathsUsable = paths.usable(problems);
    for (const QString &note : qAsConst(notes))
        log(note);
    for (const QString &problem : qAsConst(problems))
        log(problem);
    return shareUsable() && rankingUsable && fitsUsable && pathsUsable;
}

bool BatchRun::shareUsable()
{
    if (!shareGiven)
        return true;
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,9})/(\\d{1,9})$"));
    const QRegularExpressionMatch match = pattern.match(shareOption);
    share = match.captured(1).toInt();
    shares = match.captured(2).toInt();
    if (match.hasMatch() && share >= 1 && share <= shares)
        return true;
    log(tr("-share %1 is not a share K/N with K from 1 to N").arg(shareOption));
    return false;
}

void BatchRun::refuse()
{
    refused = true;
    // The messages above also serve the window, which goes on with defaults
    // ("... is used"); a batch run does not.
    log(tr("No job was run: the configuration or the options above cannot be used"));
    // exit() has no effect before the event loop runs.
    QTimer::singleShot(0, this, [this] { finish(ConfigUnusable, false); });
}

void BatchRun::run(const Settings &settings, int maxProc, InputList inputs)
{
    if (shares > 1)
        inputs.keepShare(share, shares);
    total = inputs.size();
    ranking.setOptions(settings.transformArgs(), settings.fit);
    queue = new BatchQueue(settings, maxProc, this);
    connect(queue, &BatchQueue::log, this, &BatchRun::log);
    connect(queue, &BatchQueue::jobEnded, this, &BatchRun::jobEnded);
    connect(queue, &BatchQueue::sitesAdded, this, [this](int n) { total += n; });
    connect(queue, &BatchQueue::groupEnded, this, &BatchRun::groupEnded);
    connect(queue, &BatchQueue::drained, this, &BatchRun::drained);
    queue->run(std::move(inputs));
}

void BatchRun::log(QString msg)
{
    writeLine(stderr, msg);
}

void BatchRun::jobEnded(const Demeter &job, Demeter::Outcome outcome)
{
    if (ended || stopping)
        return;
    if (outcome == Demeter::ChiRead)
        ++done;
    else
        ++failed;
    writeLine(stdout, ResultLine::line(job, outcome));
    if (outcome == Demeter::ChiRead) {
        ranking.add(job.directory(), job.input().absoluteFilePath(), job.chi);
        noteWrite(fits.addJob(job.directory(), job.input().absoluteFilePath()));
    }
    QString problem;
    if (!paths.add(job.directory(), job.pathIdentities(), problem)) {
        log(problem);
        writeFailed = true;
    }
    emit jobReported(job, outcome);
}

void BatchRun::groupEnded(const SiteGroup &group, bool ok)
{
    // A signal that has arrived but not been handled yet has cut the site
    // listing short: the group did not fail, the run was stopped.
    if (ended || stopping || SignalWatcher::signalArrived())
        return;
    if (ok)
        ++done;
    else
        ++failed;
    writeLine(stdout, ResultLine::line(group, ok));
    if (!ok)
        return;
    ranking.addGroup(group.directory(), group.input().absoluteFilePath(), group.average);
    noteWrite(
        fits.addGroup(group.directory(), group.input().absoluteFilePath(), group.siteFolders()));
}

// A fit's files that could not be written fail the run, as a table does; the
// job's own result line stands (its chiR.dat is whole).
void BatchRun::noteWrite(const QString &problem)
{
    if (problem.isEmpty())
        return;
    log(problem);
    writeFailed = true;
}

void BatchRun::drained()
{
    if (SignalWatcher::signalArrived())
        return; // interrupted() ends the run
    finish(done == total ? AllDone : SomeFailed, true);
}

void BatchRun::interrupted(int signo)
{
    if (ended || stopping)
        return;
    log(tr("Stopped by %1: ending %2 running programs")
            .arg(SignalWatcher::signalName(signo))
            .arg(queue ? queue->runningPrograms() : 0));
    // Marked first: the jobs that the stop ends report nothing.
    stopping = true;
    if (queue)
        queue->stopAll();
    finish(SignalBase + signo, !refused);
}

void BatchRun::finish(int code, bool withSummary)
{
    if (ended)
        return;
    ended = true;
    if (withSummary) {
        // What was ranked is kept, also when a signal ends the run.
        QString problem;
        if (!ranking.write(problem)) {
            log(problem);
            writeFailed = true;
        }
        if (!fits.write(problem)) {
            log(problem);
            writeFailed = true;
        }
        // A table or fit file that was asked for and is not whole fails the run.
        if (writeFailed && code == AllDone)
            code = SomeFailed;
        const int unfinished = total - done - failed;
        QString summary = QStringLiteral("summary\tdone=%1\tfailed=%2\tunfinished=%3\twall=%4")
                              .arg(done)
                              .arg(failed)
                              .arg(unfinished)
                              .arg(QString::number(clock.elapsed() / 1000.0, 'f', 3));
        if (ranking.active())
            summary += QStringLiteral("\tbest=") + tableField(ranking.best());
        if (fits.active())
            summary += QStringLiteral("\tbest_fit=") + tableField(fits.best());
        writeLine(stdout, summary);
        emit finished(code);
    }
    QCoreApplication::exit(code);
}
