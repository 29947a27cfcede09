// Benchmark, not a test: the wall time of the window's path fits of many
// jobs against one measured spectrum, from loading the spectrum to the last
// result in the ranking, and the longest the event loop went without
// turning meanwhile. The baseline, measured in the same run, is the same
// fits one after another on one thread with no window.
//   bench_windowfits [jobs] [measured chi file] [FEFF job folder]
// Without a job folder, FEFF (/usr/bin/feff6) is run once on the bundled
// copper input and its folder copied for every job.
#include "app/settings.h"
#include "chi/chi.h"
#include "fit/exafsfit.h"
#include "gui/fitrunner.h"
#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "plot/measuredcurves.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

QTextStream out(stdout);

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &f : QDir(from).entryInfoList(QDir::Files))
        if (!QFile::copy(f.filePath(), QDir(to).filePath(f.fileName())))
            return false;
    return true;
}

QString runFeff(const QString &folder)
{
    QDir().mkpath(folder);
    QFile::copy(QStringLiteral(SCATTERDECK_BENCH_FEFF_INP), QDir(folder).filePath("feff.inp"));
    QProcess feff;
    feff.setWorkingDirectory(folder);
    feff.start(QStringLiteral("/usr/bin/feff6"), {});
    if (!feff.waitForFinished(120000) || !QFileInfo::exists(QDir(folder).filePath("chi.dat")))
        return QString();
    return folder;
}

} // namespace

int main(int argc, char **argv)
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int jobCount = args.size() > 1 ? args[1].toInt() : 300;
    const QString measuredFile =
        args.size() > 2 ? args[2]
                        : QStringLiteral("/usr/share/doc/ifeffit/examples/data/cu10k.chi");
    QTemporaryDir tmp;
    const QString feffFolder =
        args.size() > 3 ? args[3] : runFeff(tmp.filePath(QStringLiteral("template")));
    if (feffFolder.isEmpty() || jobCount < 1) {
        out << "usage: bench_windowfits [jobs] [measured chi file] [FEFF job folder]\n";
        return 2;
    }
    const QString res = tmp.filePath(QStringLiteral("res"));
    for (int i = 0; i < jobCount; ++i)
        if (!copyFolder(feffFolder, QDir(res).filePath(QStringLiteral("Cu-%1").arg(i)))) {
            out << "can not copy " << feffFolder << '\n';
            return 2;
        }

    auto *measured = new MeasuredCurves;
    measured->setTransformArgs({2, 12, 0, 10, 0.02, FtOptions()});
    if (!measured->add(measuredFile)) {
        out << "can not read " << measuredFile << '\n';
        return 2;
    }
    const Chi &reference = measured->curve(0);
    const MeasuredCurve curve{reference.sourcePath, reference.k, reference.chi};
    const FitSettings settings;

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < jobCount; ++i)
        ExafsFit::fitJob(QDir(res).filePath(QStringLiteral("Cu-%1").arg(i)), curve, settings);
    const double serialMs = clock.nsecsElapsed() / 1e6;

    // The window: the ranking holds the jobs; the spectrum comes last, as
    // when a user drops it onto a window full of finished jobs.
    auto *fresh = new MeasuredCurves;
    fresh->setTransformArgs(measured->transformArgs());
    RankingWindow window(fresh);
    window.model()->setOptions(fresh->transformArgs(), FitOptions(), settings);
    window.show();
    std::vector<std::unique_ptr<Demeter>> jobs;
    Settings jobSettings;
    jobSettings.resDir = res;
    for (int i = 0; i < jobCount; ++i) {
        auto job = std::make_unique<Demeter>(
            jobSettings, QFileInfo(tmp.filePath(QStringLiteral("Cu-%1.inp").arg(i))),
            Demeter::FeffWaiting);
        job->chi.readChiK(QDir(job->directory()).filePath(QStringLiteral("chi.dat")));
        window.model()->addDemeter(job.get());
        emit job->newChi();
        jobs.push_back(std::move(job));
    }
    FitRunner *runner = window.model()->fitRunner();
    // The event loop's longest stand-still, sampled by a 5 ms timer; first
    // for a second with nothing to do (the machine's own noise), then while
    // the fits run.
    qint64 longestGapNs = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.start();
    });
    sinceTick.start();
    ticker.start();
    QTimer::singleShot(1000, &app, &QApplication::quit);
    app.exec();
    const double idleGapMs = longestGapNs / 1e6;

    QObject::connect(runner, &FitRunner::pendingChanged, &app, [&app](int pending) {
        if (pending == 0)
            app.quit();
    });
    longestGapNs = 0;
    clock.start();
    sinceTick.start();
    fresh->add(measuredFile);
    app.exec();
    const double windowMs = clock.nsecsElapsed() / 1e6;

    int fitted = 0;
    for (int row = 0; row < window.model()->count(); ++row)
        fitted += window.model()->fitResult(row).valid;
    out << "jobs " << jobCount << ", fitted " << fitted << ", worker threads "
        << runner->workerCount() << " of " << QThread::idealThreadCount() << " cores\n";
    out << "serial fits (baseline): " << serialMs << " ms, " << serialMs / jobCount
        << " ms per job\n";
    out << "window fits: " << windowMs << " ms, " << windowMs / jobCount << " ms per job, "
        << windowMs / serialMs << " x the baseline\n";
    out << "longest event-loop gap while fitting: " << longestGapNs / 1e6
        << " ms; idle before: " << idleGapMs << " ms\n";
    jobs.clear();
    return fitted == jobCount ? 0 : 1;
}
