#include "jobs/demeter.h"

#include "app/textfuncs.h"
#include "jobs/panelwidths.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>

namespace {

const char startingStyle[] = "background-color: rgb(255, 255, 128);";
const char runningStyle[] = "background-color: rgb(96, 255, 181);";
const char idleStyle[] = "background-color: rgb(213, 230, 255);";
const char failedStyle[] = "background-color: rgb(255, 150, 150);";

// Console output is UTF-8 up to the first NUL byte of a read; malformed
// sequences become replacement characters.
QString decodeOutput(QByteArray bytes)
{
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

} // namespace

Demeter::Demeter(const Settings &jobSettings, const QFileInfo &input, int startStage,
                 QWidget *parent)
    : QFrame(parent), settings(jobSettings), inputFile(input), stage(startStage)
{
    ui.setupUi(this);
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

void Demeter::setStatus(QLineEdit *field, const QString &text, const char *style)
{
    // A style sheet costs a style recomputation, worth it only on screen.
    if (!settings.batchRun)
        field->setStyleSheet(QString::fromLatin1(style));
    field->setText(text);
    // The field is narrow: show the start, which names the program.
    field->setCursorPosition(0);
}

void Demeter::showOutcome(Outcome outcome)
{
    if (outcome == ChiRead) {
        const QString read = tr("chi(k) read with %1 paths").arg(paths);
        ui.FeffStat->setToolTip(read);
        emit log(tr("Job %1 finished: %2").arg(baseName, read));
        return;
    }
    const QString cause = failureCause(outcome);
    const bool atomsStage = outcome == AtomsNotStarted || outcome == AtomsTimedOut ||
                            outcome == AtomsCancelled || outcome == InputMissing ||
                            outcome == AtomsFailed;
    if (atomsStage || atomsEndedBadly()) {
        setStatus(ui.AtomsStat, tr("A. Failed"), failedStyle);
        ui.AtomsStat->setToolTip(cause);
    }
    if (!atomsStage) {
        setStatus(ui.FeffStat, tr("F. Failed"), failedStyle);
        ui.FeffStat->setToolTip(cause);
    }
    emit log(tr("Job %1 failed: %2").arg(baseName, cause));
}

void Demeter::appendOutput(QProcess *proc, QTextEdit *pane, SlurmNotice *notice, QString *lastLine)
{
    while (!proc->atEnd()) {
        const QByteArray line = proc->readLine();
        if (notice)
            notice->feed(line);
        const QString text = decodeOutput(line);
        if (!text.trimmed().isEmpty())
            *lastLine = text.trimmed();
        pane->insertPlainText(text);
    }
}

// The open pane says whose output it shows: with hundreds of panels the row
// above it is not always in view.
void Demeter::showResAtoms(bool f)
{
    ui.ResAtoms->setVisible(f);
    showPaneTitle();
}

void Demeter::showResFeff(bool f)
{
    ui.ResFeff->setVisible(f);
    showPaneTitle();
}

void Demeter::showPaneTitle()
{
    const bool atoms = ui.ShowResAtoms->isChecked();
    const bool feff = ui.ShowResFeff->isChecked();
    ui.PaneTitle->setVisible(atoms || feff);
    if (!atoms && !feff)
        return;
    const QString input = inputFile.absoluteFilePath();
    ui.PaneTitle->setText(atoms && feff
                              ? tr("Atoms and FEFF output of %1 (%2)").arg(baseName, input)
                          : atoms ? tr("Atoms output of %1 (%2)").arg(baseName, input)
                                  : tr("FEFF output of %1 (%2)").arg(baseName, input));
}

void Demeter::msgFromAtoms()
{
    appendOutput(atomsProc, ui.ResAtoms, settings.batchRun ? &atomsNotice : nullptr, &atomsLast);
}

void Demeter::msgFromFeff()
{
    // ResAtoms is the source of feff.inp; ResFeff only shows the output.
    if (settings.batchRun)
        feffNotice.feed(feffProc->readAll());
    else
        appendOutput(feffProc, ui.ResFeff, nullptr, &feffLast);
}

void Demeter::showAtomsState(QProcess::ProcessState stat)
{
    switch (stat) {
    case QProcess::Starting:
        stage = AtomsStarting;
        setStatus(ui.AtomsStat, tr("A. Starting"), startingStyle);
        break;
    case QProcess::Running:
        emit procStarted();
        stage = AtomsRunning;
        atomsRan = true;
        setStatus(ui.AtomsStat, tr("A. Running"), runningStyle);
        break;
    case QProcess::NotRunning:
        if (atomsRan && atomsProc->hasTimedOut()) {
            // The output of a cut-off run is no FEFF input to go on with.
            emit procStopped();
            stage = Done;
            setStatus(ui.AtomsStat, tr("A. Finished"), idleStyle);
            endJob(AtomsTimedOut);
        } else if (atomsRan && atomsNotice.cancelled()) {
            emit procStopped();
            stage = Done;
            setStatus(ui.AtomsStat, tr("A. Finished"), idleStyle);
            endJob(AtomsCancelled);
        } else if (atomsRan) {
            finishAtoms();
        } else {
            setStatus(ui.AtomsStat, tr("A. Not Running"), idleStyle);
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
        setStatus(ui.FeffStat, tr("F. Starting"), startingStyle);
        break;
    case QProcess::Running:
        emit procStarted();
        stage = FeffRunning;
        feffRan = true;
        setStatus(ui.FeffStat, tr("F. Running"), runningStyle);
        break;
    case QProcess::NotRunning:
        if (feffRan) {
            emit procStopped();
            stage = Done;
            setStatus(ui.FeffStat, tr("F. Finished"), idleStyle);
            finishFeff();
        } else {
            setStatus(ui.FeffStat, tr("F. Not Running"), idleStyle);
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
        setStatus(ui.AtomsStat, tr("A. Finished"), idleStyle);
        return;
    }
    // Whatever Atoms printed is no FEFF input to go on with; feff.inp keeps
    // it (its error message) for the user to read.
    stage = Done;
    setStatus(ui.AtomsStat, tr("A. Finished"), idleStyle);
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
        setStatus(ui.FeffStat, tr("F. Not Running"), idleStyle);
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
    ui.ResFeff->clear();
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
