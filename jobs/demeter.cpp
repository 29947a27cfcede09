#include "jobs/demeter.h"

#include "app/textfuncs.h"
#include "jobs/panelwidths.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>

namespace {

void setBackground(QLineEdit *field, QRgb colour)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    field->setPalette(palette);
}

} // namespace

Demeter::Demeter(const Settings &jobSettings, const QFileInfo &input, int startStage,
                 QWidget *parent)
    : QFrame(parent), settings(jobSettings), inputFile(input), stage(startStage)
{
    ui.setupUi(this);
    for (QLineEdit *field : {ui.TargetName, ui.AtomsStat, ui.FeffStat})
        setBackground(field, readOutColour);
    // The console panes go below the pane title, Atoms' above FEFF's.
    atomsText.setPlace(ui.gridLayout, 2, QStringLiteral("ResAtoms"));
    feffText.setPlace(ui.gridLayout, 3, QStringLiteral("ResFeff"));
    PanelWidths::fit(ui,
                     {tr("A. Starting"), tr("A. Running"), tr("A. Finished"), tr("A. Not Running"),
                      tr("A. Failed")},
                     {tr("F. Starting"), tr("F. Running"), tr("F. Finished"), tr("F. Not Running"),
                      tr("F. Failed")});
    connect(&chi, &Chi::log, this, &Demeter::log);
    connectPanel();

    baseName = settings.jobFolder.isEmpty() ? inputFile.completeBaseName() : settings.jobFolder;
    jobDir = joinPath(settings.resDir, baseName);
    QDir().mkpath(jobDir); // a failure shows when feff.inp cannot be written

    // Jobs are told apart by their file names: the field holds at least the
    // whole name and shows the end of the path; the tooltip gives all of it.
    ui.TargetName->setText(inputFile.absoluteFilePath());
    ui.TargetName->setToolTip(inputFile.absoluteFilePath());
    ui.TargetName->setCursorPosition(ui.TargetName->text().size());
    PanelWidths::fitReadOut(ui.TargetName, inputFile.fileName());

    showResAtoms(ui.ShowResAtoms->isChecked());
    showResFeff(ui.ShowResFeff->isChecked());
    connect(ui.ShowResAtoms, &QCheckBox::toggled, this, &Demeter::showResAtoms);
    connect(ui.ShowResFeff, &QCheckBox::toggled, this, &Demeter::showResFeff);

    // Both process objects are children of the job, but the destructor stops
    // them itself before Qt deletes them.
    atomsProc = new JobProcess(this);
    showAtomsState(atomsProc->state());
    if (stage == AtomsWaiting)
        configureAtoms();
    // The FEFF input file is loaded by loadInput(), once the creator has
    // connected log.
    inputLoaded = stage != FeffWaiting;

    feffProc = new JobProcess(this);
    showFeffState(feffProc->state());
    configureFeff();

    connect(ui.SaveFeffInp, &QPushButton::clicked, this, &Demeter::setupFeffInpFile);
    connect(ui.FeffRestart, &QPushButton::clicked, this, &Demeter::reStartFeff);
}

Demeter::~Demeter()
{
    retired = true;
    stopProcess(atomsProc, stage == AtomsRunning);
    stopProcess(feffProc, stage == FeffRunning);
    qDeleteAll(chips);
}

void Demeter::connectPanel()
{
    // Before the plots hear of Show2: they count the curves.
    connect(ui.Show2, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            loadPaths();
        else
            unloadPaths();
    });
    connect(ui.Show, &QCheckBox::toggled, this, &Demeter::showChanged);
    connect(ui.Show2, &QCheckBox::toggled, this, &Demeter::showChanged);
    connect(ui.Show2, &QCheckBox::toggled, this, &Demeter::show2BToggled);
    connect(ui.Delete, &QPushButton::clicked, this, &Demeter::deleteMe);
}

void Demeter::configureAtoms()
{
    atomsProc->setProgram(nativePath(settings.atomsExe));
    atomsProc->setArguments(
        settings.atomsArgs +
        QStringList{QStringLiteral("-c"), nativePath(inputFile.canonicalFilePath())});
    atomsProc->setProcessEnvironment(settings.environment);
    atomsProc->setProcessChannelMode(QProcess::MergedChannels);
    atomsProc->setWorkingDirectory(jobDir);
    connect(atomsProc, &QProcess::readyReadStandardOutput, this, &Demeter::msgFromAtoms);
    connect(atomsProc, &QProcess::readyReadStandardError, this, &Demeter::msgFromAtoms);
    connect(atomsProc, &QProcess::stateChanged, this, &Demeter::showAtomsState);
    configureLimits(atomsProc, QStringLiteral("Atoms"));
}

