#include "chi/chi.h"
#include "gui/fitrunner.h"
#include "gui/fitsummary.h"
#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "plot/measuredcurves.h"
#include "tests/gui/rankingfixture.h"
#include "tests/testfiles.h"

#include <QBrush>
#include <QLabel>
#include <QMutex>
#include <QSemaphore>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// Stands in for the path fit on the worker threads: an R-factor per job
// folder name (no entry: no fit), the measured file's name as the only flag,
// so that a result shows which curve it was made for. While gated, every
// fit waits for the gate.
struct FakeFit
{
    QMutex lock;
    QHash<QString, double> rFactors;
    QStringList written; // "A@m.chi"
    QSemaphore gate;
    QAtomicInt waiting = 0;
    QAtomicInt gated = 0; // read by the workers

    FitResult fit(const FitTask &task, const MeasuredCurve &curve)
    {
        if (gated.loadAcquire()) {
            ++waiting;
            gate.acquire();
        }
        FitResult r;
        const QString name = QFileInfo(task.folder).fileName();
        QMutexLocker locked(&lock);
        r.valid = rFactors.contains(name);
        r.reason = QStringLiteral("no path files");
        r.rFactor = rFactors.value(name, qQNaN());
        r.s02 = {0.91234, 0.04567, false};
        r.flags << QFileInfo(curve.path).fileName();
        return r;
    }
    QString write(const QString &folder, const FitResult &r)
    {
        QMutexLocker locked(&lock);
        written << QFileInfo(folder).fileName() + QLatin1Char('@') + r.flags.value(0);
        return QString();
    }
};

} // namespace

// Jobs A (frequency 4) and B (frequency 5) have chi(k) and path fits with
// R-factors 0.05 and 0.01; D has chi(k) but no fit.
class TstRankingFits : public RankingFixture
{
    Q_OBJECT
private slots:
    void init()
    {
        fake = std::make_shared<FakeFit>();
        fake->rFactors = {{"A", 0.05}, {"B", 0.01}};
        makeWindow();
        FitSettings fit;
        fit.kMax = 14;
        fit.kWeight = 3;
        fit.rMin = 1.2;
        fit.maxPaths = 12;
        window->model()->setOptions(args, FitOptions(), fit);
        std::shared_ptr<FakeFit> f = fake;
        runner()->setFunctions([f](const FitTask &t, const MeasuredCurve &c,
                                   const FitSettings &) { return f->fit(t, c); },
                               [f](const QString &folder, const FitResult &r, const MeasuredCurve &,
                                   const FitSettings &) { return f->write(folder, r); });
        connect(window->model(), &RankingModel::fitChanged, this,
                [this](QObject *source, const FitResult &r) {
                    fitsShown << qMakePair(source, r.valid);
                });
        fitsShown.clear();
        for (const char *name : {"A", "B", "D"})
            jobs << addJob(name);
        fill(jobs[0]->chi, 4);
        fill(jobs[1]->chi, 5);
        fill(jobs[2]->chi, 4);
        for (Demeter *job : qAsConst(jobs))
            emit job->newChi();
    }
    void cleanup()
    {
        fake->gate.release(1000);
        tearDown();
    }

    void fitsLandSortedByTheirRFactor()
    {
        QCOMPARE(runner()->pending(), 0); // nothing to fit against yet
        addMeasured("m.chi", 0.8);
        QCOMPARE(runner()->pending(), 3);
        settle();
        QCOMPARE(column(RankingModel::JobColumn), (QStringList{"B", "A", "D"}));
        QCOMPARE(column(RankingModel::FitRFactorColumn), (QStringList{"0.01", "0.05", "nan"}));
        QCOMPARE(cell(0, RankingModel::S02Column), QStringLiteral("0.912 ± 0.046"));
        QCOMPARE(cell(0, RankingModel::FlagsColumn), QStringLiteral("m.chi"));
        QCOMPARE(cell(2, RankingModel::FlagsColumn), QStringLiteral("no fit: no path files"));
        QVERIFY(jobs[1]->toolTip().startsWith(
            QStringLiteral("Fit against m.chi: R-factor 0.01, reduced chi-square nan\n"
                           "S0² 0.912 ± 0.046")));
        fake->written.sort();
        QCOMPARE(fake->written, (QStringList{"A@m.chi", "B@m.chi", "D@m.chi"}));
        // The plots get both fits, and no curve for D.
        QCOMPARE(fitsShown.size(), 3);
        for (const auto &shown : qAsConst(fitsShown))
            QCOMPARE(shown.second, shown.first != jobs[2]);
    }

