#include "app/resultline.h"

#include "app/textfuncs.h"
#include "jobs/sitegroup.h"

#include <QFileInfo>
#include <QStringList>

namespace {

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

} // namespace

namespace ResultLine {

QString outcomeWord(Demeter::Outcome outcome)
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
    case Demeter::AtomsCancelled:
        return QStringLiteral("atoms-cancelled");
    case Demeter::FeffCancelled:
        return QStringLiteral("feff-cancelled");
    case Demeter::AtomsFailed:
        return QStringLiteral("atoms-failed");
    case Demeter::FeffFailed:
        return QStringLiteral("feff-failed");
    case Demeter::WriteFailed:
        return QStringLiteral("write-failed");
    }
    return QStringLiteral("unknown");
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
        if (!job.failure().isEmpty())
            return QStringLiteral("chi.dat holds no usable chi(k) data: ") + job.failure();
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
    case Demeter::AtomsCancelled:
        return QStringLiteral("Atoms cancelled by Slurm: %1").arg(job.atomsCancellation());
    case Demeter::FeffCancelled:
        return QStringLiteral("FEFF cancelled by Slurm: %1").arg(job.feffCancellation());
    case Demeter::AtomsFailed:
    case Demeter::FeffFailed:
    case Demeter::WriteFailed:
        return job.failure();
    }
    return QString();
}

QString line(const Demeter &job, Demeter::Outcome outcome)
{
    return QStringList{outcomeWord(outcome), tableField(job.input().absoluteFilePath()),
                       tableField(job.directory()), tableField(description(job, outcome))}
        .join(QLatin1Char('\t'));
}

QString line(const SiteGroup &group, bool ok)
{
    QString word = QStringLiteral("ok");
    if (!ok)
        word = group.siteFailed()      ? QStringLiteral("site-failed")
               : group.siteCount() > 0 ? QStringLiteral("no-average")
                                       : QStringLiteral("no-sites");
    const QString description =
        ok ? QStringLiteral("average of %1: chiavg.dat and chiR.dat written")
                 .arg(group.siteSummary())
           : group.message();
    return QStringList{word, tableField(group.input().absoluteFilePath()),
                       tableField(group.directory()), tableField(description)}
        .join(QLatin1Char('\t'));
}

} // namespace ResultLine
