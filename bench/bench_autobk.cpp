// Times the reduction of one measured mu(E) spectrum to chi(k) (edge, pre-
// and post-edge lines, the AUTOBK spline fit) and, in the same run when the
// reference library is installed, its pre_edge and autobk on the same file;
// prints the milliseconds per spectrum of both and their ratio.
//
//   bench_autobk [mu(E) file [rounds]]

#include "data/columnfile.h"
#include "data/measureddata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

namespace {

// The reference's time per spectrum in ms, or a negative value when it is
// not installed. Its uncertainty estimate is switched off, as this program
// makes none.
double referenceMs(const QString &path, int rounds)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable())
        return -1.0;
    const QString script =
        QStringLiteral("import sys, time\n"
                       "from larch import Interpreter\n"
                       "from larch.io import read_ascii\n"
                       "from larch.xafs import pre_edge, autobk\n"
                       "s = Interpreter()\n"
                       "g = read_ascii(sys.argv[1], labels='energy mu')\n"
                       "n = int(sys.argv[2])\n"
                       "t = time.perf_counter()\n"
                       "for i in range(n):\n"
                       "    pre_edge(g, _larch=s)\n"
                       "    autobk(g, rbkg=1.0, kweight=1, calc_uncertainties=False, _larch=s)\n"
                       "print(1000 * (time.perf_counter() - t) / n)\n");
    QProcess p;
    p.start(python, {QStringLiteral("-c"), script, path, QString::number(rounds)});
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1.0;
    bool ok = false;
    const double ms = p.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? ms : -1.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path = args.value(1, QStringLiteral(SCATTERDECK_BENCH_XMU));
    const int rounds = std::max(1, args.value(2, QStringLiteral("20")).toInt());

    QStringList lines;
    QString problem;
    XafsSpectrum spectrum;
    if (!ColumnFile::readLines(path, lines, problem) ||
        !ColumnFile::read(lines, path, spectrum, problem) || !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(problem.isEmpty() ? path + " is no mu(E)" : problem));
        return 1;
    }
    MeasuredData::Reduction r;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        r = MeasuredData::reduce(spectrum, MeasuredData::defaults());
    const double ownMs = clock.nsecsElapsed() / 1e6 / rounds;
    if (!r.problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.problem));
        return 1;
    }
    std::printf("%s: %d points, %d knots, %d fit evaluations\n", qPrintable(path),
                int(spectrum.energy.size()), int(r.background.knots.size()),
                r.background.evaluations);
    std::printf("this program:   %8.2f ms per spectrum (%d rounds)\n", ownMs, rounds);
    const double refMs = referenceMs(path, rounds);
    if (refMs < 0) {
        std::printf("reference:      not installed (/usr/bin/python3 with larch)\n");
        return 0;
    }
    std::printf("reference:      %8.2f ms per spectrum\n", refMs);
    std::printf("ratio:          %8.2f (reference / this program)\n", refMs / ownMs);
    return 0;
}
