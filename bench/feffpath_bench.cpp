// Times the path model: chi(k) of a 20-path job on k = 0, 0.05, ... 20 at
// fit-like parameters, per path and per k point, against a baseline measured
// in the same run: the same equation in std::complex arithmetic, with a
// binary search per point and curve into the spline, as the equation reads.
// Prints both times, their ratio and the largest deviation.
//
//   feffpath_bench [feffNNNN.dat ...]   (default: the test paths, repeated)

#include "fit/feffpath.h"
#include "fit/feffpathset.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <complex>
#include <cstdio>
#include <vector>

namespace {

constexpr int jobPaths = 20;

// The equation as written, one std::complex expression per point; the FEFF
// columns interpolated by a spline through the file's rows found anew for
// each point.
struct Baseline
{
    QVector<double> k;
    std::vector<CubicSpline> curves; // amp, pha, rep, lam, one each
    double degeneracy, reff;

    QVector<double> chi(const QVector<double> &grid, const PathParameters &p) const
    {
        QVector<double> out(grid.size());
        using C = std::complex<double>;
        for (int j = 0; j < grid.size(); ++j) {
            double e = grid[j] * grid[j] - p.de0 * FeffPath::ETOK;
            if (std::abs(e) < 1e-6)
                e = 1e-6;
            const double q = std::copysign(std::sqrt(std::abs(e)), e);
            const int i = std::clamp(int(std::upper_bound(k.begin(), k.end(), q) - k.begin()) - 1,
                                     0, k.size() - 2);
            double v[4];
            for (int c = 0; c < 4; ++c)
                curves[std::size_t(c)].evaluate(i, q, v + c);
            const C pp =
                (v[2] + C(0, 1) / v[3]) * (v[2] + C(0, 1) / v[3]) + C(0, 1) * p.ei * FeffPath::ETOK;
            const C pc = std::sqrt(pp);
            const C x =
                -2.0 * reff * pc.imag() - 2.0 * pp * p.sigma2 +
                C(0, 1) *
                    (2.0 * q * reff + v[1] +
                     2.0 * pc * (p.deltaR - 2.0 * p.sigma2 / reff - 2.0 * pp * p.third / 3.0));
            const C c = degeneracy * p.s02 * v[0] * std::exp(x) /
                        (q * (reff + p.deltaR) * (reff + p.deltaR));
            out[j] = c.imag();
        }
        if (grid.size() >= 3 && grid[0] == 0.0)
            out[0] = 2.0 * out[1] - out[2];
        return out;
    }
};

// The columns of a path file read once more for the baseline's splines.
bool buildBaseline(const QString &fileName, const FeffPath &path, Baseline &b)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QVector<QVector<double>> columns(4);
    QByteArray text = file.readAll();
    text.replace('\0', ' ');
    bool inData = false;
    for (const QByteArray &line : text.split('\n')) {
        if (line.contains("real[p]")) {
            inData = true;
            continue;
        }
        const QList<QByteArray> w = line.simplified().split(' ');
        if (!inData || w.size() != 7)
            continue;
        b.k << w[0].toDouble();
        columns[0] << w[2].toDouble() * w[4].toDouble();
        columns[1] << w[1].toDouble() + w[3].toDouble();
        columns[2] << w[6].toDouble();
        columns[3] << w[5].toDouble();
    }
    for (const QVector<double> &column : columns) {
        b.curves.emplace_back();
        if (!b.curves.back().build(b.k, {column}))
            return false;
    }
    b.degeneracy = path.degeneracy();
    b.reff = path.reff();
    return true;
}

template <typename F> double bestOf(int rounds, F &&work)
{
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()));
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        const QDir data(QStringLiteral(SCATTERDECK_BENCH_PATHS));
        for (const QString &name : data.entryList({QStringLiteral("*feff*_*.dat")}))
            files << data.filePath(name);
    }
    std::vector<FeffPath> paths;
    std::vector<Baseline> baselines;
    for (int i = 0; !files.isEmpty() && int(paths.size()) < jobPaths; ++i) {
        const QString &name = files[i % files.size()];
        FeffPath path;
        Baseline baseline;
        QString error;
        if (!path.read(name, &error) || !buildBaseline(name, path, baseline)) {
            std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? name : error));
            return 1;
        }
        paths.push_back(path);
        baselines.push_back(baseline);
    }
    if (paths.empty()) {
        std::fprintf(stderr, "no path files\n");
        return 1;
    }

    const QVector<double> k = FeffPathSet::chipGrid(20.0);
    std::vector<PathParameters> parameters(paths.size());
    for (std::size_t i = 0; i < parameters.size(); ++i)
        parameters[i] =
            PathParameters{0.9, -3.0 + 0.4 * double(i), 0.003 + 0.0005 * double(i), 0.01, 0.0, 0.0};
    std::vector<double> out(std::size_t(k.size()));
    QVector<double> sum(k.size());
    const int rounds = 200;

    double sink = 0.0;
    const double model = bestOf(rounds, [&] {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            paths[i].chi(k.constData(), k.size(), parameters[i], out.data());
            sink += out[100];
        }
    });
    QVector<QVector<double>> baselineChi(int(paths.size()));
    const double baseline = bestOf(rounds / 10, [&] {
        for (std::size_t i = 0; i < paths.size(); ++i)
            baselineChi[int(i)] = baselines[i].chi(k, parameters[i]);
    });
    double worst = 0.0, largest = 0.0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        paths[i].chi(k.constData(), k.size(), parameters[i], out.data());
        for (int j = 0; j < k.size(); ++j) {
            worst = std::max(worst, std::abs(baselineChi[int(i)][j] - out[std::size_t(j)]));
            largest = std::max(largest, std::abs(baselineChi[int(i)][j]));
        }
    }
    const double points = double(paths.size()) * k.size();
    std::printf("paths %zu, k points %d (0 to 20 by 0.05), best of %d rounds\n", paths.size(),
                k.size(), rounds);
    std::printf("model     %8.1f us per job  %6.1f ns per path and k point\n", model / 1e3,
                model / points);
    std::printf("baseline  %8.1f us per job  %6.1f ns per path and k point\n", baseline / 1e3,
                baseline / points);
    std::printf("ratio baseline/model %.2f, largest deviation %.2e of the largest |chi|%s\n",
                baseline / model, worst / largest, sink == 12345.0 ? " " : "");
    return 0;
}
