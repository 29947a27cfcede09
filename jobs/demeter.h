#ifndef DEMETER_H
#define DEMETER_H

#include "app/settings.h"
#include "chi/chi.h"
#include "chi/pathidentity.h"
#include "jobs/consoletext.h"
#include "jobs/jobprocess.h"
#include "jobs/slurmnotice.h"

#include "ui_demeter.h"

#include <QColor>
#include <QFileInfo>
#include <QFrame>
#include <QProcess>
#include <QString>
#include <QVector>

// One calculation job and its panel in the process list. A CIF job runs
// Atoms, whose console output becomes the FEFF input text; a FEFF input job
// starts from a copy of its file. Then FEFF runs in the job directory and the
// results are read into chi and chips.
//
// Every program that reaches the running state is reported once by
// procStarted() and once by procStopped(); a program that never ran reports
// neither. start() returns only after the running state (or the failure to
// start) has been reported, so a caller that counts programs sees the count
// raised when start() returns.
//
// ended() reports once per FEFF phase how the job came out: after the result
// reading, or when a program failed to start or ran past the time limit, or
// the input file had gone. A job retired for deletion reports nothing more.
class Demeter : public QFrame
{
    Q_OBJECT
public:
    enum JobStage : int
    {
        Done = 0,
        AtomsWaiting = 1,
        AtomsLaunched = 2,
        AtomsStarting = 3,
        AtomsRunning = 4,
        FeffWaiting = 6,
        FeffLaunched = 7,
        FeffStarting = 8,
        FeffRunning = 9,
    };

    enum Outcome : int
    {
        ChiRead,         // chi.dat gave chi(k) data
        NoChiFile,       // FEFF left no chi.dat
        NoChiData,       // chi.dat holds no chi(k) data
        AtomsNotStarted, // the Atoms program could not be started
        FeffNotStarted,  // the FEFF program could not be started
        AtomsTimedOut,   // Atoms was stopped at the time limit; FEFF never ran
        FeffTimedOut,    // FEFF was stopped at the time limit; nothing was read
        InputMissing,    // the CIF file was gone when the job was to start
        AtomsCancelled,  // Slurm cancelled the Atoms step (batch runs only)
        FeffCancelled,   // Slurm cancelled the FEFF step; nothing was read (batch runs only)
        AtomsFailed,     // Atoms ended by a signal or with an exit code; FEFF never ran
        FeffFailed,      // FEFF ended by a signal or with an exit code; nothing was read
        WriteFailed,     // feff.inp or chiR.dat could not be written (failure() says why)
    };
    Q_ENUM(Outcome)

    // stage is AtomsWaiting for a CIF file, FeffWaiting for a FEFF input file.
    Demeter(const Settings &settings, const QFileInfo &input, int stage, QWidget *parent = nullptr);
    // Stops a program that still runs (reporting procStopped() for it) so
    // that no process signal reaches the destroyed job.
    ~Demeter() override;

    Ui_Demeter ui;

    // Loads a FEFF input file into ResAtoms; does nothing for a CIF job or
    // when already loaded. The creator calls it after connecting log, so that
    // a failure message reaches the log; start() loads if nobody did.
    void loadInput();
    // The job is about to be deleted: start() and reStartFeff() do nothing
    // from now on, so a queued or just-finished job launches nothing more.
    void retire();
    // Retires the job and sends SIGTERM to its running programs;
    // waitPrograms() gives them time to end; the destructor kills the rest.
    void terminatePrograms();
    void waitPrograms(int ms);

    // Removes old result files of jobDir as the settings ask.
    void clearResultFiles();
    // Reads chi.dat after FEFF has finished and lists its chipNNNN.dat
    // files, whose curves are read with Show2 (loadPaths()); without chip
    // files (FEFF 8.5L) the paths are computed from feffNNNN.dat.
    void readResults();
    // Reads the path files of the last result reading into chips (once);
    // unloadPaths() frees them.
    void loadPaths();
    void unloadPaths();
    // The paths of the last result reading: FEFF's path files, or once read,
    // those with chi(k) data.
    int pathCount() const { return paths; }
    // FEFF's identity of each path of the last result reading: one per path
    // file, or once read, one per entry of chips.
    const QVector<PathIdentity> &pathIdentities() const { return pathIds; }
    // The line as it goes into feff.inp: replaced by the rewrite entry whose
    // name is the line's first word, otherwise unchanged.
    static QString applyFeffInps(const FeffInpList &entries, const QString &line);