void Demeter::configureFeff()
{
    feffProc->setProgram(nativePath(settings.feffExe));
    qDebug() << "setting feff prog::" << feffProc->program();
    feffProc->setArguments(settings.feffArgs);
    feffProc->setProcessEnvironment(settings.environment);
    feffProc->setProcessChannelMode(QProcess::MergedChannels);
    feffProc->setWorkingDirectory(jobDir);
    connect(feffProc, &QProcess::readyReadStandardOutput, this, &Demeter::msgFromFeff);
    connect(feffProc, &QProcess::readyReadStandardError, this, &Demeter::msgFromFeff);
    connect(feffProc, &QProcess::stateChanged, this, &Demeter::showFeffState);
    configureLimits(feffProc, QStringLiteral("FEFF"));
}

void Demeter::configureLimits(JobProcess *proc, const QString &name)
{
    // Stopping a job ("Del.", a time limit, the end of a batch run) must
    // reach what its program started, such as a wrapper script's children.
    proc->setOwnGroup(true);
    proc->setTimeLimit(settings.procTimeout);
    connect(proc, &JobProcess::timedOut, this, [this, name] {
        const QString seconds = QString::number(settings.procTimeout / 1000.0);
        emit log(tr("%1 reached the time limit of %2 s and was stopped: %3")
                     .arg(name, seconds, inputFile.absoluteFilePath()));
    });
}

void Demeter::loadInput()
{
    if (inputLoaded)
        return;
    inputLoaded = true;
    prepareFeffInpFile();
}

void Demeter::retire()
{
    retired = true;
}

void Demeter::terminatePrograms()
{
    retired = true;
    atomsProc->terminateProgram();
    feffProc->terminateProgram();
}

void Demeter::waitPrograms(int ms)
{
    const QDeadlineTimer deadline(ms);
    for (JobProcess *proc : {atomsProc, feffProc})
        proc->waitForEnd(int(deadline.remainingTime()));
}

void Demeter::endJob(Outcome outcome)
{
    if (retired)
        return;
    if (!settings.batchRun)
        showOutcome(outcome);
    emit ended(outcome);
}

void Demeter::launch(QProcess *proc)
{
    proc->start(QIODevice::ReadWrite);
    // Qt on Unix reports Running, or the failure to start, only from the
    // event loop. Waiting for the exec here delivers that report (and with it
    // procStarted()) before start() returns, so the queue has counted this
    // program before it considers the next job.
    proc->waitForStarted();
}

void Demeter::stopProcess(JobProcess *proc, bool counted)
{
    // Disconnected first: the kill's state reports must not reach a job that
    // is being destroyed. The count is settled here instead.
    disconnect(proc, nullptr, this, nullptr);
    proc->killProgram();
    if (counted)
        emit procStopped();
}

void Demeter::setStatus(QLineEdit *field, const QString &text, QRgb colour)
{
    // The colour is for the screen only.
    if (!settings.batchRun)
        setBackground(field, colour);
    field->setText(text);
    // The field is narrow: show the start, which names the program.
    field->setCursorPosition(0);
}

void Demeter::showAtomsState(QProcess::ProcessState stat)
{
    switch (stat) {
    case QProcess::Starting:
        stage = AtomsStarting;
        setStatus(ui.AtomsStat, tr("A. Starting"), startingColour);
        break;
    case QProcess::Running:
        emit procStarted();
        stage = AtomsRunning;
        atomsRan = true;
        setStatus(ui.AtomsStat, tr("A. Running"), runningColour);
        break;
    case QProcess::NotRunning:
        atomsText.pack();
        if (atomsRan && atomsProc->hasTimedOut()) {
            // The output of a cut-off run is no FEFF input to go on with.
            emit procStopped();
            stage = Done;
            setStatus(ui.AtomsStat, tr("A. Finished"), idleColour);
            endJob(AtomsTimedOut);
        } else if (atomsRan && atomsNotice.cancelled()) {
            emit procStopped();
            stage = Done;
            setStatus(ui.AtomsStat, tr("A. Finished"), idleColour);
            endJob(AtomsCancelled);
        } else if (atomsRan) {
            finishAtoms();
        } else {
            setStatus(ui.AtomsStat, tr("A. Not Running"), idleColour);
            if (stage == AtomsStarting)
                endJob(AtomsNotStarted);
        }
        break;
    }
}

