#include "queuefixture.h"

#include <QMessageBox>
#include <QPushButton>

// Body's queue: admission of at most MAX_PROC programs in creation order,
// jobs deleted while they wait, jobs stopped while they run, and the main
// window's counts of the jobs.
class TstJobQueue : public QueueFixture
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
            QCOMPARE(all.at(i)->ui.AtomsStat->text(), QString("A. Failed"));
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
    void stoppedRunningJobFreesItsSlot_data()
    {
        QTest::addColumn<QString>("input");        // %1: 0 for the stopped job, 1 for the next
        QTest::addColumn<QStringList>("programs"); // arguments as Atoms and as FEFF
        QTest::addColumn<QByteArray>("extra");     // no time limit: stopped by "Del."
        QTest::addColumn<int>("runningStage");
        QTest::addColumn<QString>("gate");
        QTest::newRow("Atoms running, deleted")
            << "00-Cif/j%1.cif" << QStringList{"atoms pidfile wait=gate", feffRuns} << QByteArray()
            << int(Demeter::AtomsRunning) << "gate";
        QTest::newRow("FEFF running, deleted")
            << "00-Inp/j%1.inp" << QStringList{"atoms", "feff pidfile wait=fgate chi=0"}
            << QByteArray() << int(Demeter::FeffRunning) << "fgate";
        QTest::newRow("FEFF past the time limit")
            << "00-Inp/j%1.inp" << QStringList{"atoms", "feff pidfile wait=fgate chi=1"}
            << QByteArray("PROC_TIMEOUT 0.5\n") << int(Demeter::FeffRunning) << "fgate";
        // The wrapper's child is stopped with it: the process group goes.
        QTest::newRow("FEFF behind a wrapper script, deleted")
            << "00-Inp/j%1.inp" << QStringList{"atoms", "feff pidfile wait=fgate chi=0"}
            << QByteArray("FEFF_EXE \"%W/feff wrapper.sh\"\n") << int(Demeter::FeffRunning)
            << "fgate";
    }
    // "Del." or the time limit stops the job's program; its slot goes to the
    // next job at once, and no late report of the killed program counts it
    // off twice.
    void stoppedRunningJobFreesItsSlot()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, programs);
        QFETCH(QByteArray, extra);
        QFETCH(int, runningStage);
        QFETCH(QString, gate);
        addFiles(".", {input.arg(0), input.arg(1)}, "END\n");
        // A shell that waits for its child, as launchers do.
        QVERIFY(writeFile(work + "/feff wrapper.sh", "#!/bin/sh\n\"" FAKEPROG "\" \"$@\"\n"));
        QVERIFY(
            QFile::setPermissions(work + "/feff wrapper.sh", QFile::ReadOwner | QFile::ExeOwner));
        startBody("1", programs[0], programs[1], extra.replace("%W", work.toUtf8()));
        QPointer<Demeter> running = jobs().at(0);
        Demeter *waiting = jobs().at(1);
        QCOMPARE(running->currentStage(), runningStage);
        QCOMPARE(counts(), QString("1 running, 1 queued"));
        const QString pidFile = running->directory() + "/fake.pid";
        QTRY_VERIFY_WITH_TIMEOUT(readFile(pidFile).endsWith('\n'), 20000);
        const qint64 pid = readFile(pidFile).trimmed().toLongLong();

        if (!extra.contains("PROC_TIMEOUT")) {
            running->ui.Delete->click();
            QTRY_VERIFY(running.isNull());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(running->currentStage(), int(Demeter::Done), 20000);
            QVERIFY(!running->chi.hasChiK);
        }
        // An orphaned child is reaped by init, not by us: ended once dead.
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 5000);
        QCOMPARE(waiting->currentStage(), runningStage);
        QCOMPARE(counts(), QString("1 running, 0 queued"));

        open(gate, {waiting});
        QTRY_COMPARE_WITH_TIMEOUT(waiting->currentStage(), int(Demeter::Done), 20000);
        QVERIFY(waiting->chi.hasChiK);
        QCOMPARE(body->runningPrograms(), 0);
    }
    // "Del. All" while a program runs asks first; declined, nothing changes.
    void deleteAllAsksWhileRunning_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("declined") << int(QMessageBox::No) << 2;
        QTest::newRow("confirmed") << int(QMessageBox::Yes) << 0;
    }
    void deleteAllAsksWhileRunning()
    {
        QFETCH(int, answer);
        addFiles("00-Inp", {"a.inp", "b.inp"}, "END\n");
        startBody("1", "atoms", "feff pidfile wait=fgate chi=0");
        QString asked;
        QTimer::singleShot(0, this, [&asked, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked = box->text();
            box->button(QMessageBox::StandardButton(answer))->click();
        });
        body->mainWindow()->findChild<QPushButton *>("DeleteAll")->click();
        QCOMPARE(asked, QString("Jobs running now: 1. Stop them and delete all 2 jobs?"));
        QTEST(jobs().size(), "left");
        if (jobs().size() > 0)
            QCOMPARE(jobs().at(0)->currentStage(), int(Demeter::FeffRunning));
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

QTEST_MAIN(TstJobQueue)
#include "tst_jobqueue.moc"
