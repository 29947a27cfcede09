#ifndef AUTOBK_H
#define AUTOBK_H

#include <QCoreApplication>
#include <QVector>

// The AUTOBK background of a mu(E) spectrum and its chi(k), as the reference
// library's autobk defines them: a cubic B-spline in k = sqrt(2m(E - e0))/hbar
// with 1 + int(2 R_bkg (kmax - kmin)/pi) knots (5 to 128), whose coefficients
// minimise the real and imaginary parts of the chi(R) of k^w-weighted,
// Hanning-windowed (sill 0.1 1/A) chi(k) below R_bkg, together with the clamp
// of the last three chi(k) points. chi(k) = (mu - background)/edge step,
// interpolated onto k = 0, 0.05, ... up to the last point.
class Autobk
{
    Q_DECLARE_TR_FUNCTIONS(Autobk)
public:
    struct Result
    {
        QString problem; // empty on success
        QVector<double> k;
        QVector<double> chi;
        QVector<double> knots; // k of the spline's knots
        int evaluations = 0;
    };

    static constexpr double kStep = 0.05;
    // 2m/hbar^2 in 1/(A^2 eV): k^2 = etok * (E - e0).
    static constexpr double etok = 1.0 / 3.8099819442818976;

    static Result compute(const QVector<double> &energy, const QVector<double> &mu, double e0,
                          double edgeStep, double rbkg, double kweight);
};

#endif
