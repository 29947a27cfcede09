#include "queuefixture.h"

// The process list around the queue: jobs deleted while they wait or run,
// time limits, and the main window's counts of the jobs.
class TstJobList : public QueueFixture
{
    Q_OBJECT
private slots:
    void deletedQueuedJobNeverStarts_data()
    {
        QTest::addColumn<bool>("deleteNow");
        QTest::newRow("deleted by its button") << true;
        QTest::newRow("deletion still pending") << false;
    }
    void deletedQueuedJobNeverStarts()
    {
        QFETCH(bool, deleteNow);
        addFiles("00-Cif", {"j0.cif", "j1.cif", "j2.cif"});
        startBody("1", atomsWaits, feffRuns);
        const QList<Demeter *> all = jobs();
        const QString doomedDir = all.at(1)->directory();
        QPointer<Demeter> doomed = all.at(1);
        if (deleteNow) {
            doomed->ui.Delete->click();
            QTRY_VERIFY(doomed.isNull());
        } else {
            doomed->retire(); // what the window does before the deferred deletion
        }
        QCOMPARE(jobs().size(), deleteNow ? 2 : 3);
        open("gate", {all.at(0), all.at(2)});
        QVERIFY(writeFile(doomedDir + "/gate", ""));

        // Job 0's FEFF runs beside job 2 (it starts by itself, outside the
        // queue), so either may end first.
        for (Demeter *job : {all.at(0), all.at(2)})
            QTRY_COMPARE_WITH_TIMEOUT(job->currentStage(), int(Demeter::Done), 20000);
        QVERIFY(!startedJobDirs().contains(doomedDir));
        if (!deleteNow)
            QCOMPARE(doomed->currentStage(), int(Demeter::AtomsWaiting));
        QCOMPARE(counts(), QString("0 running, 0 queued"));
    }
    void deletedRunningJobFreesItsSlot_data()
    {
        QTest::addColumn<QString>("input");        // %1: 0 for the deleted job, 1 for the next
        QTest::addColumn<QStringList>("programs"); // arguments as Atoms and as FEFF
        QTest::addColumn<int>("runningStage");
        QTest::addColumn<QString>("gate");
        QTest::newRow("Atoms running")
            << "00-Cif/j%1.cif" << QStringList{"atoms pidfile wait=gate", feffRuns}
            << int(Demeter::AtomsRunning) << "gate";
        QTest::newRow("FEFF running")
            << "00-Inp/j%1.inp" << QStringList{"atoms", "feff pidfile wait=fgate chi=0"}
            << int(Demeter::FeffRunning) << "fgate";
    }
    // "Del." stops the job's program; its slot goes to the next job at once,
    // and no late report of the killed program counts it off twice.
    void deletedRunningJobFreesItsSlot()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, programs);
        QFETCH(int, runningStage);
        QFETCH(QString, gate);
        addFiles(".", {input.arg(0), input.arg(1)}, "END\n");
        startBody("1", programs[0], programs[1]);
        QPointer<Demeter> running = jobs().at(0);
        Demeter *waiting = jobs().at(1);
        QCOMPARE(running->currentStage(), runningStage);
        const QString pidFile = running->directory() + "/fake.pid";
        QTRY_VERIFY_WITH_TIMEOUT(readFile(pidFile).endsWith('\n'), 20000);
        const qint64 pid = readFile(pidFile).trimmed().toLongLong();

        running->ui.Delete->click();
        QTRY_VERIFY(running.isNull());
        QVERIFY(processGone(pid));
        QCOMPARE(waiting->currentStage(), runningStage);
        QCOMPARE(counts(), QString("1 running, 0 queued"));

        open(gate, {waiting});
        QTRY_COMPARE_WITH_TIMEOUT(waiting->currentStage(), int(Demeter::Done), 20000);
        QCOMPARE(body->runningPrograms(), 0);
    }
    void timedOutJobFreesItsSlot()
    {
        // Only the second job finds its gate; the first FEFF waits until the
        // time limit stops it, and then the queue goes on with one slot.
        addFiles("00-Inp", {"hang.inp", "quick.inp"}, "END\n");
        const QString res = work + "/Ergebnis ö 結果";
        QVERIFY(QDir().mkpath(res + "/quick"));
        QVERIFY(writeFile(res + "/quick/fgate", ""));
        startBody("1", "atoms", "feff log wait=fgate chi=1", "PROC_TIMEOUT 0.5\n");
        QCOMPARE(body->currentSettings().procTimeout, 500);
        Demeter *hang = jobs().at(0);
        Demeter *quick = jobs().at(1);
        QCOMPARE(body->runningPrograms(), 1);
        QCOMPARE(quick->currentStage(), int(Demeter::FeffWaiting));

        QTRY_COMPARE_WITH_TIMEOUT(quick->currentStage(), int(Demeter::Done), 20000);
        QCOMPARE(hang->currentStage(), int(Demeter::Done));
        QVERIFY(!hang->chi.hasChiK);
        QVERIFY(quick->chi.hasChiK);
        QCOMPARE(counts(), QString("0 running, 0 queued"));
        QCOMPARE(startedJobDirs(), QStringList({res + "/hang", res + "/quick"}));
    }
    // Four jobs, one at a time; the third loses its folder, so its Atoms cannot
    // start and it fails.
    void statusCountsThroughARun()
    {
        addFiles("00-Cif", {"a.cif", "b.cif", "c.cif", "d.cif"});
        startBody("1", atomsWaits, feffRuns);
        Gui *gui = body->mainWindow();
        auto *counts = gui->findChild<QLabel *>("JobCounts");
        auto *progress = gui->findChild<QProgressBar *>("JobProgress");
        QVERIFY(counts && progress);
        QCOMPARE(counts->text(), QString("Queued 3 · Running 1 · Finished 0 · Failed 0"));
        QCOMPARE(gui->windowTitle(), QString("0 % – MainWindow"));

        QVERIFY(QDir(jobs().at(2)->directory()).removeRecursively());
        open("gate", {jobs().at(0)});
        QTRY_COMPARE_WITH_TIMEOUT(counts->text(),
                                  QString("Queued 2 · Running 1 · Finished 1 · Failed 0"), 20000);
        QCOMPARE(progress->value(), 1);
        QCOMPARE(progress->maximum(), 4);
        QCOMPARE(gui->windowTitle(), QString("25 % – MainWindow"));

        open("gate", {jobs().at(1)});
        // The end of an Atoms run admits the next job while its own FEFF runs:
        // the counts settle once that FEFF has ended too.
        QTRY_COMPARE_WITH_TIMEOUT(counts->text(),
                                  QString("Queued 0 · Running 1 · Finished 2 · Failed 1"), 20000);
        QCOMPARE(jobs().at(3)->currentStage(), int(Demeter::AtomsRunning));
        QCOMPARE(gui->windowTitle(), QString("75 % – MainWindow"));
        open("gate", {jobs().at(3)});
        QTRY_COMPARE_WITH_TIMEOUT(counts->text(),
                                  QString("Queued 0 · Running 0 · Finished 3 · Failed 1"), 20000);
        QCOMPARE(progress->value(), 4);
        QCOMPARE(gui->windowTitle(), QString("MainWindow"));

        gui->findChild<QAction *>("actionFailedOnly")->trigger();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(jobs().at(i)->styleSheet().contains("border"), i == 2);
        for (const bool all : {true, false}) {
            gui->findChild<QAction *>(all ? "actionShowAll" : "actionShowNone")->trigger();
            for (const Demeter *job : jobs())
                QCOMPARE(job->ui.Show->isChecked(), all);
        }

        // A deleted job leaves the counts.
        QMetaObject::invokeMethod(gui, "deleteADemeter", Q_ARG(int, 2));
        QCOMPARE(counts->text(), QString("Queued 0 · Running 0 · Finished 3 · Failed 0"));
        QCOMPARE(progress->maximum(), 3);
    }
};

QTEST_MAIN(TstJobList)
#include "tst_joblist.moc"
