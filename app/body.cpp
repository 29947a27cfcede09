#include "app/body.h"

#include "app/analysiskeys.h"
#include "app/backgroundkeys.h"
#include "app/batchrun.h"
#include "app/inputlist.h"
#include "app/textfuncs.h"
#include "chi/linereader.h"
#include "gui/gui.h"
#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"
#include "plot/chiviewctrl.h"
#include "plot/measuredcurves.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <limits>
#include <utility>

Body::Body(const ParamTable &args, QObject *parent) : QObject(parent)
{
    if (args.hasKey(QStringLiteral("-batch"))) {
        // Before anything can log or end: the report takes both.
        batch = new BatchRun(args, this);
        connect(this, &Body::log, batch, &BatchRun::log);
    } else {
        gui = new Gui(nullptr);
        connect(gui, &Gui::finishing, this, &Body::finishing);
        connect(this, &Body::log, gui, &Gui::log);
        connect(gui, &Gui::droppedCifFiles, this, &Body::droppedCifFiles);
        connect(gui, &Gui::droppedFeffFiles, this, &Body::droppedFeffFiles);

        if (!args.hasKey(QStringLiteral("-noGui")))
            gui->show();
    }

    const QString configName = configFileName(args);
    // A batch run does not fall back to the defaults (Windows paths) when
    // its configuration file is missing, and then makes no folders either.
    if (batch && !configReadable(configName)) {
        batch->refuse();
        return;
    }
    params.readFile(configName);
    applySettings();
    if (batch) {
        // Both asked, so that every problem is reported.
        const bool settingsUsable = batchUsable();
        batch->setDataOptions(measuredDataOptions());
        if (!batch->optionsUsable(settings) || !settingsUsable) {
            batch->refuse();
            return;
        }
    }
    if (gui)
        loadMeasuredCurves(args);
    scanInputDirs();
}

MeasuredData::Options Body::measuredDataOptions() const
{
    // A results folder this run does not hold is another run's (or cannot
    // be written): no .chik file goes there.
    const QString chikFolder =
        folderProblem.isEmpty() ? joinPath(settings.resDir, QStringLiteral("data")) : QString();
    return {settings.background, chikFolder, settings.kMin, settings.kMax};
}

void Body::loadMeasuredCurves(const ParamTable &args)
{
    MeasuredCurves *curves = gui->plotController()->measuredCurves();
    curves->setTransformArgs(settings.transformArgs());
    curves->setDataOptions(measuredDataOptions());
    gui->rankingWindow()->model()->setOptions(settings.transformArgs(), settings.fit,
                                              settings.fitSettings());
    // Jobs change the current folder later: the files are read now.
    for (const QString &file : args.values(QStringLiteral("-data")))
        curves->add(file);
}

namespace {

// Whether QProcess will find the program: a path must name an executable
// file; a bare name is looked for on our PATH and on the one the programs get.
bool programExists(const QString &program, const QProcessEnvironment &env)
{
    if (program.isEmpty())
        return false;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable();
    }
    const QStringList programPath =
        env.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return !QStandardPaths::findExecutable(program).isEmpty() ||
           !QStandardPaths::findExecutable(program, programPath).isEmpty();
}

} // namespace

bool Body::configReadable(const QString &configName)
{
    const QFileInfo config(configName);
    // A FIFO or a device would hang the reading.
    if (!configName.isEmpty() && config.isFile() && config.isReadable() &&
        fileReadProblem(configName, std::numeric_limits<qint64>::max()).isEmpty())
        return true;
    emit log(tr("Can not read the configuration file : %1")
                 .arg(configName.isEmpty() ? configName : config.absoluteFilePath()));
    return false;
}

bool Body::batchUsable()
{
    // A batch run must be able to end, so the queue must admit jobs, and
    // every job needs FEFF. Atoms is needed by CIF jobs only; those report it
    // when it does not start. The time limit and the transform and agreement
    // keys have been reported already.
    bool usable = timeLimitUsable && analysisKeysUsable && folderProblem.isEmpty();
    if (maxProc < 1) {
        emit log(tr("MAX_PROC %1 lets no job start")
                     .arg(params.value(QStringLiteral("MAX_PROC"), QString())));
        usable = false;
    }
    if (!programExists(nativePath(settings.feffExe), settings.environment)) {
        emit log(tr("Can not find the FEFF program : %1").arg(settings.feffExe));
        usable = false;
    }
    return usable;
}

