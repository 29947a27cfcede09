#include "tests/app/batchfixture.h"
#include "tests/smalldisk.h"

#include <QSysInfo>

#include <QLockFile>
#include <signal.h>

// What a batch run reports when the disk fills, the results folder cannot be
// written or is another run's: nothing is reported written that is not whole
// on disk.
class TstBatchFaults : public BatchFixture
{
    Q_OBJECT
private slots:
    // The first job's FEFF fills the disk after writing its results: its
    // chiR.dat cannot be written, nor can the next job's feff.inp, whose FEFF
    // then never runs.
    void fullDisk()
    {
        SmallDisk disk;
        SKIP_WITHOUT(disk);
        for (const char *job : {"a", "b"})
            QVERIFY(writeFile(work + "/00-Inp/" + job + ".inp", " * This input\nEND\n"));
        writeConfig("MAX_PROC 1\nRES_FILES \"" + disk.path().toUtf8() +
                    "\"\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff log chi=1 fill\"\n");
        RUN_BATCH(r, 1, {"-e", "-c", "batch.cfg"});
        const QString noSpace = "No space left on device";
        // b starts as soon as a's FEFF has ended, before a's results are read.
        QStringList lines = r.out.mid(0, 2);
        lines.sort();
        QCOMPARE(lines, (QStringList{"write-failed\t" + work + "/00-Inp/a.inp\t" + disk.path() +
                                         "/a\tchiR.dat not written: " + noSpace,
                                     "write-failed\t" + work + "/00-Inp/b.inp\t" + disk.path() +
                                         "/b\tfeff.inp not written: " + noSpace}));
        QCOMPARE(withoutWall(r.out.value(2)), QString("summary\tdone=0\tfailed=2\tunfinished=0"));
        QVERIFY2(r.err.contains("Can not write " + disk.path() + "/a/chiR.dat: " + noSpace),
                 qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(disk.path() + "/a/chiR.dat"));
        QVERIFY(!QFileInfo::exists(disk.path() + "/b/feff.inp"));
        QCOMPARE(programRuns(), QStringList{"feff " + disk.path() + "/a"});
    }
    // The ranking is written at the end, onto a disk that is full by then.
    void rankingOnFullDisk()
    {
        SmallDisk disk;
        SKIP_WITHOUT(disk);
        QVERIFY(writeFile(work + "/00-Inp/a.inp", " * This input\nEND\n"));
        QByteArray measured = "# k chi\n";
        for (int i = 0; i <= 40; ++i)
            measured += QByteArray::number(3 + 0.25 * i) + " 0.1\n";
        QVERIFY(writeFile(work + "/gemessen.chi", measured));
        QVERIFY(disk.fill());
        writeConfig("FEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff chi=1\"\n");
        const QString rank = disk.path() + "/rank.tsv";
        RUN_BATCH(r, 1, {"-e", "-c", "batch.cfg", "-data", "gemessen.chi", "-rank", rank});
        QVERIFY(r.out.value(0).startsWith("ok\t"));
        QVERIFY2(r.err.contains("Can not write the ranking into " + rank +
                                ": No space left on device\n"),
                 qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(rank));
    }

    // A results folder the run cannot use stops it before any program runs,
    // with one message, and the run writes nothing there (not even the
    // chi(k) of its measured μ(E)).
    void unusableResultsFolder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // %R the results folder
        QTest::newRow("read-only disk")
            << "read-only"
            << "The results folder %R can not be written: Read-only file system";
        QTest::newRow("a file") << "file"
                                << "The results folder %R can not be written: ";
        QTest::newRow("another run's")
            << "locked"
            << "The results folder %R is in use by another run: tst_batchfaults, process %P on %H";
    }
    void unusableResultsFolder()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        SmallDisk disk(true);
        QString folder = res;
        QLockFile lock(res + "/.scatterdeck.lock");
        if (kind == "read-only") {
            SKIP_WITHOUT(disk);
            folder = disk.path() + "/Ergebnis";
        } else if (kind == "file") {
            QVERIFY(writeFile(res, "not a folder\n"));
        } else {
            QVERIFY(QDir().mkpath(res));
            QVERIFY(lock.tryLock(0));
        }
        QVERIFY(writeFile(work + "/00-Inp/a.inp", "END\n"));
        writeConfig("RES_FILES \"" + folder.toUtf8() +
                    "\"\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff log chi=1\"\n");
        RUN_BATCH(r, 2, {"-e", "-c", "batch.cfg", "-data", MEASURED_DATA "/cu.xmu"});
        QCOMPARE(r.out, QStringList());
        QVERIFY(!QFileInfo::exists(folder + "/data"));
        message.replace("%R", folder)
            .replace("%P", QString::number(QCoreApplication::applicationPid()))
            .replace("%H", QSysInfo::machineHostName());
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count(folder), 1);
        QVERIFY(programRuns().isEmpty());
    }
    // The site listing runs Atoms while the event loop waits; a stop must not
    // wait for it (here the listing's own limit is 600 s).
    void stopWhileListingSites()
    {
        QVERIFY(writeFile(work + "/00-Cif/langsam.cif", "data_x\n"));
        writeConfig("ABSORBER Fe\nSITES all\nPROC_TIMEOUT 600\nATOMS_EXE \"" FAKEPROG
                    "\"\nATOMS_ARG \"atoms pidfile sleep=600000\"\nFEFF_EXE \"" FAKEPROG "\"\n");
        QProcess *proc = start({"-e", "-c", "batch.cfg"});
        QTRY_VERIFY_WITH_TIMEOUT(readFile(res + "/langsam/fake.pid").endsWith('\n'), 20000);
        QVERIFY(::kill(pid_t(proc->processId()), SIGTERM) == 0);
        const Run r = finish(proc);
        QVERIFY2(!r.crashed && r.exitCode == 128 + SIGTERM, qPrintable(r.err));
        QCOMPARE(withoutWall(r.out.value(0)), QString("summary\tdone=0\tfailed=0\tunfinished=1"));
        QVERIFY(processGone(pidIn(res + "/langsam")));
    }
    // A run killed outright leaves its lock behind; the next run takes it
    // over, and its own lock goes when it ends.
    void staleLockTakenOver()
    {
        QVERIFY(writeFile(work + "/00-Inp/a.inp", " * This input\nEND\n"));
        writeConfig("FEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff pidfile wait=go chi=1\"\n");
        QProcess *killed = start({"-e", "-c", "batch.cfg"});
        QTRY_VERIFY_WITH_TIMEOUT(readFile(res + "/a/fake.pid").endsWith('\n'), 20000);
        QVERIFY(QFileInfo::exists(res + "/.scatterdeck.lock"));
        killed->kill();
        QVERIFY(killed->waitForFinished());
        QVERIFY(writeFile(res + "/a/go", "")); // the orphaned stand-in ends
        QTRY_VERIFY(processGone(pidIn(res + "/a")));
        QVERIFY(QFileInfo::exists(res + "/.scatterdeck.lock"));

        writeConfig("FEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff chi=1\"\n");
        RUN_BATCH(r, 0, {"-e", "-c", "batch.cfg"});
        QVERIFY(r.out.value(0).startsWith("ok\t"));
        QVERIFY(!QFileInfo::exists(res + "/.scatterdeck.lock"));
    }
};

QTEST_MAIN(TstBatchFaults)
#include "tst_batchfaults.moc"
