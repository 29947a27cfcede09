#ifndef SETTINGS_H
#define SETTINGS_H

#include "app/feffinp.h"
#include "chi/ftoptions.h"
#include "data/xafsspectrum.h"
#include "fit/fitsettings.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The derived settings block. Body holds one; every job copies it when it is
// created. Nothing changes it after start-up.
struct Settings
{
    QString demeterBase;
    QString ifeffitDir;
    QString cBinDir;
    QString perlBinDir;
    QString perlSiteBinDir;
    QProcessEnvironment environment;
    FeffInpList feffInps; // shared, never freed
    QString cifDir;
    QString inpDir;
    QString resDir;
    QString atomsExe;
    QStringList atomsArgs;
    QString feffExe;
    QStringList feffArgs;
    double kMin = 0.0;
    double kMax = 0.0;
    double rMin = 0.0;
    double rMax = 0.0;
    double rDelta = 0.0;
    FtOptions ft;                // FT_MODE, FT_KWEIGHT, FT_DK
    FitOptions fit;              // FIT_KWEIGHT, FIT_RMIN, FIT_RMAX
    BackgroundParams background; // BKG_RBKG, BKG_KWEIGHT, BKG_E0 of measured mu(E)
    bool clearFeffDat = false;
    bool clearChiDat = false;
    int procTimeout = 0; // ms a program run may take; 0 = no limit
    // A batch run: no panel or plot ever shows a job, so jobs leave out the
    // status colours, the FEFF console pane and the per-path data (they only
    // count FEFF's path files).
    bool batchRun = false;
    // ABSORBER: the element whose edge a CIF job computes; empty: the Atoms
    // program's choice. SITES all: a CIF file becomes a SiteGroup, one job
    // per inequivalent site of that element.
    QString absorber;
    bool allSites = false;
    // The job's (or site group's) folder name inside resDir; empty: the
    // input's base name.
    QString jobFolder;

    // Stores the four directories and builds the programs' environment:
    // DEMETER_BASE, IFEFFIT_DIR and PATH extended by the three bin
    // directories. demeterBase must be set before.
    void setupEnvironment(const QString &ifeffit, const QString &cBin, const QString &perlBin,
                          const QString &perlSiteBin);
    // The k and R grid values and the transform options, as Chi::transform
    // takes them.
    TransformArgs transformArgs() const { return {kMin, kMax, rMin, rMax, rDelta, ft}; }
    // The path fit's ranges and path choice.
    FitSettings fitSettings() const
    {
        return {kMin, kMax, ft.dk, fit.kWeight, fit.rMin, fit.rMax, fit.pathRMax, fit.maxPaths};
    }
};

#endif
