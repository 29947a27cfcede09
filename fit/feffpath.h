#ifndef FEFFPATH_H
#define FEFFPATH_H

#include "fit/cubicspline.h"
#include "fit/pathparameters.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// One scattering path as FEFF 6L or 8.5L writes it (feffNNNN.dat): the
// header's geometry and the seven columns k, real[2*phc], mag[feff],
// phase[feff], reduction factor, lambda, real[p]. From them it computes the
// path's chi(k) for given path parameters by the EXAFS equation, in the form
// the field's reference library uses, so that fitted numbers mean what they
// mean there.
class FeffPath
{
    Q_DECLARE_TR_FUNCTIONS(FeffPath)

public:
    // Reads a file; false and a message naming the file on failure.
    bool read(const QString &fileName, QString *error);
    // Parses a file's text; false and a message on failure, leaving the path
    // empty.
    bool parse(const QByteArray &text, QString *error);

    bool isValid() const { return !spline.isEmpty(); }
    // NNNN of the file name, else the header's path index, else 0.
    int number() const { return pathNumber; }
    int legs() const { return legCount; }
    double degeneracy() const { return degen; }
    double reff() const { return rEff; }
    // Absorber, then the atom at the end of each leg but the last, by element;
    // empty when the header names no atoms.
    QStringList route() const { return atoms; }
    // The k values of the file's rows, 1/A.
    const QVector<double> &kPoints() const { return spline.points(); }
    // Largest k of the file, 1/A: past it the spline is extrapolated.
    double kMax() const { return spline.last(); }

    // chi(k) of the path at every k of the grid (k >= 0, any spacing).
    QVector<double> chi(const QVector<double> &k, const PathParameters &p) const;
    // The same into out[0..n): no allocation, for repeated evaluation.
    // With k ascending the spline lookup walks the grid once.
    void chi(const double *k, int n, const PathParameters &p, double *out) const;

    // The terms of the path's equation that depend only on the energy shift,
    // at each k: what a fit keeps while S0², σ² and ΔR vary. With them
    //   chi = N·S0²/(reff+ΔR)² · amp · exp(-2·reff·pIm - 2σ²·p²ᵣₑ - 2T·pIm)
    //         · sin(phase - 2σ²·p²ᵢₘ + 2T·pRe),   T = ΔR - 2σ²/reff
    // (no third cumulant, no imaginary energy).
    struct Wave
    {
        double q;     // the shifted wave number, 1/A
        double amp;   // mag · reduction / q
        double phase; // 2q·reff + pha
        double pRe, pIm;
        double ppRe, ppIm; // p²
        // Their derivatives by q, for the fit's derivative by the shift.
        double dAmp, dPhase, dpRe, dpIm, dppRe, dppIm;
    };
    void waves(const double *k, int n, double de0, Wave *out) const;

    // Energy to wave number: k² [1/A²] = ETOK · E [eV], 2mₑ/ħ² from the CODATA
    // 2018 constants, the value the reference library computes.
    static constexpr double ETOK = 0.2624684236075176;

private:
    bool parseHeader(const QList<QByteArray> &lines, int &dataStart, QString *error);
    bool parseColumns(const QList<QByteArray> &lines, int dataStart, QString *error);
    void clear();

    CubicSpline spline; // amp, pha, rep, lam against k
    int pathNumber = 0;
    int legCount = 0;
    double degen = 0.0;
    double rEff = 0.0;
    QStringList atoms;
};

#endif
