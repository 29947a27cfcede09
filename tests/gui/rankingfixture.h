#ifndef RANKINGFIXTURE_H
#define RANKINGFIXTURE_H

#include "app/settings.h"
#include "chi/chi.h"
#include "gui/fitrunner.h"
#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "plot/measuredcurves.h"
#include "tests/testfiles.h"

#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The ranking window over jobs whose chi(k) are damped sines, with measured
// curves written as files: what the ranking tests share. A test's init()
// calls makeWindow() and adds its jobs; its cleanup() calls tearDown().
class RankingFixture : public QObject
{
protected:
    // An empty chi(k) filled with a damped sine of the given frequency,
    // every 0.05 from k0 to k1.
    static void fill(Chi &chi, double frequency, double k0 = 0, double k1 = 15)
    {
        for (double k = k0; k <= k1 + 1e-9; k += 0.05) {
            chi.k << k;
            chi.chi << std::sin(frequency * k) * std::exp(-0.1 * k);
        }
        chi.kExtent = {k0, k1};
        chi.hasChiK = true;
    }

    // A fresh folder, no measured curve yet, and the window over k 2 to 12.
    void makeWindow()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        measured = new MeasuredCurves;
        measured->setTransformArgs(args);
        window = new RankingWindow(measured);
    }
    void tearDown()
    {
        qDeleteAll(jobs);
        jobs.clear();
        delete window;
        delete measured;
    }

    FitRunner *runner() const { return window->model()->fitRunner(); }
    Demeter *addJob(const QString &name)
    {
        Settings s;
        s.resDir = dir->filePath(QStringLiteral("res"));
        auto *job = new Demeter(s, QFileInfo(dir->filePath(name + ".inp")), Demeter::FeffWaiting);
        window->model()->addDemeter(job);
        return job;
    }
    // The measured file name: scale times the curve of the given frequency.
    void addMeasured(const QString &name, double frequency, double scale)
    {
        Chi chi;
        fill(chi, frequency);
        QByteArray text = "# k chi\n";
        for (int i = 0; i < chi.k.size(); ++i)
            text += QByteArray::number(chi.k[i], 'g', 17) + ' ' +
                    QByteArray::number(scale * chi.chi[i], 'g', 17) + '\n';
        QVERIFY(writeFile(dir->filePath(name), text));
        QVERIFY(measured->add(dir->filePath(name)));
    }
    // The figures are made on worker threads: every one done and handed over.
    void settle()
    {
        runner()->waitForWorkers();
        QCoreApplication::processEvents();
        QCOMPARE(runner()->pending(), 0);
    }
    QString cell(int row, int column) const
    {
        return window->sortedModel()->index(row, column).data().toString();
    }

    const TransformArgs args{2, 12, 0, 6, 0.05, FtOptions()};
    QScopedPointer<QTemporaryDir> dir;
    MeasuredCurves *measured = nullptr;
    RankingWindow *window = nullptr;
    QVector<Demeter *> jobs;
};

#endif
