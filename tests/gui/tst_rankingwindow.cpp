#include "chi/chi.h"
#include "gui/fitrunner.h"
#include "gui/rankingmodel.h"
#include "gui/rankingwindow.h"
#include "jobs/demeter.h"
#include "plot/measuredcurves.h"
#include "tests/gui/rankingfixture.h"
#include "tests/testfiles.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// Jobs A (frequency 4), B (frequency 5), D (k only from 30 on, no common
// points) have chi(k); C has none. The measured curve is 0.8 times A.
class TstRankingWindow : public RankingFixture
{
    Q_OBJECT
private slots:
    void init()
    {
        makeWindow();
        window->model()->setOptions(args, FitOptions(), FitSettings());
        for (const char *name : {"A", "B", "C", "D"})
            jobs << addJob(name);
        fill(jobs[0]->chi, 4);
        fill(jobs[1]->chi, 5);
        fill(jobs[3]->chi, 4, 30, 40);
        for (int i : {0, 1, 3})
            emit jobs[i]->newChi();
    }
    void cleanup() { tearDown(); }

    void jobsWithChiAreListedWithoutFiguresFirst()
    {
        QCOMPARE(window->model()->count(), 3);
        QCOMPARE(window->model()->rowOf(jobs[2]), -1);
        QCOMPARE(cell(0, RankingModel::RFactorKColumn), QStringLiteral("nan"));
        QVERIFY(jobs[0]->toolTip().isEmpty());
        QVERIFY(window->findChild<QLabel *>("Reference")->text().contains("-data"));
    }

    void bestFirstAgainstTheFirstCurve()
    {
        window->sortedModel()->sort(RankingModel::RFactorKColumn, Qt::AscendingOrder);
        addMeasured(4, 0.8);
        QCOMPARE(cell(0, RankingModel::JobColumn), QStringLiteral("A"));
        QCOMPARE(cell(0, RankingModel::ScaleKColumn), QStringLiteral("0.8"));
        QCOMPARE(cell(0, RankingModel::ScaleRColumn), QStringLiteral("0.8"));
        const AgreementFigures &a = window->model()->figures(window->model()->rowOf(jobs[0]));
        QVERIFY(a.rK < 1e-12 && a.rR < 1e-12);
        QCOMPARE(cell(1, RankingModel::JobColumn), QStringLiteral("B"));
        QCOMPARE(cell(2, RankingModel::JobColumn), QStringLiteral("D")); // no common points
        QCOMPARE(cell(2, RankingModel::RFactorKColumn), QStringLiteral("nan"));
        QVERIFY(jobs[0]->toolTip().contains(QStringLiteral("Scale-only R-factor in k ")));
        QVERIFY(jobs[0]->toolTip().endsWith(QStringLiteral(" (scale 0.8) against m.chi")));
        // A second curve is drawn but changes nothing here.
        addMeasured(5, 1.0, "second.chi");
        QCOMPARE(cell(0, RankingModel::JobColumn), QStringLiteral("A"));
        // Without the first, the jobs are held against the second.
        measured->remove(0);
        settle();
        QCOMPARE(cell(0, RankingModel::JobColumn), QStringLiteral("B"));
        QVERIFY(jobs[1]->toolTip().contains("second.chi"));
    }

    void sortableByAnyColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("jobOrder");
        QTest::newRow("job descending") << int(RankingModel::JobColumn) << int(Qt::DescendingOrder)
                                        << QStringList{"D", "B", "A"};
        QTest::newRow("scale-only R-factor in k descending, nan first")
            << int(RankingModel::RFactorKColumn) << int(Qt::DescendingOrder)
            << QStringList{"D", "B", "A"};
    }
    void sortableByAnyColumn()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        addMeasured(4, 0.8);
        window->sortedModel()->sort(column, Qt::SortOrder(order));
        QStringList names;
        for (int row = 0; row < 3; ++row)
            names << cell(row, RankingModel::JobColumn);
        QTEST(names, "jobOrder");
    }

    void checkingARowShowsTheJob()
    {
        QSortFilterProxyModel *sorted = window->sortedModel();
        const QModelIndex box = sorted->mapFromSource(
            window->model()->index(window->model()->rowOf(jobs[1]), RankingModel::JobColumn));
        QVERIFY(!jobs[1]->ui.Show->isChecked());
        QVERIFY(sorted->setData(box, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(jobs[1]->ui.Show->isChecked());
        // and the panel's box shows in the table
        QSignalSpy changed(sorted, &QAbstractItemModel::dataChanged);
        jobs[1]->ui.Show->setChecked(false);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(box.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    // Shown, the window is as wide as its columns need, within the screen:
    // with few columns nothing scrolls sideways, with all of them the window
    // takes the screen's width and no more.
    void widthFollowsTheColumns_data()
    {
        QTest::addColumn<int>("shownColumns"); // -1: all
        QTest::newRow("seven columns") << 7;
        QTest::newRow("every column") << -1;
    }
    void widthFollowsTheColumns()
    {
        QFETCH(int, shownColumns);
        if (shownColumns < 0)
            shownColumns = window->sortedModel()->columnCount();
        addMeasured(4, 0.8);
        auto *table = window->findChild<QTableView *>(QStringLiteral("RankingTable"));
        QVERIFY(table);
        for (int c = shownColumns; c < window->sortedModel()->columnCount(); ++c)
            table->setColumnHidden(c, true);
        window->resize(300, 400);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect screen = window->screen()->availableGeometry();
        QVERIFY(screen.contains(window->frameGeometry()));
        const int needed = table->horizontalHeader()->length();
        if (needed < screen.width() - 100)
            QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
        else
            QCOMPARE(window->frameGeometry().width(), screen.width());
    }

    void deletedJobsAndRemovedCurvesLeave()
    {
        addMeasured(4, 0.8);
        delete jobs.takeFirst();
        QCOMPARE(window->model()->count(), 2);
        QCOMPARE(cell(0, RankingModel::JobColumn), QStringLiteral("B"));
        window->findChild<QListView *>("MeasuredList")->setCurrentIndex(measured->index(0));
        window->findChild<QPushButton *>("RemoveCurve")->click();
        settle();
        QCOMPARE(measured->count(), 0);
        QCOMPARE(cell(0, RankingModel::ScaleKColumn), QStringLiteral("nan"));
        QVERIFY(jobs[0]->toolTip().isEmpty());
        QVERIFY(!window->findChild<QPushButton *>("RemoveCurve")->isEnabled());
    }

private:
    void addMeasured(double frequency, double scale, const QString &name = "m.chi")
    {
        RankingFixture::addMeasured(name, frequency, scale);
        settle();
    }
};

QTEST_MAIN(TstRankingWindow)
#include "tst_rankingwindow.moc"