void Body::procStarted()
{
    ++running;
}

void Body::procStopped()
{
    --running;
    checkDemQue();
}

void Body::checkDemQue()
{
    // Keeps going past jobs whose program fails to start (they raise no
    // count and report no end, so nothing would come back for the rest of
    // the queue) and past jobs deleted meanwhile. A started program has been
    // counted when start() returns, so a burst never exceeds maxProc.
    while (!queue.isEmpty() && running < maxProc)
        startNextDemeter();
}

void Body::startNextDemeter()
{
    // Taken out first: nothing done by start() may find the job queued.
    if (auto *job = qobject_cast<Demeter *>(queue.takeFirst().data()))
        job->start();
}

void Body::createDemeter(const QFileInfo &file, int stage)
{
    // Reported once at start-up; every job would only fail on it, or clash
    // with the run that holds the folder.
    if (!folderProblem.isEmpty())
        return;
    if (SiteGroup::wanted(settings, file, stage == Demeter::AtomsWaiting)) {
        createSiteGroup(file);
        return;
    }
    Demeter *job = makeDemeter(file, stage, withOwnFolder(file));
    connect(job, &QObject::destroyed, this,
            [this, name = job->jobSettings().jobFolder] { folders.release(name); });
    queue.append(job);
    checkDemQue();
}

Demeter *Body::makeDemeter(const QFileInfo &file, int stage, const Settings &jobSettings)
{
    auto *job = new Demeter(jobSettings, file, stage, nullptr);
    connect(job, &Demeter::log, this, &Body::log);
    connect(job, &Demeter::procStarted, this, &Body::procStarted);
    connect(job, &Demeter::procStopped, this, &Body::procStopped);
    // A job deleted while it waits leaves the queue with its destruction.
    connect(job, &QObject::destroyed, this, [this](QObject *gone) {
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [gone](const QPointer<QObject> &q) {
                                       return q.isNull() || q.data() == gone;
                                   }),
                    queue.end());
    });
    job->loadInput(); // after log is connected, so its failure is reported
    gui->addDemeter(job);
    return job;
}

void Body::createSiteGroup(const QFileInfo &file)
{
    auto *group = new SiteGroup(withOwnFolder(file), file, this);
    connect(group, &QObject::destroyed, this,
            [this, name = QFileInfo(group->directory()).fileName()] { folders.release(name); });
    connect(group, &SiteGroup::log, this, &Body::log);
    const bool listed = group->listSites();
    gui->addSiteGroup(group);
    if (!listed)
        return;
    // All watched before any starts: a job that fails to start ends within
    // start(), and the group must hear of it.
    for (int i = 0; i < group->siteCount(); ++i) {
        Demeter *job = makeDemeter(file, Demeter::AtomsWaiting, group->siteSettings(i));
        group->watch(i, job);
        queue.append(job);
    }
    checkDemQue();
}

Settings Body::withOwnFolder(const QFileInfo &file)
{
    QString note;
    const Settings s = folders.assign(settings, file, &note);
    if (!note.isEmpty())
        emit log(note);
    return s;
}

void Body::scanInputDirs()
{
    InputList inputs(settings.cifDir, settings.inpDir);
    if (batch) {
        batch->run(settings, maxProc, std::move(inputs));
        return;
    }
    while (!inputs.isEmpty()) {
        const InputList::Entry entry = inputs.takeFirst();
        createDemeter(entry.file, entry.viaAtoms ? Demeter::AtomsWaiting : Demeter::FeffWaiting);
    }
}

