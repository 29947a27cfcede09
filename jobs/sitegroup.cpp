#include "jobs/sitegroup.h"

#include "app/signalwatcher.h"
#include "app/textfuncs.h"
#include "chi/chiaverage.h"
#include "chi/standardtransform.h"
#include "jobs/panelwidths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>

#include <algorithm>

namespace {

constexpr int listingTimeoutMs = 60000;

// A label as a folder name: no separators, not "." or "..".
QString folderName(QString label)
{
    for (QChar &c : label)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isSpace())
            c = QLatin1Char('_');
    if (label.isEmpty() || label == QLatin1String(".") || label == QLatin1String(".."))
        label.prepend(QLatin1String("site_"));
    return label;
}

QString outcomeText(Demeter::Outcome outcome)
{
    switch (outcome) {
    case Demeter::ChiRead:
        return SiteGroup::tr("chi(k) read");
    case Demeter::NoChiFile:
        return SiteGroup::tr("FEFF left no chi.dat");
    case Demeter::NoChiData:
        return SiteGroup::tr("chi.dat holds no chi(k) data");
    case Demeter::AtomsNotStarted:
        return SiteGroup::tr("Atoms could not start");
    case Demeter::FeffNotStarted:
        return SiteGroup::tr("FEFF could not start");
    case Demeter::AtomsTimedOut:
    case Demeter::FeffTimedOut:
        return SiteGroup::tr("stopped at the time limit");
    case Demeter::InputMissing:
        return SiteGroup::tr("the input file no longer exists");
    case Demeter::AtomsCancelled:
    case Demeter::FeffCancelled:
        return SiteGroup::tr("cancelled by Slurm");
    case Demeter::AtomsFailed:
        return SiteGroup::tr("Atoms failed");
    case Demeter::FeffFailed:
        return SiteGroup::tr("FEFF failed");
    case Demeter::WriteFailed:
        return SiteGroup::tr("a file could not be written");
    }
    return QString();
}

} // namespace

SiteGroup::SiteGroup(const Settings &groupSettings, const QFileInfo &cif, QObject *parent)
    : QObject(parent), settings(groupSettings), inputFile(cif),
      groupDir(joinPath(groupSettings.resDir, groupSettings.jobFolder.isEmpty()
                                                  ? cif.completeBaseName()
                                                  : groupSettings.jobFolder))
{
    connect(&average, &Chi::log, this, &SiteGroup::log);
}

bool SiteGroup::wanted(const Settings &settings, const QFileInfo &file, bool viaAtoms)
{
    return settings.allSites && viaAtoms &&
           file.suffix().compare(QLatin1String("cif"), Qt::CaseInsensitive) == 0;
}

bool SiteGroup::listSites()
{
    QDir().mkpath(groupDir);
    QProcess atoms;
    atoms.setProgram(nativePath(settings.atomsExe));
    // "--list-sites=" with nothing after it lists the first site's element.
    atoms.setArguments(settings.atomsArgs +
                       QStringList{QStringLiteral("--list-sites=") + settings.absorber,
                                   QStringLiteral("-c"), nativePath(inputFile.absoluteFilePath())});
    atoms.setProcessEnvironment(settings.environment);
    atoms.setWorkingDirectory(groupDir);
    atoms.start(QIODevice::ReadOnly);
    const int limit = settings.procTimeout > 0 ? settings.procTimeout : listingTimeoutMs;
    if (!atoms.waitForStarted(limit)) {
        fail(tr("Atoms could not start to list the sites: %1").arg(settings.atomsExe));
        return false;
    }
    // In slices: a batch run stopped by SIGINT or SIGTERM ends within one.
    QDeadlineTimer deadline(limit);
    while (atoms.state() != QProcess::NotRunning &&
           !atoms.waitForFinished(std::min(100, int(deadline.remainingTime())))) {
        if (SignalWatcher::signalArrived() || deadline.hasExpired()) {
            atoms.kill();
            atoms.waitForFinished(1000);
            if (deadline.hasExpired())
                fail(tr("Atoms did not list the sites within %1 s").arg(limit / 1000.0));
            else
                fail(tr("Atoms was stopped while it listed the sites"));
            return false;
        }
    }
    const QString err = QString::fromUtf8(atoms.readAllStandardError()).trimmed();
    if (atoms.exitStatus() != QProcess::NormalExit || atoms.exitCode() != 0) {
        fail(tr("Atoms could not list the sites: %1").arg(err.section(QLatin1Char('\n'), 0, 0)));
        return false;
    }
    QString error;
    if (!parseSites(QString::fromUtf8(atoms.readAllStandardOutput()), sites, error)) {
        fail(tr("The site list of the Atoms program cannot be read: %1").arg(error));
        return false;
    }
    siteChi.clear();
    for (int i = 0; i < sites.size(); ++i)
        siteChi.append(new Chi(this));
    outcomes = QVector<int>(sites.size(), -1);
    watchedJobs.resize(sites.size());
    current = Running;
    note = siteSummary();
    emit log(tr("%1: one job per site, averaged with the weights %2")
                 .arg(inputFile.absoluteFilePath(), note));
    emit changed();
    return true;
}

