#include "queuefixture.h"

// Admission to Body's queue: at most MAX_PROC programs, in creation order.
class TstQueue : public QueueFixture
{
    Q_OBJECT
private slots:
    void burstStartsAtMostMaxProc()
    {
        for (int i = 0; i < 10; ++i)
            addFiles("00-Cif", {QString("c%1.cif").arg(i)});
        startBody("3", atomsWaits, feffRuns);

        // Every job is shown; the constructor started exactly three Atoms runs.
        QCOMPARE(jobs().size(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(jobs().at(i)->currentStage(),
                     int(i < 3 ? Demeter::AtomsRunning : Demeter::AtomsWaiting));
        // Nothing the event loop delivers later counts them again.
        QTest::qWait(200);
        QCOMPARE(counts(), QString("3 running, 7 queued"));

        // The end of one Atoms admits exactly one more job.
        open("gate", {jobs().at(0)});
        QTRY_COMPARE_WITH_TIMEOUT(jobs().at(0)->currentStage(), int(Demeter::Done), 20000);
        QCOMPARE(jobs().at(3)->currentStage(), int(Demeter::AtomsRunning));
        QCOMPARE(jobs().at(4)->currentStage(), int(Demeter::AtomsWaiting));
        QCOMPARE(counts(), QString("3 running, 6 queued"));

        open("gate", jobs());
        QTRY_VERIFY_WITH_TIMEOUT(allDone(jobs()), 30000);
        QCOMPARE(counts(), QString("0 running, 0 queued"));
        QCOMPARE(startedJobDirs().size(), 10);
    }
    // MAX_PROC 1: a failed start raises no count and reports no end, so nothing
    // would come back for the rest of the queue.
    void failedStartsDoNotStallQueue_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QVector<int>>("failing");
        QTest::newRow("Atoms missing, nothing running")
            << 3 << QByteArray("ATOMS_EXE \"/no/such/atoms\"\n") << QVector<int>{0, 1, 2};
        // Failing jobs lose their directories, so their Atoms cannot start. The
        // slot freed by the first Atoms end must go past both to the last job.
        QTest::newRow("slot freed by a program end") << 4 << QByteArray() << QVector<int>{1, 2};
    }
    void failedStartsDoNotStallQueue()
    {
        QFETCH(int, count);
        QFETCH(QByteArray, extra);
        QFETCH(QVector<int>, failing);
        for (int i = 0; i < count; ++i)
            addFiles("00-Cif", {QString("j%1.cif").arg(i)});
        startBody("1", atomsWaits, feffRuns, extra);
        const QList<Demeter *> all = jobs();
        QList<Demeter *> running = all;
        for (int i : failing) {
            QVERIFY(QDir(all.at(i)->directory()).removeRecursively());
            running.removeOne(all.at(i));
        }
        open("gate", running);
        QTRY_VERIFY_WITH_TIMEOUT(allDone(running), 20000);
        for (int i : failing) {
            QCOMPARE(all.at(i)->currentStage(), int(Demeter::AtomsStarting));
            QCOMPARE(all.at(i)->ui.AtomsStat->text(), QString("A. Not Running"));
        }
        QCOMPARE(counts(), QString("0 running, 0 queued"));
    }
    // MAX_PROC 1 and two CIF jobs: two programs at once after the first Atoms ends.
    void atomsEndAdmitsNextBeforeOwnFeff()
    {
        addFiles("00-Cif", {"a.cif", "b.cif"});
        startBody("1", atomsWaits, "feff wait=fgate chi=0");
        Demeter *first = jobs().at(0);
        Demeter *second = jobs().at(1);
        QCOMPARE(body->runningPrograms(), 1);
        QCOMPARE(second->currentStage(), int(Demeter::AtomsWaiting));

        open("gate", {first});
        QTRY_COMPARE_WITH_TIMEOUT(first->currentStage(), int(Demeter::FeffRunning), 20000);
        QCOMPARE(second->currentStage(), int(Demeter::AtomsRunning));
        QCOMPARE(body->runningPrograms(), 2);
        // Admitted in procStopped(), before the first job launched its FEFF.
        QCOMPARE(startedJobDirs(), QStringList({first->directory(), second->directory()}));

        open("gate", {second});
        open("fgate", jobs());
        QTRY_VERIFY_WITH_TIMEOUT(allDone(jobs()), 20000);
        QCOMPARE(body->runningPrograms(), 0);
    }
    void creationAndStartOrder()
    {
        addFiles("00-Cif", {"b.cif", "A.CIF", "c.INP", "d.txt", ".h.cif"});
        QVERIFY(QDir().mkpath(work + "/00-Cif/e.cif"));
        addFiles("00-Inp", {"z.inp", "Y.INP", "x.cif"}, "END\n");
        addFiles(".", {"q.inp", "p.cif"}, "END\n");
        startBody("1", "atoms log", feffRuns);
        Gui *gui = body->mainWindow();
        emit gui->droppedFeffFiles(work + "/q.inp", "file://" + work + "/q.inp", "file", "");
        emit gui->droppedCifFiles(work + "/p.cif", "file://" + work + "/p.cif", "file", "");

        // CIF folder by name (its *.inp too, case-blind, folders named *.cif
        // included), then the FEFF input folder, then the drops. Only the first
        // job has started (no events were processed yet), and it has not got
        // past Atoms.
        const QStringList order{"00-Cif/A.CIF/1", "00-Cif/b.cif/1", "00-Cif/c.INP/1",
                                "00-Cif/e.cif/1", "00-Inp/Y.INP/6", "00-Inp/z.inp/6",
                                "q.inp/6",        "p.cif/1"};
        QStringList created;
        for (const Demeter *job : jobs())
            created << QDir(work).relativeFilePath(job->ui.TargetName->text()) + "/" +
                           (job->currentStage() <= Demeter::AtomsRunning ? "1" : "6");
        QCOMPARE(created, order);
        QCOMPARE(body->queuedJobs(), 7);

        QTRY_VERIFY_WITH_TIMEOUT(allDone(jobs()), 30000);
        QCOMPARE(startedJobDirs().replaceInStrings(resDir() + "/", ""),
                 QStringList({"A", "b", "c", "e", "Y", "z", "q", "p"}));
        QCOMPARE(body->runningPrograms(), 0);
    }
    // Programs named relative to the start-up folder keep working after a FEFF
    // launch has moved the application into a job directory.
    void relativeProgramAfterDirectoryChange()
    {
        QVERIFY(QDir().mkpath(work + "/bin dir"));
        QVERIFY(QFile::copy(QStringLiteral(FAKEPROG), work + "/bin dir/fake"));
        addFiles("00-Inp", {"first.inp"}, "END\n");
        startBody("2", "atoms log", feffRuns,
                  "ATOMS_EXE \"bin dir/fake\"\nFEFF_EXE \"bin dir/fake\"\n");
        QCOMPARE(body->currentSettings().feffExe, work + "/bin dir/fake");
        QTRY_COMPARE_WITH_TIMEOUT(jobs().at(0)->currentStage(), int(Demeter::Done), 20000);
        QVERIFY(QDir::currentPath() != work);

        QVERIFY(writeFile(work + "/late.cif", ""));
        emit body->mainWindow()->droppedCifFiles(work + "/late.cif", "", "file", "");
        QTRY_VERIFY_WITH_TIMEOUT(allDone(jobs()), 20000);
        QCOMPARE(startedJobDirs(), QStringList({resDir() + "/first", resDir() + "/late"}));
    }
};

QTEST_MAIN(TstQueue)
#include "tst_queue.moc"