bool Body::acceptDropped(const QString &path, const QString &url, const QString &scheme,
                         const QString &host)
{
    const bool local = scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0 &&
                       (host.isEmpty() || host == QLatin1String("localhost"));
    if (!local) {
        emit log(tr("Not a file of this computer, not taken: %1").arg(url));
        return false;
    }
    if (QFileInfo(path).isDir()) {
        emit log(tr("%1 is a folder, not taken: drop the files in it.").arg(path));
        return false;
    }
    if (!folderProblem.isEmpty()) {
        emit log(tr("%1 not taken: %2").arg(path, folderProblem));
        return false;
    }
    return true;
}

void Body::droppedCifFiles(QString path, QString url, QString scheme, QString host)
{
    if (acceptDropped(path, url, scheme, host))
        createDemeter(QFileInfo(path), Demeter::AtomsWaiting);
}

void Body::droppedFeffFiles(QString path, QString url, QString scheme, QString host)
{
    if (acceptDropped(path, url, scheme, host))
        createDemeter(QFileInfo(path), Demeter::FeffWaiting);
}

QString Body::configFileName(const ParamTable &args)
{
    if (args.hasKey(QStringLiteral("-c")) && !args.exactValue(QStringLiteral("-c")).isEmpty())
        return args.exactValue(QStringLiteral("-c"));
    if (args.hasKey(QStringLiteral("-config")))
        return args.exactValue(QStringLiteral("-config"));
    return QStringLiteral("config.cfg");
}

void Body::makeDirs(const QString &cifDir, const QString &inpDir, const QString &resDir)
{
    for (const QString &dir : {cifDir, inpDir, resDir})
        QDir().mkpath(dir);
}

