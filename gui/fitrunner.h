#ifndef FITRUNNER_H
#define FITRUNNER_H

#include "chi/agreement.h"
#include "chi/ftoptions.h"
#include "fit/fitresult.h"
#include "fit/fitsettings.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>
#include <QThreadPool>
#include <QVector>

#include <functional>

// What one fit is about: a job folder, or a site group's folder and its
// sites (folder, weight); and the chi(k) the scale-only figures are made of.
struct FitTask
{
    QString folder; // where fit.txt and fit.dat go
    QVector<QPair<QString, double>> sites;
    QVector<double> k, chi; // the job's (or the group's average) chi(k)
    bool isGroup() const { return !sites.isEmpty(); }
};

// Everything a job is held against the measured curve with.
struct FitOutcome
{
    AgreementFigures figures; // the scale-only figures
    FitResult fit;
};

// Runs the path fits of the window, and the scale-only figures, on worker
// threads and hands each outcome back on the GUI thread, so that the window
// never waits for them (300 jobs take seconds).
//
// Every request gets a ticket; only the newest ticket of a source is
// delivered, and only the newest ticket of a folder writes its files. A
// result made for an older measured curve or an older chi(k) of the job, or
// for a source that was forgotten (deleted) meanwhile, is dropped. Sources
// are compared by address and never dereferenced here.
class FitRunner : public QObject
{
    Q_OBJECT
public:
    // Worker-thread functions: the fit itself, and the writing of its files
    // (an empty text, or the reason it failed).
    using FitFunction =
        std::function<FitResult(const FitTask &, const MeasuredCurve &, const FitSettings &)>;
    using WriteFunction = std::function<QString(const QString &folder, const FitResult &,
                                                const MeasuredCurve &, const FitSettings &)>;

    explicit FitRunner(QObject *parent = nullptr);
    // Drops the fits not yet started and waits for the running ones.
    ~FitRunner() override;

    void setFunctions(FitFunction fitFunction, WriteFunction writeFunction);
    // The settings of later requests.
    void setOptions(const TransformArgs &transform, const FitOptions &figureOptions,
                    const FitSettings &fitSettings);
    const FitSettings &fitSettings() const { return settings; }
    // The curve every later request is fitted to. Results of earlier
    // requests are no longer delivered.
    void setMeasured(const MeasuredCurve &curve);

    void request(const QObject *source, const FitTask &task);
    // No result of source is delivered any more.
    void forget(const QObject *source);
    void forgetAll();
    // Forgets everything, drops the fits not yet started and waits for the
    // running ones (milliseconds each).
    void stop();
    int pending() const { return tickets.size(); }
    int workerCount() const { return pool.maxThreadCount(); }
    // For tests and shutdown: waits until no worker runs (results already
    // handed over still arrive through the event loop).
    void waitForWorkers() { pool.waitForDone(); }

    // The fit and file writing of the reference program's defaults.
    static FitResult fitWithEngine(const FitTask &task, const MeasuredCurve &curve,
                                   const FitSettings &settings);
    static QString writeWithEngine(const QString &folder, const FitResult &result,
                                   const MeasuredCurve &curve, const FitSettings &settings);
    static AgreementFigures figures(const FitTask &task, const MeasuredCurve &curve,
                                    const TransformArgs &transform, const FitOptions &options);

signals:
    void fitted(const QObject *source, const FitOutcome &outcome);
    void pendingChanged(int count);
    void log(QString msg);

private:
    struct Ticket
    {
        quint64 number = 0;
        QString folder;
    };

    // What one request runs with: copies, made when it is asked for.
    struct Work
    {
        quint64 ticket = 0;
        FitTask task;
        MeasuredCurve curve;
        TransformArgs transform;
        FitOptions figureOptions;
        FitSettings settings;
    };

    // A finished request on its way to the GUI thread.
    struct Done
    {
        const QObject *source = nullptr;
        quint64 ticket = 0;
        FitOutcome outcome;
        QString writeProblem;
    };

    void run(const QObject *source, const Work &work);
    void deliverSome();
    void deliver(const Done &done);
    bool newestForFolder(const QString &folder, quint64 ticket);
    void dropFolderTicket(const Ticket &ticket);

    FitFunction fitFunction;
    WriteFunction writeFunction;
    FitSettings settings;
    TransformArgs transformArgs;
    FitOptions figureOptions;
    MeasuredCurve measured;
    quint64 lastTicket = 0;
    QHash<const QObject *, Ticket> tickets; // GUI thread only
    QMutex folderLock;                      // guards folderTickets and the file writes
    QHash<QString, quint64> folderTickets;
    QMutex doneLock; // guards finished
    QVector<Done> finished;
    QThreadPool pool; // last member: destroyed (and waited for) first
};

#endif
