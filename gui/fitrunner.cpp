#include "gui/fitrunner.h"

#include "chi/chi.h"
#include "fit/exafsfit.h"
#include "fit/fitreport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>

namespace {

constexpr qint64 sliceMs = 20;

} // namespace

// One core is left to the window (and to FEFF): fits on every core make the
// event loop wait for the scheduler.
FitRunner::FitRunner(QObject *parent)
    : QObject(parent), fitFunction(&FitRunner::fitWithEngine),
      writeFunction(&FitRunner::writeWithEngine)
{
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    // The window is never deleted: the workers are stopped before the
    // application's statics go.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &FitRunner::stop);
}

FitRunner::~FitRunner()
{
    stop();
}

void FitRunner::stop()
{
    forgetAll();
    pool.clear();
    pool.waitForDone();
}

void FitRunner::setFunctions(FitFunction fit, WriteFunction write)
{
    fitFunction = std::move(fit);
    writeFunction = std::move(write);
}

void FitRunner::setOptions(const TransformArgs &transform, const FitOptions &options,
                           const FitSettings &fitSettings)
{
    transformArgs = transform;
    figureOptions = options;
    settings = fitSettings;
}

void FitRunner::setMeasured(const MeasuredCurve &curve)
{
    measured = curve;
    forgetAll();
}

void FitRunner::request(const QObject *source, const FitTask &task)
{
    const quint64 ticket = ++lastTicket;
    tickets.insert(source, {ticket, task.folder});
    {
        QMutexLocker locked(&folderLock);
        folderTickets.insert(task.folder, ticket);
    }
    // Copies go to the worker: the window may change them while it runs.
    const Work work{ticket, task, measured, transformArgs, figureOptions, settings};
    pool.start([this, source, work] { run(source, work); });
    emit pendingChanged(pending());
}

// A forgotten request that has not started is not run at all, and one that
// runs writes no files.
void FitRunner::forget(const QObject *source)
{
    const auto it = tickets.find(source);
    if (it == tickets.end())
        return;
    dropFolderTicket(it.value());
    tickets.erase(it);
    emit pendingChanged(pending());
}

void FitRunner::forgetAll()
{
    if (tickets.isEmpty())
        return;
    for (const Ticket &ticket : qAsConst(tickets))
        dropFolderTicket(ticket);
    tickets.clear();
    emit pendingChanged(0);
}

void FitRunner::dropFolderTicket(const Ticket &ticket)
{
    QMutexLocker locked(&folderLock);
    if (folderTickets.value(ticket.folder) == ticket.number)
        folderTickets.remove(ticket.folder);
}

// Worker thread. A request overtaken before it started costs nothing; one
// overtaken while it ran leaves the folder's files to the newer request.
void FitRunner::run(const QObject *source, const Work &work)
{
    const QString &folder = work.task.folder;
    if (!newestForFolder(folder, work.ticket))
        return;
    FitOutcome outcome;
    outcome.figures = figures(work.task, work.curve, work.transform, work.figureOptions);
    outcome.fit = fitFunction(work.task, work.curve, work.settings);
    QString writeProblem;
    {
        // Held while writing, so that a newer request of the folder cannot
        // write between the check and the files.
        QMutexLocker locked(&folderLock);
        if (folderTickets.value(folder) != work.ticket)
            return;
        folderTickets.remove(folder);
        writeProblem = writeFunction(folder, outcome.fit, work.curve, work.settings);
    }
    // One queued call drains what has piled up meanwhile; queued to this
    // object, so that it is dropped if the object is destroyed first.
    QMutexLocker locked(&doneLock);
    finished.append({source, work.ticket, outcome, writeProblem});
    if (finished.size() == 1)
        QMetaObject::invokeMethod(this, &FitRunner::deliverSome, Qt::QueuedConnection);
}

// Results arriving faster than the window takes them are handed over in
// slices of at most sliceMs, with the event loop turning in between.
void FitRunner::deliverSome()
{
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        Done done;
        {
            QMutexLocker locked(&doneLock);
            if (finished.isEmpty())
                return;
            done = finished.takeFirst();
        }
        deliver(done);
        if (slice.elapsed() >= sliceMs) {
            QMetaObject::invokeMethod(this, &FitRunner::deliverSome, Qt::QueuedConnection);
            return;
        }
    }
}

void FitRunner::deliver(const Done &done)
{
    if (!done.writeProblem.isEmpty())
        emit log(done.writeProblem);
    const auto it = tickets.constFind(done.source);
    if (it == tickets.constEnd() || it.value().number != done.ticket)
        return;
    tickets.erase(it);
    emit fitted(done.source, done.outcome);
    emit pendingChanged(pending());
}

bool FitRunner::newestForFolder(const QString &folder, quint64 ticket)
{
    QMutexLocker locked(&folderLock);
    return folderTickets.value(folder) == ticket;
}

FitResult FitRunner::fitWithEngine(const FitTask &task, const MeasuredCurve &curve,
                                   const FitSettings &fitSettings)
{
    return task.isGroup() ? ExafsFit::fitGroup(task.sites, curve, fitSettings)
                          : ExafsFit::fitJob(task.folder, curve, fitSettings);
}

QString FitRunner::writeWithEngine(const QString &folder, const FitResult &result,
                                   const MeasuredCurve &curve, const FitSettings &settings)
{
    return FitReport::write(folder, result, settings, curve.path);
}

// Chi objects of this thread's own, from the shared (read-only) arrays.
AgreementFigures FitRunner::figures(const FitTask &task, const MeasuredCurve &curve,
                                    const TransformArgs &transform, const FitOptions &options)
{
    Chi data;
    data.k = curve.k;
    data.chi = curve.chi;
    data.sourcePath = curve.path;
    data.hasChiK = !curve.k.isEmpty();
    Chi job;
    job.k = task.k;
    job.chi = task.chi;
    job.hasChiK = !task.k.isEmpty();
    return Agreement::compute(data, job, transform, options);
}
