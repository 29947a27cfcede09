#include "app/body.h"

#include "app/textfuncs.h"
#include "gui/gui.h"

#include <QDir>

Body::Body(const ParamTable &args, QObject *parent) : QObject(parent)
{
    gui = new Gui(nullptr);
    connect(gui, &Gui::finishing, this, &Body::finishing);
    connect(this, &Body::log, gui, &Gui::log);

    if (!args.hasKey(QStringLiteral("-noGui")))
        gui->show();

    params.readFile(configFileName(args));
    maxProc = params.value(QStringLiteral("MAX_PROC"), QStringLiteral("6")).toInt(nullptr, 10);
    applySettings();
}

Body::~Body() = default;

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
    settings.atomsExe = exact("ATOMS_EXE", joinPath(perlBin, QStringLiteral("perl.exe")));
    settings.feffArgs = splitWords(exact("FEFF_ARG", QString()));
    settings.feffExe = exact("FEFF_EXE", joinPath(cBin, QStringLiteral("feff6.exe")));

    for (const QString &rest : params.rests(QStringLiteral("feff_inp"))) {
        putFeffInp(settings.feffInps, parseFeffInp(rest));
        showFeffInps(settings.feffInps);
    }

    settings.clearFeffDat = isFlagOn(any("CLEAR_FEFF_DAT", QStringLiteral("1")));
    settings.clearChiDat = isFlagOn(any("CLEAR_CHI_DAT", QStringLiteral("1")));
}