    int currentStage() const { return stage; }
    QString directory() const { return jobDir; }
    const QFileInfo &input() const { return inputFile; }
    const Settings &jobSettings() const { return settings; }
    // The program runs, for their exit status; a program that never ran
    // reads as a normal exit with code 0.
    const QProcess &atomsRun() const { return *atomsProc; }
    const QProcess &feffRun() const { return *feffProc; }
    // Slurm's cancellation notice from the program's output (batch runs
    // only), e.g. "STEP 12.3 ON node7 CANCELLED AT ... DUE TO TIME LIMIT".
    QString atomsCancellation() const { return atomsNotice.cancellation(); }
    QString feffCancellation() const { return feffNotice.cancellation(); }
    // Why the job failed, for the outcomes whose word alone does not say
    // it: the file and the system's reason for WriteFailed, what was wrong
    // with chi.dat for NoChiData, how the program ended for AtomsFailed and
    // FeffFailed. Empty otherwise. Untranslated, as the batch run's result
    // lines are.
    const QString &failure() const { return failureText; }
    // Why the job failed, in a few words a user reads in the log and the
    // status tooltips ("Atoms ended with exit code 1: ...", "FEFF left no
    // chi.dat"); empty for an outcome with chi(k) data.
    QString failureCause(Outcome outcome) const;
    // The last line a program printed that was not blank.
    QString atomsLastLine() const { return atomsLast; }
    QString feffLastLine() const { return feffLast; }
    // The text of the console panes, open or closed: ResAtoms (Atoms' output
    // or the copied FEFF input, and any edits) and ResFeff.
    QString atomsOutput() const { return atomsText.text(); }
    QString feffOutput() const { return feffText.text(); }
    // The open panes; null while their boxes are unchecked.
    QTextEdit *atomsPane() const { return atomsText.pane(); }
    QTextEdit *feffPane() const { return feffText.pane(); }
    // The job's name as the legend and the log give it: its folder's name.
    QString jobName() const { return baseName; }

signals:
    void log(QString msg);
    void procStarted();
    void procStopped();
    void newChi();
    void showChanged();
    void show2BToggled(bool f);
    void deleteMe();
    void ended(Demeter::Outcome outcome);

private slots:
    void showResAtoms(bool f);
    void showResFeff(bool f);
    void msgFromAtoms();
    void msgFromFeff();
    void showAtomsState(QProcess::ProcessState stat);
    void showFeffState(QProcess::ProcessState stat);
    bool setupFeffInpFile();
    void prepareFeffInpFile();

public slots:
    void start();
    void reStartFeff();
    void showProcs();

private:
    void connectPanel();
    void showPaneTitle();
    void configureAtoms();
    void configureFeff();
    void launch(QProcess *proc);
    void stopProcess(JobProcess *proc, bool counted);
    void configureLimits(JobProcess *proc, const QString &name);
    void endJob(Outcome outcome);
    void finishFeff();
    void finishAtoms();
    bool usableChiK();
    bool readPath(const QString &fileName);
    void readModelPaths();
    void identifyPaths(const QStringList &chipFiles);
    void setStatus(QLineEdit *field, const QString &text, QRgb colour);

    // The fields' backgrounds are palette colours, not style sheets: a style
    // sheet of its own gives each field a style object and rule caches, and a
    // window holds hundreds of panels.
    static constexpr QRgb startingColour = qRgb(255, 255, 128);
    static constexpr QRgb runningColour = qRgb(96, 255, 181);
    static constexpr QRgb idleColour = qRgb(213, 230, 255);
    static constexpr QRgb failedColour = qRgb(255, 150, 150);
    static constexpr QRgb readOutColour = qRgb(255, 255, 224);

    // The status fields, tooltips and log line of an ended job (window only).
    void showOutcome(Outcome outcome);
    bool atomsEndedBadly() const;
    static QString programTrouble(const char *name, const QProcess &run, const QString &lastLine);
    static void appendOutput(QProcess *proc, ConsoleText *pane, SlurmNotice *notice,
                             QString *lastLine);

    Settings settings;
    QFileInfo inputFile;
    QString baseName;
    QString jobDir;
    JobProcess *atomsProc = nullptr;
    JobProcess *feffProc = nullptr;
    bool atomsRan = false;
    bool feffRan = false;
    int stage = AtomsWaiting;
    int paths = 0;
    QString failureText;
    QStringList pathFiles; // of the last result reading
    QVector<PathIdentity> pathIds;
    bool inputLoaded = false;
    bool retired = false;
    SlurmNotice atomsNotice; // batch runs only
    SlurmNotice feffNotice;  // batch runs only
    QString atomsLast;
    QString feffLast;
    ConsoleText atomsText; // the pane ResAtoms
    ConsoleText feffText;  // the pane ResFeff

public:
    Chi chi;
    QVector<Chi *> chips; // owned; read by loadPaths(), emptied by readResults()
    QColor color;         // invalid until the plot controller assigns one
};

#endif