    void staleResultsAreDropped_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("flags"); // of B, A, D once settled
        QTest::addColumn<QStringList>("written");
        QTest::newRow("first curve replaced")
            << "replace" << QStringList{"second.chi", "second.chi", "no fit: no path files"}
            << QStringList{"A@second.chi", "B@second.chi", "D@second.chi"};
        QTest::newRow("first curve removed")
            << "remove" << QStringList{"", "", ""} << QStringList();
        QTest::newRow("job deleted") << "delete" << QStringList{"m.chi", "no fit: no path files"}
                                     << QStringList{"B@m.chi", "D@m.chi"};
    }
    void staleResultsAreDropped()
    {
        QFETCH(QString, change);
        fake->gated.storeRelease(1);
        addMeasured("m.chi", 0.8);
        QCOMPARE(cell(0, RankingModel::FitRFactorColumn), QStringLiteral("fitting…"));
        QTRY_VERIFY(fake->waiting.loadRelaxed() > 0); // a fit runs
        QObject *deleted = nullptr;
        if (change == "replace") {
            measured->remove(0);
            addMeasured("second.chi", 1.0);
        } else if (change == "remove") {
            measured->remove(0);
        } else {
            deleted = jobs.takeFirst();
            delete deleted;
        }
        fake->gated.storeRelease(0);
        fake->gate.release(1000);
        settle();
        QFETCH(QStringList, flags);
        QCOMPARE(column(RankingModel::FlagsColumn), flags);
        QFETCH(QStringList, written);
        fake->written.sort();
        QCOMPARE(fake->written, written);
        for (const auto &shown : qAsConst(fitsShown))
            QVERIFY(shown.first != deleted);
        if (change == "remove")
            QCOMPARE(fitsShown.size(), 0);
    }

    void valueWithItsUncertainty_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("two digits of the uncertainty") << 0.91234 << 0.04567 << "0.912 ± 0.046";
        QTest::newRow("uncertainty above one") << 3.21 << 1.234 << "3.2 ± 1.2";
        QTest::newRow("uncertainty above ten") << 123.4 << 56.0 << "123 ± 56";
        QTest::newRow("negative value") << -4.567 << 0.5 << "-4.57 ± 0.50";
        QTest::newRow("no uncertainty") << 0.5 << qQNaN() << "0.5";
        QTest::newRow("zero uncertainty") << 0.5 << 0.0 << "0.5";
        QTest::newRow("vanishing uncertainty") << 0.5 << 1e-20 << "0.50000000 ± 0.00000000";
        QTest::newRow("no value") << qQNaN() << 0.1 << "nan";
    }
    void valueWithItsUncertainty()
    {
        QFETCH(double, value);
        QFETCH(double, error);
        QTEST(FitSummary::valueWithError(value, error), "text");
    }

    void negativeScalesAreMarked()
    {
        addMeasured("m.chi", -0.8);
        settle();
        RankingModel *model = window->model();
        const int a = model->rowOf(jobs[0]);
        const int b = model->rowOf(jobs[1]);
        QCOMPARE(model->index(a, RankingModel::ScaleKColumn).data().toString(),
                 QStringLiteral("-0.8 (negative)"));
        for (int column : {RankingModel::ScaleKColumn, RankingModel::RFactorKColumn})
            QCOMPARE(model->index(a, column).data(Qt::ForegroundRole).value<QBrush>().color(),
                     QColor(200, 0, 0));
        QVERIFY(!model->index(b, RankingModel::ScaleKColumn).data().toString().contains("neg"));
    }

    void rangesAndWeightsAreShown()
    {
        const QString text = window->findChild<QLabel *>("Ranges")->text();
        QVERIFY2(text.contains("Path fit: k 3 to 14 Å⁻¹ (window sill 1 Å⁻¹), k weight 3, "
                               "R 1.2 to 3 Å; the 12 strongest paths up to 5 Å"),
                 qPrintable(text));
        QVERIFY2(text.contains("Scale-only figures: k 2 to 12 Å⁻¹, k weight 2; in R 1 to 3 Å"),
                 qPrintable(text));
    }

private:
    // The measured file: scale times the curve of job A.
    void addMeasured(const QString &name, double scale)
    {
        RankingFixture::addMeasured(name, 4, scale);
    }
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < window->sortedModel()->rowCount(); ++row)
            cells << cell(row, column);
        return cells;
    }

    std::shared_ptr<FakeFit> fake;
    QVector<QPair<QObject *, bool>> fitsShown; // fitChanged: source, valid
};

QTEST_MAIN(TstRankingFits)
#include "tst_rankingfits.moc"