bool SiteGroup::parseSites(const QString &text, QVector<Site> &list, QString &error)
{
    list.clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        // The label may hold blanks; the three fields after it never do.
        QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool countOk = false, occupancyOk = false;
        Site site;
        if (fields.size() >= 4) {
            site.occupancy = fields.takeLast().toDouble(&occupancyOk);
            site.wyckoff = fields.takeLast();
            site.multiplicity = fields.takeLast().toInt(&countOk);
            site.label = fields.join(QLatin1Char(' '));
        }
        if (!countOk || !occupancyOk || site.multiplicity < 1 || !(site.occupancy > 0)) {
            error = tr("not a site line: %1").arg(line);
            list.clear();
            return false;
        }
        if (site.wyckoff == QLatin1String("-"))
            site.wyckoff.clear();
        list.append(site);
    }
    if (list.isEmpty()) {
        error = tr("no site listed");
        return false;
    }
    return true;
}

QVector<QPair<QString, double>> SiteGroup::siteFolders() const
{
    QVector<QPair<QString, double>> out;
    for (int i = 0; i < sites.size(); ++i)
        out.append({joinPath(groupDir, siteSettings(i).jobFolder), sites.at(i).weight()});
    return out;
}

Settings SiteGroup::siteSettings(int i) const
{
    Settings s = settings;
    s.resDir = groupDir;
    // Labels that differ only in characters a folder name cannot hold still
    // get folders of their own.
    QString folder = folderName(sites.at(i).label);
    for (int j = 0; j < i; ++j)
        if (folderName(sites.at(j).label) == folder)
            folder += QStringLiteral("_%1").arg(i + 1);
    s.jobFolder = folder;
    // After anything ATOMS_ARG holds: the Atoms program takes the last --core.
    s.atomsArgs << QStringLiteral("--core") << sites.at(i).label;
    return s;
}

QString SiteGroup::siteSummary() const
{
    QStringList parts;
    for (const Site &s : sites) {
        QString part = s.label + QLatin1Char(' ') + QString::number(s.weight(), 'g', 6);
        if (!s.wyckoff.isEmpty())
            part += QStringLiteral(" (%1%2)").arg(s.multiplicity).arg(s.wyckoff);
        parts << part;
    }
    return parts.join(QStringLiteral(", "));
}

void SiteGroup::watch(int i, Demeter *job)
{
    watchedJobs[i] = job;
    const QString label = QStringLiteral(" [") + sites.at(i).label + QLatin1Char(']');
    job->ui.TargetName->setText(inputFile.absoluteFilePath() + label);
    // The whole file name and the site are seen, as for any job.
    PanelWidths::fitReadOut(job->ui.TargetName, inputFile.fileName() + label);
    connect(job, &Demeter::ended, this,
            [this, i, job](Demeter::Outcome outcome) { siteEnded(i, job->chi, outcome); });
    connect(job, &QObject::destroyed, this, [this, i] {
        if (current == Running && outcomes.value(i) < 0) {
            fail(tr("The job of site %1 of %2 was deleted; no average.")
                     .arg(sites.at(i).label, inputFile.fileName()));
        }
    });
}

