// How a job came out, in words for the user.
#include "jobs/demeter.h"

#include <QStringList>

bool Demeter::atomsEndedBadly() const
{
    return atomsRan &&
           (atomsProc->exitStatus() == QProcess::CrashExit || atomsProc->exitCode() != 0);
}

// "Atoms ended with exit code 1: <its last line>"; empty when it ended well.
QString Demeter::programTrouble(const char *name, const QProcess &run, const QString &lastLine)
{
    QString trouble;
    if (run.exitStatus() == QProcess::CrashExit)
        trouble = tr("%1 crashed").arg(QLatin1String(name));
    else if (run.exitCode() != 0)
        trouble = tr("%1 ended with exit code %2").arg(QLatin1String(name)).arg(run.exitCode());
    if (!trouble.isEmpty() && !lastLine.isEmpty())
        trouble += QStringLiteral(": ") + lastLine;
    return trouble;
}

QString Demeter::failureCause(Outcome outcome) const
{
    const QString seconds = QString::number(settings.procTimeout / 1000.0);
    switch (outcome) {
    case ChiRead:
        return QString();
    case AtomsNotStarted:
        return tr("Atoms could not start: %1").arg(settings.atomsExe);
    case FeffNotStarted:
        return tr("FEFF could not start: %1").arg(settings.feffExe);
    case AtomsTimedOut:
        return tr("Atoms stopped at the time limit of %1 s").arg(seconds);
    case FeffTimedOut:
        return tr("FEFF stopped at the time limit of %1 s").arg(seconds);
    case InputMissing:
        return tr("the input file no longer exists");
    case AtomsCancelled:
        return tr("Atoms cancelled by Slurm: %1").arg(atomsCancellation());
    case FeffCancelled:
        return tr("FEFF cancelled by Slurm: %1").arg(feffCancellation());
    case AtomsFailed:
        return programTrouble("Atoms", *atomsProc, atomsLast);
    case FeffFailed:
        return programTrouble("FEFF", *feffProc, feffLast);
    case WriteFailed:
        return failureText;
    case NoChiData:
        if (!failureText.isEmpty())
            return tr("chi.dat holds no usable chi(k) data: %1").arg(failureText);
        break;
    case NoChiFile:
        break;
    }
    // What went wrong first comes first: a bad Atoms run leaves FEFF an
    // error message for input.
    QStringList causes;
    const QString atoms = programTrouble("Atoms", *atomsProc, atomsLast);
    if (atomsRan && !atoms.isEmpty())
        causes << atoms;
    const QString feff = programTrouble("FEFF", *feffProc, feffLast);
    if (!feff.isEmpty())
        causes << feff;
    QString result =
        outcome == NoChiFile ? tr("FEFF left no chi.dat") : tr("chi.dat holds no chi(k) data");
    // FEFF 6 ends with code 0 after a fatal error; its last line says why.
    if (feff.isEmpty() && !feffLast.isEmpty())
        result += QStringLiteral(" (%1)").arg(feffLast);
    causes << result;
    return causes.join(QStringLiteral("; "));
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
        setStatus(ui.AtomsStat, tr("A. Failed"), failedColour);
        ui.AtomsStat->setToolTip(cause);
    }
    if (!atomsStage) {
        setStatus(ui.FeffStat, tr("F. Failed"), failedColour);
        ui.FeffStat->setToolTip(cause);
    }
    emit log(tr("Job %1 failed: %2").arg(baseName, cause));
}