namespace {

QStringList splitWords(const QString &text)
{
    return text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// An absolute path ("/scratch/run1") or a drive-letter path ("C:/...") is
// taken as it stands; anything else lies under the current working directory.
QString resolveDir(const QString &cwd, const QString &value)
{
    if (value.startsWith(QLatin1Char('/')) || (value.size() > 1 && value.at(1) == QLatin1Char(':')))
        return value;
    return joinPath(cwd, value);
}

// A program named with a relative path would otherwise be looked for in the
// job directory, where it is started; a bare name is still searched on PATH.
QString resolveProgram(const QString &cwd, const QString &value)
{
    if (!value.contains(QLatin1Char('/')) || value.startsWith(QLatin1Char('/')))
        return value;
    return resolveDir(cwd, value);
}

} // namespace

void Body::applySettings()
{
    auto any = [this](const char *key, const QString &def) {
        return params.value(QString::fromLatin1(key), def);
    };
    auto exact = [this](const char *key, const QString &def) {
        const QString k = QString::fromLatin1(key);
        return params.hasKey(k) ? params.exactValue(k) : def;
    };

    settings.demeterBase = any("demeter_base", QStringLiteral("C:/DemeterPerl"));
    const QString &base = settings.demeterBase;
    const QString perlBin = any("PATH_PERL_BIN", joinPath(base, QStringLiteral("/perl/bin")));
    const QString cBin = any("PATH_C_BIN", joinPath(base, QStringLiteral("/c/bin")));
    settings.setupEnvironment(
        any("IFEFFIT_DIR", joinPath(base, QStringLiteral("/c/share/ifeffit"))), cBin, perlBin,
        any("PATH_PERL_SITE_BIN", joinPath(base, QStringLiteral("/perl/site/bin"))));

    TransformArgs grid;
    QStringList keyProblems = AnalysisKeys::readGrid(params, grid);
    settings.kMin = grid.kMin;
    settings.kMax = grid.kMax;
    settings.rMin = grid.rMin;
    settings.rMax = grid.rMax;
    settings.rDelta = grid.rDelta;
    keyProblems += AnalysisKeys::read(params, settings.ft, settings.fit);
    for (const QString &problem : qAsConst(keyProblems))
        emit log(problem);
    analysisKeysUsable = keyProblems.isEmpty();
    applyMaxProc(any("MAX_PROC", QStringLiteral("6")));
    const QStringList backgroundProblems = BackgroundKeys::read(params, settings.background);
    for (const QString &problem : backgroundProblems)
        emit log(problem);
    analysisKeysUsable = analysisKeysUsable && backgroundProblems.isEmpty();

    const QString cwd = QDir::currentPath();
    // The defaults lie under the working folder.
    const QString cifDir = resolveDir(cwd, exact("CIF_FILES", QStringLiteral("00-Cif")));
    const QString inpDir = resolveDir(cwd, exact("INP_FILES", QStringLiteral("00-Inp")));
    const QString resDir = resolveDir(cwd, exact("RES_FILES", QStringLiteral("00-Res")));
    makeDirs(cifDir, inpDir, resDir);
    folderProblem = resultsFolder.claim(resDir);
    if (!folderProblem.isEmpty())
        emit log(folderProblem);
    settings.cifDir = cifDir;
    settings.inpDir = inpDir;
    settings.resDir = resDir;

    settings.atomsArgs = splitWords(exact("ATOMS_ARG", QStringLiteral("-S datoms")));
    settings.atomsExe =
        resolveProgram(cwd, exact("ATOMS_EXE", joinPath(perlBin, QStringLiteral("perl.exe"))));
    settings.feffArgs = splitWords(exact("FEFF_ARG", QString()));
    settings.feffExe =
        resolveProgram(cwd, exact("FEFF_EXE", joinPath(cBin, QStringLiteral("feff6.exe"))));

    for (const QString &rest : params.rests(QStringLiteral("feff_inp"))) {
        putFeffInp(settings.feffInps, parseFeffInp(rest));
        showFeffInps(settings.feffInps);
    }

    settings.clearFeffDat = applyFlag("CLEAR_FEFF_DAT");
    settings.clearChiDat = applyFlag("CLEAR_CHI_DAT");

    applyTimeLimit(any("PROC_TIMEOUT", QStringLiteral("0")));
    applySiteChoice(any("ABSORBER", QString()), any("SITES", QStringLiteral("first")));
    settings.batchRun = batch != nullptr;
}

void Body::applyTimeLimit(const QString &value)
{
    // Seconds, fractions allowed; 0 is no limit.
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    timeLimitUsable = ok && seconds >= 0.0 && seconds <= maxTimeLimit;
    if (!timeLimitUsable) {
        emit log(tr("PROC_TIMEOUT %1 is not a number of seconds from 0 to %2: no time limit")
                     .arg(value)
                     .arg(maxTimeLimit));
        settings.procTimeout = 0;
        return;
    }
    // A positive limit stays positive however small.
    settings.procTimeout = seconds > 0.0 ? qMax(1, qRound(seconds * 1000.0)) : 0;
}

void Body::applyMaxProc(const QString &value)
{
    const int defaultMaxProc = 6;
    bool ok = false;
    maxProc = value.trimmed().toInt(&ok, 10);
    // Below 1 the window holds its jobs queued; a batch run refuses to
    // start with it (batchUsable()).
    if (!ok) {
        emit log(
            tr("MAX_PROC %1 is not a whole number: %2 is used").arg(value).arg(defaultMaxProc));
        maxProc = defaultMaxProc;
        analysisKeysUsable = false;
    }
}

// 1 is on, 0 off; anything else is reported and the default (on) is used.
bool Body::applyFlag(const char *key)
{
    const QString value = params.value(QString::fromLatin1(key), QStringLiteral("1")).trimmed();
    bool ok = false;
    const int flag = value.toInt(&ok, 10);
    if (ok && (flag == 0 || flag == 1))
        return flag == 1;
    emit log(tr("%1 %2 is neither 0 nor 1: 1 is used").arg(QLatin1String(key), value));
    analysisKeysUsable = false;
    return true;
}

void Body::applySiteChoice(const QString &absorber, const QString &sites)
{
    settings.absorber = absorber;
    settings.allSites = sites.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0;
    if (!settings.allSites && sites.compare(QLatin1String("first"), Qt::CaseInsensitive) != 0)
        emit log(tr("SITES %1 is neither first nor all: first taken").arg(sites));
    // One job per file: the element's first site, as the Atoms program
    // picks it for an element.
    if (!settings.allSites && !absorber.isEmpty())
        settings.atomsArgs << QStringLiteral("--core") << absorber;
}
