// Times Chi::transform against the straightforward sums (one std::sin and
// one std::cos per k point and grid point) on a real FEFF chi.dat, in one
// run, and prints both times, their ratio and the largest deviation; the
// same for the standard transform (k weight 2, Hanning window of sill 1).
//
//   chi_transform_bench [chi.dat [rounds]]

#include "chi/chi.h"
#include "chi/fouriersum.h"
#include "chi/standardtransform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const double kMin = 3.0;
const double kMax = 20.0;
const double rMin = 0.0;
const double rMax = 8.0;
const double rDelta = 0.01;

struct Sums
{
    QVector<double> r, re, im;
};

// The transform as defined: accumulated grid, direct sums in k order.
Sums straightforward(const Chi &chi)
{
    Sums s;
    double R = rMin;
    do {
        double re = 0.0;
        double im = 0.0;
        for (int i = 0; i < chi.k.size(); ++i) {
            if (chi.k[i] >= kMin && chi.k[i] <= kMax) {
                const double x = (R + R) * chi.k[i];
                im += std::sin(x) * chi.chi[i];
                re += std::cos(x) * chi.chi[i];
            }
        }
        s.r.append(R);
        s.re.append(re);
        s.im.append(im);
        R = R + rDelta;
    } while (rMax >= R);
    return s;
}

// The standard transform written out: window, k^2 and dk / sqrt(pi) per
// term, direct sums, on the same accumulated grid.
Sums straightforwardStandard(const Chi &chi, const FtOptions &ft)
{
    const double lo = kMin - ft.dk / 2;
    const double hi = kMax + ft.dk / 2;
    QVector<double> usedK, term;
    for (int i = 0; i < chi.k.size(); ++i) {
        const double k = chi.k[i];
        if (k >= lo && k <= hi) {
            usedK.append(k);
            term.append(StandardTransform::window(k, kMin, kMax, ft.dk) * k * k * chi.chi[i]);
        }
    }
    const double factor = (usedK.last() - usedK.first()) / (usedK.size() - 1) / std::sqrt(M_PI);
    Sums s;
    double R = rMin;
    do {
        double re = 0.0;
        double im = 0.0;
        for (int i = 0; i < usedK.size(); ++i) {
            const double x = (R + R) * usedK[i];
            im += std::sin(x) * term[i];
            re += std::cos(x) * term[i];
        }
        s.r.append(R);
        s.re.append(factor * re);
        s.im.append(factor * im);
        R = R + rDelta;
    } while (rMax >= R);
    return s;
}

// Median of rounds timings, in milliseconds.
double medianMs(int rounds, const std::function<void()> &run)
{
    QVector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Largest |difference| of re and im, relative to the largest |chi(R)| of s.
double deviation(const Sums &s, const QVector<double> &re, const QVector<double> &im)
{
    double largest = 0.0;
    double worst = 0.0;
    for (int j = 0; j < s.r.size(); ++j) {
        largest = std::max(largest, std::sqrt(s.re[j] * s.re[j] + s.im[j] * s.im[j]));
        worst = std::max({worst, std::fabs(s.re[j] - re[j]), std::fabs(s.im[j] - im[j])});
    }
    return worst / largest;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.size() > 1 ? args[1] : QStringLiteral(SCATTERDECK_BENCH_CHI);
    const int rounds = args.size() > 2 ? std::max(1, args[2].toInt()) : 200;
    QTextStream out(stdout);

    Chi chi;
    QObject::connect(&chi, &Chi::log, [&out](const QString &msg) { out << msg << '\n'; });
    chi.readChiK(path);
    if (!chi.hasChiK) {
        out << "No chi(k) data in " << path << '\n';
        return 1;
    }
    int inRange = 0;
    for (double k : chi.k)
        inRange += k >= kMin && k <= kMax;

    Sums reference;
    const double directMs = medianMs(rounds, [&] { reference = straightforward(chi); });
    const double transformMs =
        medianMs(rounds, [&] { chi.transform(kMin, kMax, rMin, rMax, rDelta); });

    // The sums alone with each inner loop (one the processor lacks runs the
    // portable loop instead), on the same points and grid.
    QVector<double> usedK, usedChi, re, im;
    for (int i = 0; i < chi.k.size(); ++i) {
        if (chi.k[i] >= kMin && chi.k[i] <= kMax) {
            usedK.append(chi.k[i]);
            usedChi.append(chi.chi[i]);
        }
    }
    out << "file: " << path << "\n"
        << "k points in " << kMin << ".." << kMax << ": " << inRange << ", R grid " << rMin << ".."
        << rMax << " by " << rDelta << ": " << chi.r.size() << " points, median of " << rounds
        << " rounds\n";
    out << QString::asprintf("straightforward loop:      %9.4f ms\n", directMs);
    out << QString::asprintf("Chi::transform:            %9.4f ms   ratio %5.1f   largest "
                             "deviation %.2g\n",
                             transformMs, directMs / transformMs,
                             deviation(reference, chi.chiRRe, chi.chiRIm));
    const struct
    {
        const char *name;
        FourierKernel kernel;
    } kernels[] = {{"AVX-512", FourierKernel::Avx512},
                   {"AVX2", FourierKernel::Avx2},
                   {"portable", FourierKernel::Portable}};
    for (const auto &kernel : kernels) {
        const double ms = medianMs(
            rounds, [&] { fourierSums(usedK, usedChi, reference.r, re, im, kernel.kernel); });
        out << QString::asprintf("sums only, %-8s loop:   %9.4f ms   ratio %5.1f   largest "
                                 "deviation %.2g\n",
                                 kernel.name, ms, directMs / ms, deviation(reference, re, im));
    }
    const FtOptions ft{true, 2, 1.0};
    Sums standardReference;
    const double standardDirectMs =
        medianMs(rounds, [&] { standardReference = straightforwardStandard(chi, ft); });
    const double standardMs = medianMs(rounds, [&] {
        chi.transform(TransformArgs{kMin, kMax, rMin, rMax, rDelta, ft});
    });
    out << "standard transform, k weight 2, Hanning sill 1:\n";
    out << QString::asprintf("straightforward loop:      %9.4f ms\n", standardDirectMs);
    out << QString::asprintf("Chi::transform:            %9.4f ms   ratio %5.1f   largest "
                             "deviation %.2g\n",
                             standardMs, standardDirectMs / standardMs,
                             deviation(standardReference, chi.chiRRe, chi.chiRIm));
    out << "(deviations relative to the largest |chi(R)|)\n"
        << "R grid identical to the accumulated one: " << (chi.r == reference.r ? "yes" : "NO")
        << '\n';
    return 0;
}
