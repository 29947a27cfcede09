// Times the path fit of the copper job (cu10k.chi against the paths of
// Cu-fcc, three starts) and, when /usr/bin/python3 has X-ray Larch, the
// reference's feffit of the same model in the same run, and prints both and
// their ratio; then the wall time of fitting 300 job folders one after the
// other, as a batch run fits its jobs.
//
//   fit_bench [rounds [jobs]]

#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "fit/exafsfit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>

namespace {

const QString data = QStringLiteral(SCATTERDECK_FIT_DATA);

FitSettings copperSettings()
{
    FitSettings s;
    s.kMin = 3.0;
    s.kMax = 14.0;
    s.dk = 1.0;
    s.kWeight = 2;
    s.rMin = 1.7;
    s.rMax = 3.0;
    return s;
}

// Seconds of Larch's three starts of the copper case, or a negative number
// when Larch is not there.
double larchSeconds(QTextStream &out)
{
    QProcess python;
    python.setWorkingDirectory(data);
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("larch_fits.py"), QStringLiteral("cu10k_fcc")});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        out << "reference: /usr/bin/python3 with larch not available, comparison skipped\n";
        return -1.0;
    }
    const QRegularExpression all(QStringLiteral("seconds_all_starts (\\S+)"));
    const QRegularExpressionMatch m =
        all.match(QString::fromLatin1(python.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int jobs = argc > 2 ? std::max(1, atoi(argv[2])) : 300;

    Chi chi;
    MeasuredChi::read(data + QStringLiteral("/cu10k.chi"), chi);
    const MeasuredCurve curve{QStringLiteral("cu10k.chi"), chi.k, chi.chi};
    const FitSettings settings = copperSettings();
    const QString copper = data + QStringLiteral("/Cu-fcc");

    QVector<double> ms;
    FitResult result;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        result = ExafsFit::fitJob(copper, curve, settings);
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    out << "copper fit, 3 starts, " << result.paths.size() << " paths: median " << median
        << " ms (min " << ms.first() << ", max " << ms.last() << ") over " << rounds
        << " rounds; r_factor " << result.rFactor << "\n";
    out.flush();

    const double larch = larchSeconds(out);
    if (larch > 0)
        out << "reference feffit, same model, 3 starts: " << larch * 1000.0 << " ms; ratio "
            << larch * 1000.0 / median << "x\n";
    out.flush();

    // Alternately the right and a wrong structure, as a batch of candidates.
    const QString folders[] = {copper, data + QStringLiteral("/CuO-rocksalt")};
    QElapsedTimer wall;
    wall.start();
    int valid = 0;
    for (int i = 0; i < jobs; ++i)
        valid += ExafsFit::fitJob(folders[i % 2], curve, settings).valid ? 1 : 0;
    out << jobs << " jobs fitted one after the other: " << wall.elapsed() / 1000.0 << " s wall ("
        << valid << " fits)\n";
    return 0;
}
