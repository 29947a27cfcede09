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
// of repeated rotations (a few ulp each) to about 1e-13.
constexpr int reseedBlocks = 128;
// k points summed in one pass; bounds the tables to a few hundred kB.
constexpr int pointsPerSlice = 1024;
// Below this angle the series 1 - x^2/2, x - x^3/6 is exact in double;
// below tinyAngle, 1 and x are (the higher terms vanish in rounding), which
// is the usual case: rounding deviations of a few ulp of R.
constexpr double smallAngle = 1e-4;
constexpr double tinyAngle = 1e-8;

struct Phase
{
    double c;
    double s;
};

// exp(i x) for |x| < smallAngle.
inline Phase smallPhase(double x)
{
    const double x2 = x * x;
    return {1.0 - 0.5 * x2, x - x * x2 * (1.0 / 6.0)};
}

// Carried phases (u), their block-to-block rotation (s) and the offset table
// (v, blockSize entries per k point), all as separate real and imaginary
// parts so that the inner loops run over plain arrays. Kept per thread and
// reused, so that repeated transforms do not allocate.
struct Work
{
    void resize(int nk)
    {
        maxTwoK = 0.0;
        for (std::vector<double> *part : {&twoK, &ur, &ui, &sr, &si, &s0r, &s0i})
            part->resize(nk);
        for (std::vector<double> *part : {&vr, &vi, &v0r, &v0i})
            part->resize(nk * blockSize);
    }
    double maxTwoK = 0.0;
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

// out[m] = sum over i of u_i * v_(i,m) for one block (complex), then
// u_i *= s_i so that u holds the phases of the next block. Vec is a GCC
// vector of doubles (or a plain double); the accumulators stay in registers.
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
#define FOURIER_HAVE_X86_KERNELS
typedef double Vec4 __attribute__((vector_size(32)));
typedef double Vec8 __attribute__((vector_size(64)));

__attribute__((target("avx2,fma"))) void sumBlockAvx2(int nk, double *ur, double *ui,
                                                      const double *sr, const double *si,
                                                      const double *vr, const double *vi,
                                                      double *outR, double *outI)
{
    sumBlockT<Vec4>(nk, ur, ui, sr, si, vr, vi, outR, outI);
}

__attribute__((target("avx512f"))) void sumBlockAvx512(int nk, double *ur, double *ui,
                                                       const double *sr, const double *si,
                                                       const double *vr, const double *vi,
                                                       double *outR, double *outI)
{
    sumBlockT<Vec8>(nk, ur, ui, sr, si, vr, vi, outR, outI);
}
#endif

BlockKernel chooseKernel(FourierKernel kernel)
{
#ifdef FOURIER_HAVE_X86_KERNELS
    static const bool haveAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    static const bool haveAvx512 = __builtin_cpu_supports("avx512f");
    if ((kernel == FourierKernel::Best || kernel == FourierKernel::Avx512) && haveAvx512)
        return sumBlockAvx512;
    if ((kernel == FourierKernel::Best || kernel == FourierKernel::Avx2) && haveAvx2)
        return sumBlockAvx2;
#else
    Q_UNUSED(kernel)
#endif
    return sumBlockPortable;
}

// Plain array loops, written so that the compiler vectorises them.

// (ar + i ai) *= (br + i bi), element by element.
void rotate(int n, double *__restrict ar, double *__restrict ai, const double *__restrict br,
            const double *__restrict bi)
{
    for (int i = 0; i < n; ++i) {
        const double re = ar[i] * br[i] - ai[i] * bi[i];
        ai[i] = ar[i] * bi[i] + ai[i] * br[i];
        ar[i] = re;
    }
}

// to[m] = from[m] * exp(i twoK dev[m]) for one table row; tiny when every
// |twoK dev[m]| < tinyAngle.
void correctRow(double twoK, const double *__restrict dev, const double *__restrict fromR,
                const double *__restrict fromI, double *__restrict toR, double *__restrict toI,
                bool tiny)
{
    if (tiny) {
        for (int m = 0; m < blockSize; ++m) {
            const double x = twoK * dev[m];
            toR[m] = fromR[m] - fromI[m] * x;
            toI[m] = fromI[m] + fromR[m] * x;
        }
        return;
    }
    for (int m = 0; m < blockSize; ++m) {
        const Phase p = smallPhase(twoK * dev[m]);
        toR[m] = fromR[m] * p.c - fromI[m] * p.s;
        toI[m] = fromR[m] * p.s + fromI[m] * p.c;
    }
}

// to[i] = from[i] * exp(i twoK[i] dev); tiny when every |twoK[i] dev| < tinyAngle.
void correctRotation(int n, double dev, const double *__restrict twoK,
                     const double *__restrict fromR, const double *__restrict fromI,
                     double *__restrict toR, double *__restrict toI, bool tiny)
{
    if (tiny) {
        for (int i = 0; i < n; ++i) {
            const double x = twoK[i] * dev;
            toR[i] = fromR[i] - fromI[i] * x;
            toI[i] = fromI[i] + fromR[i] * x;
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        const Phase p = smallPhase(twoK[i] * dev);
        toR[i] = fromR[i] * p.c - fromI[i] * p.s;
        toI[i] = fromR[i] * p.s + fromI[i] * p.c;
    }
}

// Per k point: 2k, the offset table for offsets m * step and the rotation
// for one block length, both for the nominal step. The rotation is taken
// directly: it is applied up to reseedBlocks times in a row, so its error
// adds up. The table is built by powers, for all points at once.
void prepare(Work &w, const double *k, int nk, double step)
{
    w.resize(nk);
    double *oneR = w.sr.data(); // free until buildRotation
    double *oneI = w.si.data();
    for (int i = 0; i < nk; ++i) {
        const double twoK = k[i] + k[i];
        w.twoK[i] = twoK;
        w.maxTwoK = std::max(w.maxTwoK, std::fabs(twoK));
        oneR[i] = std::cos(twoK * step);
        oneI[i] = std::sin(twoK * step);
        w.s0r[i] = std::cos(twoK * (step * blockSize));
        w.s0i[i] = std::sin(twoK * (step * blockSize));
        w.ur[i] = 1.0;
        w.ui[i] = 0.0;
    }
    for (int m = 0; m < blockSize; ++m) {
        for (int i = 0; i < nk; ++i) {
            w.v0r[i * blockSize + m] = w.ur[i];
            w.v0i[i * blockSize + m] = w.ui[i];
        }
        rotate(nk, w.ur.data(), w.ui.data(), oneR, oneI);
    }
}

// Offset table for a block whose offsets deviate from m * step by dev[m],
// all with |2k dev| <= largestAngle < smallAngle.
void buildTable(Work &w, const double *dev, double largestAngle)
{
    const int nk = int(w.twoK.size());
    const bool tiny = largestAngle < tinyAngle;
    for (int i = 0; i < nk; ++i) {
        const int row = i * blockSize;
        correctRow(w.twoK[i], dev, &w.v0r[row], &w.v0i[row], &w.vr[row], &w.vi[row], tiny);
    }
}

// Rotation to the next block when block starts are step * blockSize + dev
// apart, with |2k dev| < smallAngle.
void buildRotation(Work &w, double dev)
{
    correctRotation(int(w.twoK.size()), dev, w.twoK.data(), w.s0r.data(), w.s0i.data(), w.sr.data(),
                    w.si.data(), std::fabs(dev) * w.maxTwoK < tinyAngle);
}

// chi * exp(2ikR) computed directly, with the argument formed as (R + R) * k.
void seedPhases(Work &w, const double *k, const double *chi, int nk, double R)
{
    for (int i = 0; i < nk; ++i) {
        const double x = (R + R) * k[i];
        w.ur[i] = chi[i] * std::cos(x);
        w.ui[i] = chi[i] * std::sin(x);
    }
}

// The definition itself, added to the grid points n0 .. n0 + count - 1.
void sumDirect(const double *k, const double *chi, int nk, const QVector<double> &r, int n0,
               int count, QVector<double> &re, QVector<double> &im)
{
    for (int n = n0; n < n0 + count; ++n) {
        const double R = r[n];
        double sumRe = 0.0;
        double sumIm = 0.0;
        for (int i = 0; i < nk; ++i) {
            const double x = (R + R) * k[i];
            sumRe += chi[i] * std::cos(x);
            sumIm += chi[i] * std::sin(x);
        }
        re[n] += sumRe;
        im[n] += sumIm;
    }
}

// Adds the sums over nk points to re and im.
void sumPoints(const double *k, const double *chi, int nk, const QVector<double> &r,
               BlockKernel sumBlock, Work &w, QVector<double> &re, QVector<double> &im)
{
    const int nr = r.size();
    const double step = nr > 1 ? r[1] - r[0] : 0.0;
    prepare(w, k, nk, step);

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
        for (int m = 0; m < count; ++m) {
            dev[m] = (r[n0 + m] - r[n0]) - m * step;
            largestDev = std::max(largestDev, std::fabs(dev[m]));
        }
        // Entries past the end of the grid are not used; keeping the table's
        // saves a rebuild for the last block.
        for (int m = count; m < blockSize; ++m)
            dev[m] = haveTable ? tableDev[m] : 0.0;
        // A block off the even step is summed directly: composing its phases
        // from large angles would cost accuracy, and a table would not be reused.
        const double largestAngle = largestDev * w.maxTwoK;
        if (largestAngle >= smallAngle) {
            sumDirect(k, chi, nk, r, n0, count, re, im);
            reseed = true;
            continue;
        }
        if (!haveTable || !std::equal(dev, dev + blockSize, tableDev)) {
            buildTable(w, dev, largestAngle);
            std::copy(dev, dev + blockSize, tableDev);
            haveTable = true;
        }
        if (reseed || b % reseedBlocks == 0)
            seedPhases(w, k, chi, nk, r[n0]);
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
        for (int m = 0; m < count; ++m) {
            re[n0 + m] += outR[m];
            im[n0 + m] += outI[m];
        }
    }
}

} // namespace

void fourierSums(const QVector<double> &k, const QVector<double> &chi, const QVector<double> &r,
                 QVector<double> &re, QVector<double> &im, FourierKernel kernel)
{
    re.fill(0.0, r.size());
    im.fill(0.0, r.size());
    if (r.isEmpty())
        return;
    // Points in slices, so that the tables stay small for any number of points.
    static thread_local Work work;
    const BlockKernel sumBlock = chooseKernel(kernel);
    for (int first = 0; first < k.size(); first += pointsPerSlice) {
        const int count = std::min(pointsPerSlice, k.size() - first);
        sumPoints(k.constData() + first, chi.constData() + first, count, r, sumBlock, work, re, im);
    }
}
