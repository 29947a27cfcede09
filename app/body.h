#ifndef BODY_H
#define BODY_H

#include "app/paramtable.h"
#include "app/resultsfolder.h"
#include "app/settings.h"
#include "data/measureddata.h"
#include "jobs/foldernames.h"

#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class BatchRun;
class Demeter;
class Gui;

// The application's spine: reads the configuration, derives the settings,
// owns the process queue and relays the jobs' messages to the main window.
// Exactly one lives on main()'s stack for the whole run.
//
// With "-batch" there is no main window: Body hands the configuration and
// the start-up scan's inputs to a BatchRun, which makes, runs and reports
// the jobs and ends the run.
class Body : public QObject
{
    Q_OBJECT
public:
    explicit Body(const ParamTable &args, QObject *parent = nullptr);

    // Derives settings from params; creates the three working directories.
    void applySettings();
    static void makeDirs(const QString &cifDir, const QString &inpDir, const QString &resDir);

    // The configuration file named by the command line ("-c", then
    // "-config", else "config.cfg").
    static QString configFileName(const ParamTable &args);

    const Settings &currentSettings() const { return settings; }
    int maxProcesses() const { return maxProc; }
    int runningPrograms() const { return running; }
    int queuedJobs() const { return queue.size(); }
    Gui *mainWindow() const { return gui; } // null in a batch run
    bool isBatch() const { return batch != nullptr; }

    // Longest PROC_TIMEOUT accepted, in seconds (the timer counts in int ms).
    static constexpr int maxTimeLimit = 2000000;

    // Creates, wires, shows and queues one job; stage is Demeter::AtomsWaiting
    // or Demeter::FeffWaiting.
    // With SITES all a CIF file becomes a SiteGroup with one job per site.
    void createDemeter(const QFileInfo &file, int stage);
    // Starts the oldest queued job and removes it from the queue, which must
    // not be empty.
    void startNextDemeter();
    // One job per input file present at start-up: the CIF folder's *.cif and
    // *.inp (Atoms first), then the FEFF input folder's *.inp, each by name.
    // A batch run gets the list of names and makes the jobs as they start.
    void scanInputDirs();
    // A dropped file becomes a job only when it is a local file or a path
    // that may still appear; URLs of other machines and folders are refused
    // with a log line.
    bool acceptDropped(const QString &path, const QString &url, const QString &scheme,
                       const QString &host);

signals:
    void finishing();
    void log(QString msg);

private slots:
    void procStarted();
    void procStopped();
    // Starts queued jobs while fewer than maxProc programs run.
    void checkDemQue();

public slots:
    void droppedCifFiles(QString path, QString url, QString scheme, QString host);
    void droppedFeffFiles(QString path, QString url, QString scheme, QString host);

private:
    void applyTimeLimit(const QString &value);
    void applyMaxProc(const QString &value);
    bool applyFlag(const char *key);
    Demeter *makeDemeter(const QFileInfo &file, int stage, const Settings &jobSettings);
    // The settings of a new job or group with a folder no other one uses;
    // the name is given back when the owner is destroyed.
    Settings withOwnFolder(const QFileInfo &file);
    void createSiteGroup(const QFileInfo &file);
    void applySiteChoice(const QString &absorber, const QString &sites);
    bool configReadable(const QString &configName);
    bool batchUsable();
    void loadMeasuredCurves(const ParamTable &args);
    // Background settings and the .chik folder (RES_FILES/data) of measured mu(E).
    MeasuredData::Options measuredDataOptions() const;

    Gui *gui = nullptr;        // no parent, never deleted: lives until the process ends
    BatchRun *batch = nullptr; // child; only in a batch run
    bool timeLimitUsable = true;
    bool analysisKeysUsable = true; // the grid, FT_*, FIT_*, MAX_PROC and CLEAR_* keys
    ParamTable params;
    Settings settings;
    int maxProc = 0;
    // Held for the whole run; folderProblem says why it is not, and then no
    // job is made.
    ResultsFolder resultsFolder;
    QString folderProblem;
    int running = 0; // programs that jobs reported running and not yet stopped
    // Jobs not yet started, oldest first. Guarded: the main window may delete
    // a job while it waits.
    // Held as QObject: a job being destroyed is no longer a Demeter when it
    // reports its destruction, and must still be found here.
    QVector<QPointer<QObject>> queue;
    FolderNames folders; // of the jobs and site groups in the window
};

#endif
