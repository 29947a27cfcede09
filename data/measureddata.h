#ifndef MEASUREDDATA_H
#define MEASUREDDATA_H

#include "data/autobk.h"
#include "data/preedge.h"
#include "data/xafsspectrum.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <vector>

class Chi;

// A measured file of any kind the program takes, as chi(k) curves: mu(E)
// (a column file, an XDI file, a project file's groups) is normalised and
// background-subtracted, and each curve's chi(k) written to
// chikFolder/<name>.chik; any other file is read as chi(k) (MeasuredChi).
class MeasuredData
{
    Q_DECLARE_TR_FUNCTIONS(MeasuredData)
public:
    struct Options
    {
        BackgroundParams background; // BKG_E0, BKG_RBKG, BKG_KWEIGHT
        QString chikFolder;          // RES_FILES/data; empty: no .chik files
        // The k range a measured chi(k) file must cover (MeasuredChi::read).
        double kMin = 0.0;
        double kMax = 1e300;
    };

    struct Outcome
    {
        // Empty, or the one message that says why the file was refused (no
        // curve is then handed over).
        QString problem;
        // One line per mu(E) curve: what was found and where chi(k) went.
        QStringList messages;
        // A .chik file could not be written (the curve is still handed over,
        // named after its source, and messages says why).
        bool writeFailed = false;
    };

    // The background settings and their defaults, the reference library's.
    static BackgroundParams defaults();

    static Outcome read(const QString &path, const Options &options,
                        std::vector<std::unique_ptr<Chi>> &curves);

    // The reduction of one mu(E) spectrum; params are complete (defaults
    // filled in).
    struct Reduction
    {
        QString problem;
        PreEdge::Result edge;
        Autobk::Result background;
        double e0 = 0.0; // the e0 of k = 0
        BackgroundParams params;
    };
    static Reduction reduce(const XafsSpectrum &spectrum, const BackgroundParams &params);

    // Writes the .chik file: header lines naming the source, e0, edge step,
    // R_bkg, k weight and the knots, then the column line and k, chi.
    static bool writeChik(const QString &path, const XafsSpectrum &spectrum,
                          const Reduction &reduction, QString &error);

    // The first lines of a .chik file, which name the file and group it was
    // made of.
    static QString chikOwner(const XafsSpectrum &spectrum);
    // Whether path may be written with the spectrum's chi(k): a .chik of
    // another file or group of the same name is never written over (a second
    // cu.xmu from another folder makes cu_2.chik).
    static bool chikPathFree(const QString &path, const XafsSpectrum &spectrum);

    // A file name made of a curve's name: no folder separators or control
    // characters.
    static QString fileNameOf(const QString &name);
};

#endif
