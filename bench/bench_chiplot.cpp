// Benchmark, not a test: the time of one repaint of each chi window at
// 1600 x 1000 with 20 shown jobs of 401 points, one of them also showing
// 100 path curves (and in chi(R) all three components). Each figure is
// reported as a ratio to a 60 Hz frame and to a grid-only repaint of the same
// surface measured in the same run.
//   bench_chiplot [repaints]
#include "app/settings.h"
#include "chi/chi.h"
#include "jobs/demeter.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"
#include "plot/dispa.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

constexpr int points = 401;
constexpr int shownJobs = 20;
constexpr int paths = 100;
constexpr double frameMs = 1000.0 / 60;

void fill(Chi &c, double phase)
{
    c.reset();
    for (int i = 0; i < points; ++i) {
        const double k = i * 0.05;
        const double v = std::sin(5.1 * k + phase) * std::exp(-k / 8) / (k + 1);
        c.k << k;
        c.chi << v;
        Chi::updateExtent(k, c.kExtent.min, c.kExtent.max);
        Chi::updateExtent(v, c.chiExtent.min, c.chiExtent.max);
        const double r = i * 0.02;
        const double a = std::exp(-(r - 2.2 - phase / 10) * (r - 2.2 - phase / 10) * 8);
        c.r << r;
        c.chiRAbs << a;
        c.chiRRe << a * std::cos(9 * r);
        c.chiRIm << a * std::sin(9 * r);
        Chi::updateExtent(r, c.rExtent.min, c.rExtent.max);
        Chi::updateExtent(a, c.chiRAbsExtent.min, c.chiRAbsExtent.max);
    }
    c.hasChiK = c.hasChiR = true;
}

// Median of n repaints of the surface, in milliseconds.
double medianRepaintMs(DispA *d, int n)
{
    QImage img(d->size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 3; ++i)
        d->render(&img);
    QVector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < n; ++i) {
        t.start();
        d->render(&img);
        ms << t.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return ms[n / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 50;
    QTemporaryDir dir;
    Settings s;
    s.resDir = dir.filePath(QStringLiteral("res"));
    const QString input = dir.filePath(QStringLiteral("bench.inp"));
    QFile f(input);
    if (f.open(QIODevice::WriteOnly))
        f.write("TITLE bench\n");
    f.close();

    ChiViewCtrl ctrl;
    QVector<Demeter *> jobs;
    for (int j = 0; j < shownJobs; ++j) {
        auto *job = new Demeter(s, QFileInfo(input), 6);
        fill(job->chi, j * 0.3);
        ctrl.addDemeter(job);
        jobs << job;
    }
    for (int p = 0; p < paths; ++p) {
        auto *c = new Chi;
        fill(*c, p * 0.05);
        jobs[0]->chips << c;
    }
    jobs[0]->ui.Show2->setChecked(true); // offers the 100 path boxes
    QTextStream out(stdout);
    struct Case
    {
        ChiView *view;
        QStringList components;
        QString name;
    };
    const QVector<Case> cases = {{ctrl.chiKView(), {}, QStringLiteral("chi(k)")},
                                 {ctrl.chiRView(), {"SelAbs"}, QStringLiteral("chi(R), Abs.")},
                                 {ctrl.chiRView(),
                                  {"SelAbs", "SelReal", "SelImag"},
                                  QStringLiteral("chi(R), Abs. Real Imag.")}};
    for (const Case &c : cases) {
        for (QCheckBox *b : c.view->pathBoxes())
            b->setChecked(true);
        for (const char *name : {"SelAbs", "SelReal", "SelImag"})
            c.view->findChild<QCheckBox *>(QLatin1String(name))
                ->setChecked(c.components.contains(QLatin1String(name)));
        auto *d = c.view->findChild<DispA *>(QStringLiteral("DispChi"));
        d->resize(1600, 1000);
        for (Demeter *job : jobs)
            job->ui.Show->setChecked(false);
        QImage once(d->size(), QImage::Format_ARGB32_Premultiplied);
        jobs[0]->ui.Show->setChecked(true); // sets the automatic range
        d->render(&once);
        jobs[0]->ui.Show->setChecked(false);
        const double grid = medianRepaintMs(d, n);
        for (Demeter *job : jobs)
            job->ui.Show->setChecked(true);
        const double full = medianRepaintMs(d, n);
        out << c.name << ": median of " << n << " repaints " << full << " ms = " << full / frameMs
            << " of a 60 Hz frame, " << full / grid << " x the grid-only repaint (" << grid
            << " ms)\n";
    }
    qDeleteAll(jobs);
    delete ctrl.chiKView();
    delete ctrl.chiRView();
    return 0;
}
