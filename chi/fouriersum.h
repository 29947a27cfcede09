#ifndef FOURIERSUM_H
#define FOURIERSUM_H

#include <QVector>

// Which inner loop fourierSums uses: the best one the processor offers, or a
// given one (a kernel the build or the processor lacks falls back to the
// portable one, which every build has).
enum class FourierKernel
{
    Best,
    Portable,
    Avx2,
    Avx512
};

// Plain Fourier sums of chi(k) points on an R grid, for every grid point n:
//   re[n] = sum over i of chi[i] * cos(2 k[i] r[n])
//   im[n] = sum over i of chi[i] * sin(2 k[i] r[n])
// summed in the order of i (in slices of 1024 points, whose sums are then
// added); re and im are resized to the grid. k, chi and r
// must hold finite values and k and chi must have equal length. Any grid
// works; it is fast when the steps r[n+1] - r[n] are equal up to rounding,
// as in a grid built by adding a constant step. Each term is then as exact
// as in the direct sums, whose own error is the rounding of 2kR (the
// rotations add a few ulp).
void fourierSums(const QVector<double> &k, const QVector<double> &chi, const QVector<double> &r,
                 QVector<double> &re, QVector<double> &im,
                 FourierKernel kernel = FourierKernel::Best);

#endif
