#ifndef FOURIERSUM_H
#define FOURIERSUM_H

#include <QVector>

// Which inner loop fourierSums may use: the best one the processor offers
// (AVX2 with FMA where available), or the portable one every build has.
enum class FourierKernel
{
    Best,
    Portable
};

// Plain Fourier sums of chi(k) points on an R grid, for every grid point n:
//   re[n] = sum over i of chi[i] * cos(2 k[i] r[n])
//   im[n] = sum over i of chi[i] * sin(2 k[i] r[n])
// summed in the order of i; re and im are resized to the grid. k, chi and r
// must hold finite values and k and chi must have equal length. Any grid
// works; it is fast when the steps r[n+1] - r[n] are equal up to rounding, as
// in a grid built by adding a constant step, where the results stay within
// about 1e-14 of the direct sums, relative to the sum of |chi|.
void fourierSums(const QVector<double> &k, const QVector<double> &chi, const QVector<double> &r,
                 QVector<double> &re, QVector<double> &im,
                 FourierKernel kernel = FourierKernel::Best);

#endif
