#include "app/body.h"

#include "app/textfuncs.h"
#include "gui/gui.h"
#include "jobs/demeter.h"

#include <QDir>

#include <algorithm>

Body::Body(const ParamTable &args, QObject *parent) : QObject(parent)
{
    gui = new Gui(nullptr);
    connect(gui, &Gui::finishing, this, &Body::finishing);
    connect(this, &Body::log, gui, &Gui::log);
    connect(gui, &Gui::droppedCifFiles, this, &Body::droppedCifFiles);
    connect(gui, &Gui::droppedFeffFiles, this, &Body::droppedFeffFiles);

    if (!args.hasKey(QStringLiteral("-noGui")))
        gui->show();

    params.readFile(configFileName(args));
    maxProc = params.value(QStringLiteral("MAX_PROC"), QStringLiteral("6")).toInt(nullptr, 10);
    applySettings();
    scanInputDirs();
}

Body::~Body() = default;

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
    const QPointer<Demeter> job = queue.takeFirst();
    if (job)
        job->start();
}

void Body::createDemeter(const QFileInfo &file, int stage)
{
    auto *job = new Demeter(settings, file, stage, nullptr);
    connect(job, &Demeter::log, this, &Body::log);
    connect(job, &Demeter::procStarted, this, &Body::procStarted);
    connect(job, &Demeter::procStopped, this, &Body::procStopped);
    // A job deleted while it waits leaves the queue with its destruction.
    connect(job, &QObject::destroyed, this, [this](QObject *gone) {
        queue.erase(std::remove_if(queue.begin(), queue.end(),
                                   [gone](const QPointer<Demeter> &q) {
                                       return q.isNull() ||
                                              static_cast<QObject *>(q.data()) == gone;
                                   }),
                    queue.end());
    });
    job->loadInput(); // after log is connected, so its failure is reported
    gui->addDemeter(job);
    queue.append(job);
    checkDemQue();
}

void Body::scanInputDirs()
{
    // QDir's defaults: all entries but hidden ones, patterns matched and
    // names sorted without regard to case.
    const QFileInfoList cifs =
        QDir(settings.cifDir)
            .entryInfoList(QStringList{QStringLiteral("*.cif"), QStringLiteral("*.inp")});
    for (const QFileInfo &file : cifs)
        createDemeter(file, Demeter::AtomsWaiting);
    const QFileInfoList inps =
        QDir(settings.inpDir).entryInfoList(QStringList{QStringLiteral("*.inp")});
    for (const QFileInfo &file : inps)
        createDemeter(file, Demeter::FeffWaiting);
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

bool isFlagOn(const QString &value)
{
    return value.toInt(nullptr, 10) == 1;
}

// A drive-letter path ("C:/...") is taken as it stands; anything else lies
// under the current working directory.
QString resolveDir(const QString &cwd, const QString &value)
{
    if (value.size() > 1 && value.at(1) == QLatin1Char(':'))
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

    settings.kMin = any("K_MIN", QStringLiteral("3.0")).toDouble();
    settings.kMax = any("K_MAX", QStringLiteral("20.0")).toDouble();
    settings.rMin = any("R_MIN", QStringLiteral("0.0")).toDouble();
    settings.rMax = any("R_MAX", QStringLiteral("8.0")).toDouble();
    settings.rDelta = any("R_DELTA", QStringLiteral("0.01")).toDouble();

    const QString cwd = QDir::currentPath();
    const QString cifDir = resolveDir(cwd, exact("CIF_FILES", QStringLiteral("/00-Cif")));
    const QString inpDir = resolveDir(cwd, exact("INP_FILES", QStringLiteral("/00-Inp")));
    const QString resDir = resolveDir(cwd, exact("RES_FILES", QStringLiteral("/00-Res")));
    makeDirs(cifDir, inpDir, resDir);
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

    settings.clearFeffDat = isFlagOn(any("CLEAR_FEFF_DAT", QStringLiteral("1")));
    settings.clearChiDat = isFlagOn(any("CLEAR_CHI_DAT", QStringLiteral("1")));
}
