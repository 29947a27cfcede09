#ifndef XAFSSPECTRUM_H
#define XAFSSPECTRUM_H

#include <QString>
#include <QVector>

#include <cmath>
#include <limits>

// The settings of the background removal. NaN (or a negative nnorm) means
// "not given": the reduction then takes the next source (a project group's
// own values win over the configuration keys, which win over the defaults
// the reference library uses).
struct BackgroundParams
{
    static constexpr double unset = std::numeric_limits<double>::quiet_NaN();

    double e0 = unset;   // edge energy in eV
    double pre1 = unset; // pre-edge line range, eV relative to e0
    double pre2 = unset;
    double norm1 = unset; // post-edge polynomial range, eV relative to e0
    double norm2 = unset;
    int nnorm = -1;      // degree of the post-edge polynomial
    double rbkg = unset; // R_bkg in A
    double kweight = unset;

    // These values, with every one not given taken from fallback.
    BackgroundParams over(const BackgroundParams &fallback) const
    {
        BackgroundParams p = *this;
        auto fill = [](double &v, double f) {
            if (std::isnan(v))
                v = f;
        };
        fill(p.e0, fallback.e0);
        fill(p.pre1, fallback.pre1);
        fill(p.pre2, fallback.pre2);
        fill(p.norm1, fallback.norm1);
        fill(p.norm2, fallback.norm2);
        fill(p.rbkg, fallback.rbkg);
        fill(p.kweight, fallback.kweight);
        if (p.nnorm < 0)
            p.nnorm = fallback.nnorm;
        return p;
    }
};

// One measured spectrum as a reader hands it over: mu(E) (energy in eV,
// increasing), or a chi(k) a project group stored already (isChi).
struct XafsSpectrum
{
    QString name;   // the file's base name or the project group's label
    QString source; // the file it came from
    QVector<double> energy;
    QVector<double> mu;
    bool isChi = false;
    QVector<double> k;
    QVector<double> chi;
    BackgroundParams params; // a project group's own values
    QString element;         // as an XDI file names them, else empty
    QString edge;
};

#endif