void Demeter::showFeffState(QProcess::ProcessState stat)
{
    switch (stat) {
    case QProcess::Starting:
        stage = FeffStarting;
        setStatus(ui.FeffStat, tr("F. Starting"), startingColour);
        break;
    case QProcess::Running:
        emit procStarted();
        stage = FeffRunning;
        feffRan = true;
        setStatus(ui.FeffStat, tr("F. Running"), runningColour);
        break;
    case QProcess::NotRunning:
        feffText.pack();
        if (feffRan) {
            emit procStopped();
            stage = Done;
            setStatus(ui.FeffStat, tr("F. Finished"), idleColour);
            finishFeff();
        } else {
            setStatus(ui.FeffStat, tr("F. Not Running"), idleColour);
            if (stage == FeffStarting)
                endJob(FeffNotStarted);
        }
        break;
    }
}

void Demeter::finishAtoms()
{
    // The queue may admit another job here, before this job's FEFF run
    // raises the count again.
    emit procStopped();
    const QString badEnd = atomsProc->badEnd();
    if (badEnd.isEmpty()) {
        stage = FeffWaiting;
        start();
        setStatus(ui.AtomsStat, tr("A. Finished"), idleColour);
        return;
    }
    // Whatever Atoms printed is no FEFF input to go on with; feff.inp keeps
    // it (its error message) for the user to read.
    stage = Done;
    setStatus(ui.AtomsStat, tr("A. Finished"), idleColour);
    if (!retired)
        setupFeffInpFile();
    failureText = QStringLiteral("Atoms ended with %1").arg(badEnd);
    emit log(tr("%1: Atoms ended with %2").arg(inputFile.absoluteFilePath(), badEnd));
    endJob(AtomsFailed);
}

void Demeter::finishFeff()
{
    // A job on its way out reads nothing more; the results of a run cut off
    // at the time limit are not worth reading.
    if (retired)
        return;
    if (feffProc->hasTimedOut()) {
        endJob(FeffTimedOut);
        return;
    }
    // QProcess has read all output before it reports NotRunning.
    if (feffNotice.cancelled()) {
        endJob(FeffCancelled);
        return;
    }
    // A crashed FEFF may have left half a chi.dat; nothing it left is used.
    const QString badEnd = feffProc->badEnd();
    if (!badEnd.isEmpty()) {
        failureText = QStringLiteral("FEFF ended with %1").arg(badEnd);
        emit log(tr("%1: FEFF ended with %2").arg(inputFile.absoluteFilePath(), badEnd));
        endJob(FeffFailed);
        return;
    }
    const bool chiFile = QFileInfo::exists(joinPath(jobDir, QStringLiteral("chi.dat")));
    readResults();
    if (chi.hasChiK)
        endJob(failureText.isEmpty() ? ChiRead : WriteFailed);
    else
        endJob(chiFile ? NoChiData : NoChiFile);
}

void Demeter::start()
{
    qDebug() << "demetr :: Start";
    if (retired)
        return;
    if (stage == AtomsWaiting) {
        // Atoms would only fail on it and FEFF would then run on nothing.
        // Asked afresh: the QFileInfo keeps what it saw when the job was made.
        if (!QFileInfo::exists(inputFile.absoluteFilePath())) {
            emit log(tr("The input file %1 no longer exists; the job is not started.")
                         .arg(inputFile.absoluteFilePath()));
            endJob(InputMissing);
            return;
        }
        stage = AtomsLaunched;
        launch(atomsProc);
        return;
    }
    if (stage != FeffWaiting)
        return;
    loadInput();
    failureText.clear();
    // FEFF would run on an old feff.inp, or on none.
    if (!setupFeffInpFile()) {
        stage = Done;
        setStatus(ui.FeffStat, tr("F. Not Running"), idleColour);
        endJob(WriteFailed);
        return;
    }
    stage = FeffLaunched;
    clearResultFiles();
    QDir::setCurrent(jobDir);
    qDebug() << "demeter :: feff start";
    // A run that never reaches Running must not be taken for a finished one:
    // no procStopped() without procStarted(), no re-reading of old results.
    feffRan = false;
    feffNotice.clear();
    launch(feffProc);
}

void Demeter::reStartFeff()
{
    if (stage != Done || retired)
        return;
    feffText.clear();
    feffLast.clear();
    ui.FeffStat->setToolTip(QString());
    stage = FeffWaiting;
    start();
}

void Demeter::showProcs()
{
    const QString none = QStringLiteral("No exe prog");
    qDebug() << "Atoms:";
    qDebug() << (atomsProc ? atomsProc->program() : none);
    qDebug() << (atomsProc ? atomsProc->arguments() : QStringList{none});
    qDebug() << "FeFF:";
    qDebug() << (feffProc ? feffProc->program() : none);
    qDebug() << (feffProc ? feffProc->arguments() : QStringList{none});
}
