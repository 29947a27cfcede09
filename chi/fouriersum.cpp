#include "chi/fouriersum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// The direct sums cost a sine and a cosine per k point and grid point. Here
// the grid is cut into blocks of blockSize points. For block b starting at
// R_b, exp(2ik(R_b + d)) = exp(2ikR_b) * exp(2ikd): the first factor, times
// chi, is carried from block to block by one complex rotation per k point;
// the second comes from a table of the offsets d inside a block. A block is
// then a small complex matrix product without any trigonometry.
//
// A grid built by adding a constant step is evenly spaced only up to
// rounding: inside one binary exponent range the step is the same, but it
// changes from range to range. The table is therefore rebuilt whenever the
// offsets inside a block change, and the rotation whenever the distance
// between block starts changes, each from the nominal step times a small
// correction exp(2ik * deviation). Every grid value is thus used as it is.

namespace {

constexpr int blockSize = 8;
// Blocks between exact evaluations of the carried phases; bounds the drift
// of repeated rotations (a few ulp each) to about 1e-14.
constexpr int reseedBlocks = 64;
// Below this angle the series 1 - x^2/2, x - x^3/6 is exact in double.
constexpr double smallAngle = 1e-4;

struct Phase
{
    double c;
    double s;
};

// exp(i x)
inline Phase phaseOf(double x)
{
    if (std::fabs(x) < smallAngle) {
        const double x2 = x * x;
        return {1.0 - 0.5 * x2, x - x * x2 / 6.0};
    }
    return {std::cos(x), std::sin(x)};
}

// Carried phases (u), their block-to-block rotation (s) and the offset table
// (v, blockSize entries per k point), all as separate real and imaginary
// parts so that the inner loops run over plain arrays.
struct Work
{
    explicit Work(int nk)
        : maxTwoK(0.0), twoK(nk), ur(nk), ui(nk), sr(nk), si(nk), s0r(nk), s0i(nk),
          vr(nk * blockSize), vi(nk * blockSize), v0r(nk * blockSize), v0i(nk * blockSize)
    {}
    double maxTwoK;
    std::vector<double> twoK;
    std::vector<double> ur, ui;
    std::vector<double> sr, si;
    std::vector<double> s0r, s0i;
    std::vector<double> vr, vi;
    std::vector<double> v0r, v0i;
};

#if defined(__GNUC__)
#define FOURIER_INLINE inline __attribute__((always_inline))
typedef double Vec2 __attribute__((vector_size(16)));
#else
#define FOURIER_INLINE inline
typedef double Vec2;
#endif

// out[m] = sum over i of u_i * v_(i,m) for one block, then u_i *= s_i so that
// u holds the phases of the next block. Vec is a GCC vector of doubles (or a
// plain double); the accumulators stay in registers.
template <typename Vec>
FOURIER_INLINE void sumBlockT(int nk, double *ur, double *ui, const double *sr, const double *si,
                              const double *vr, const double *vi, double *outR, double *outI)
{
    constexpr int lanes = int(sizeof(Vec) / sizeof(double));
    constexpr int columns = blockSize / lanes;
    Vec accR[columns];
    Vec accI[columns];
    for (int j = 0; j < columns; ++j) {
        accR[j] = Vec{};
        accI[j] = Vec{};
    }
    for (int i = 0; i < nk; ++i) {
        const double a = ur[i];
        const double b = ui[i];
        const double *rowR = vr + i * blockSize;
        const double *rowI = vi + i * blockSize;
#if defined(__GNUC__)
#pragma GCC unroll 8
#endif
        for (int j = 0; j < columns; ++j) {
            Vec x;
            Vec y;
            std::memcpy(&x, rowR + j * lanes, sizeof x);
            std::memcpy(&y, rowI + j * lanes, sizeof y);
            accR[j] += a * x - b * y;
            accI[j] += a * y + b * x;
        }
        ur[i] = a * sr[i] - b * si[i];
        ui[i] = a * si[i] + b * sr[i];
    }
    for (int j = 0; j < columns; ++j) {
        std::memcpy(outR + j * lanes, &accR[j], sizeof accR[j]);
        std::memcpy(outI + j * lanes, &accI[j], sizeof accI[j]);
    }
}

using BlockKernel = void (*)(int, double *, double *, const double *, const double *,
                             const double *, const double *, double *, double *);

void sumBlockPortable(int nk, double *ur, double *ui, const double *sr, const double *si,
                      const double *vr, const double *vi, double *outR, double *outI)
{
    sumBlockT<Vec2>(nk, ur, ui, sr, si, vr, vi, outR, outI);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define FOURIER_HAVE_AVX2
typedef double Vec4 __attribute__((vector_size(32)));

__attribute__((target("avx2,fma"))) void sumBlockAvx2(int nk, double *ur, double *ui,
                                                      const double *sr, const double *si,
                                                      const double *vr, const double *vi,
                                                      double *outR, double *outI)
{
    sumBlockT<Vec4>(nk, ur, ui, sr, si, vr, vi, outR, outI);
}
#endif

BlockKernel chooseKernel(FourierKernel kernel)
{
#ifdef FOURIER_HAVE_AVX2
    static const bool haveAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    if (kernel == FourierKernel::Best && haveAvx2)
        return sumBlockAvx2;
#else
    Q_UNUSED(kernel)
#endif
    return sumBlockPortable;
}

// Per k point: 2k, the offset table for offsets m * step and the rotation
// for one block length, both for the nominal step.
void prepare(Work &w, const QVector<double> &k, double step)
{
    const int nk = k.size();
    for (int i = 0; i < nk; ++i) {
        const double twoK = k[i] + k[i];
        w.twoK[i] = twoK;
        w.maxTwoK = std::max(w.maxTwoK, std::fabs(twoK));
        const Phase one = phaseOf(twoK * step);
        double *rowR = &w.v0r[i * blockSize];
        double *rowI = &w.v0i[i * blockSize];
        rowR[0] = 1.0;
        rowI[0] = 0.0;
        for (int m = 1; m < blockSize; ++m) {
            rowR[m] = rowR[m - 1] * one.c - rowI[m - 1] * one.s;
            rowI[m] = rowR[m - 1] * one.s + rowI[m - 1] * one.c;
        }
        const Phase block = phaseOf(twoK * (step * blockSize));
        w.s0r[i] = block.c;
        w.s0i[i] = block.s;
    }
}

// Offset table for a block whose offsets deviate from m * step by dev[m].
void buildTable(Work &w, const double *dev)
{
    const int nk = int(w.twoK.size());
    for (int i = 0; i < nk; ++i) {
        const int row = i * blockSize;
        for (int m = 0; m < blockSize; ++m) {
            const Phase p = phaseOf(w.twoK[i] * dev[m]);
            const double a = w.v0r[row + m];
            const double b = w.v0i[row + m];
            w.vr[row + m] = a * p.c - b * p.s;
            w.vi[row + m] = a * p.s + b * p.c;
        }
    }
}

// Rotation to the next block when block starts are step * blockSize + dev
// apart; only for small deviations (see fourierSums).
void buildRotation(Work &w, double dev)
{
    const int nk = int(w.twoK.size());
    for (int i = 0; i < nk; ++i) {
        const Phase p = phaseOf(w.twoK[i] * dev);
        w.sr[i] = w.s0r[i] * p.c - w.s0i[i] * p.s;
        w.si[i] = w.s0r[i] * p.s + w.s0i[i] * p.c;
    }
}

// chi * exp(2ikR) computed directly, with the argument formed as (R + R) * k.
void seedPhases(Work &w, const QVector<double> &k, const QVector<double> &chi, double R)
{
    const int nk = k.size();
    for (int i = 0; i < nk; ++i) {
        const double x = (R + R) * k[i];
        w.ur[i] = chi[i] * std::cos(x);
        w.ui[i] = chi[i] * std::sin(x);
    }
}

// The definition itself, for the grid points n0 .. n0 + count - 1.
void sumDirect(const QVector<double> &k, const QVector<double> &chi, const QVector<double> &r,
               int n0, int count, QVector<double> &re, QVector<double> &im)
{
    for (int n = n0; n < n0 + count; ++n) {
        const double R = r[n];
        double sumRe = 0.0;
        double sumIm = 0.0;
        for (int i = 0; i < k.size(); ++i) {
            const double x = (R + R) * k[i];
            sumRe += chi[i] * std::cos(x);
            sumIm += chi[i] * std::sin(x);
        }
        re[n] = sumRe;
        im[n] = sumIm;
    }
}

} // namespace

void fourierSums(const QVector<double> &k, const QVector<double> &chi, const QVector<double> &r,
                 QVector<double> &re, QVector<double> &im, FourierKernel kernel)
{
    const int nk = k.size();
    const int nr = r.size();
    re.fill(0.0, nr);
    im.fill(0.0, nr);
    if (nk == 0 || nr == 0)
        return;

    const double step = nr > 1 ? r[1] - r[0] : 0.0;
    const BlockKernel sumBlock = chooseKernel(kernel);
    Work w(nk);
    prepare(w, k, step);

    double tableDev[blockSize];
    double rotationDev = 0.0;
    bool haveTable = false;
    bool haveRotation = false;
    bool reseed = true;
    const int blocks = (nr + blockSize - 1) / blockSize;
    for (int b = 0; b < blocks; ++b) {
        const int n0 = b * blockSize;
        const int count = std::min(blockSize, nr - n0);
        double dev[blockSize];
        double largestDev = 0.0;
        for (int m = 0; m < blockSize; ++m) {
            dev[m] = m < count ? (r[n0 + m] - r[n0]) - m * step : 0.0;
            largestDev = std::max(largestDev, std::fabs(dev[m]));
        }
        // A block off the even step is summed directly: composing its phases
        // from large angles would cost accuracy, and a table would not be reused.
        if (largestDev * w.maxTwoK >= smallAngle) {
            sumDirect(k, chi, r, n0, count, re, im);
            reseed = true;
            continue;
        }
        if (!haveTable || !std::equal(dev, dev + blockSize, tableDev)) {
            buildTable(w, dev);
            std::copy(dev, dev + blockSize, tableDev);
            haveTable = true;
        }
        if (reseed || b % reseedBlocks == 0)
            seedPhases(w, k, chi, r[n0]);
        const double nextDev = count == blockSize && n0 + blockSize < nr
                                   ? (r[n0 + blockSize] - r[n0]) - step * blockSize
                                   : 0.0;
        // Likewise a rotation by a large correction would carry the rounding
        // of a large angle into the next blocks; start afresh instead.
        reseed = std::fabs(nextDev) * w.maxTwoK >= smallAngle;
        if (!reseed && (!haveRotation || nextDev != rotationDev)) {
            buildRotation(w, nextDev);
            rotationDev = nextDev;
            haveRotation = true;
        }
        double outR[blockSize];
        double outI[blockSize];
        sumBlock(nk, w.ur.data(), w.ui.data(), w.sr.data(), w.si.data(), w.vr.data(), w.vi.data(),
                 outR, outI);
        std::copy(outR, outR + count, re.begin() + n0);
        std::copy(outI, outI + count, im.begin() + n0);
    }
}