void SiteGroup::siteEnded(int i, const Chi &chi, Demeter::Outcome outcome)
{
    if (i < 0 || i >= sites.size())
        return;
    Chi *copy = siteChi[i];
    copy->reset();
    copy->k = chi.k;
    copy->chi = chi.chi;
    copy->kExtent = chi.kExtent;
    copy->chiExtent = chi.chiExtent;
    copy->hasChiK = chi.hasChiK;
    copy->sourcePath = chi.sourcePath;
    outcomes[i] = outcome;
    if (!outcomes.contains(-1))
        finish();
}

void SiteGroup::finish()
{
    QStringList failedSites;
    for (int i = 0; i < sites.size(); ++i)
        if (outcomes[i] != Demeter::ChiRead || !siteChi[i]->hasChiK)
            failedSites << QStringLiteral("%1 (%2)").arg(
                sites[i].label, outcomeText(Demeter::Outcome(outcomes[i])));
    failedSite = !failedSites.isEmpty();
    if (failedSite) {
        fail(tr("Site %1 of %2 failed; no average.")
                 .arg(failedSites.join(QStringLiteral(", ")), inputFile.fileName()));
        return;
    }
    if (!writeAverage())
        return;
    current = Averaged;
    note = siteSummary();
    emit changed();
    emit newChi();
    emit ended(true);
}

bool SiteGroup::writeAverage()
{
    QVector<ChiAverage::Part> parts;
    for (int i = 0; i < sites.size(); ++i)
        parts.append({siteChi[i], sites[i].weight()});
    const ChiAverage::Result result = ChiAverage::average(parts, average);
    if (!result.ok) {
        fail(tr("The sites of %1 cannot be averaged: %2").arg(inputFile.fileName(), result.error));
        return false;
    }
    if (result.interpolated)
        emit log(tr("%1: the sites' k grids differ; interpolated onto the grid of site %2")
                     .arg(inputFile.fileName(), sites.first().label));
    QStringList comments{QStringLiteral("average over the sites of %1, weighted by their atoms "
                                        "in the unit cell:")
                             .arg(inputFile.fileName())};
    for (int i = 0; i < sites.size(); ++i)
        comments << QStringLiteral("  site %1: weight %2, %3")
                        .arg(sites[i].label, QString::number(sites[i].weight(), 'g', 6),
                             siteChi[i]->sourcePath);
    const QString chiAvg = joinPath(groupDir, QStringLiteral("chiavg.dat"));
    QString problem = ChiAverage::writeChiK(average, chiAvg, comments);
    if (!problem.isEmpty()) {
        fail(tr("Can not write %1: %2").arg(chiAvg, problem));
        return false;
    }
    average.transform(settings.transformArgs());
    const QString chiR = joinPath(groupDir, QStringLiteral("chiR.dat"));
    problem = average.writeChiR(chiR, comments + StandardTransform::comments(average.transformed));
    if (!problem.isEmpty()) {
        fail(tr("Can not write %1: %2").arg(chiR, problem));
        return false;
    }
    return true;
}

void SiteGroup::fail(const QString &why)
{
    const bool wasRunning = current == Running || current == Averaged;
    current = Failed;
    note = why;
    average.reset();
    emit log(why);
    emit changed();
    emit newChi();
    if (wasRunning)
        emit ended(false);
}

void SiteGroup::setShown(bool on)
{
    if (shown == on)
        return;
    shown = on;
    emit showChanged();
}

QVector<Demeter *> SiteGroup::jobs() const
{
    QVector<Demeter *> alive;
    for (const QPointer<Demeter> &job : watchedJobs)
        if (job)
            alive.append(job);
    return alive;
}
