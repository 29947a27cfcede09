#include "app/feffinp.h"
#include "jobs/demeter.h"

#include "jobrecorder.h"
#include "testfiles.h"

#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

// Jobs run the stand-in program FAKEPROG as Atoms and FEFF. Every test works
// in a fresh folder whose name holds a blank, an accented and Japanese
// letters; the job directories lie in a results folder named likewise.
class TstDemeter : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void newPanel_data();
    void newPanel();
    void runWalk_data();
    void runWalk();
    void consoleOutputDecoding();
    void feffInpBytes_data();
    void feffInpBytes();
    void feffInputCopy_data();
    void feffInputCopy();
    void feffInpNotWritable();
    void clearResultFiles_data();
    void clearResultFiles();
    void readResults_data();
    void readResults();
    void restartRerunsFeff();
    void failedRestartReadsNothing();
    void deleteWhileRunning_data();
    void deleteWhileRunning();
    void retiredJobLaunchesNothing();

private:
    Settings settingsFor(const QString &atomsArgs, const QString &feffArgs) const;
    QString inputPath(const QString &name) const { return work + QLatin1Char('/') + name; }
    QScopedPointer<QTemporaryDir> root;
    QString work;
    QString resDir;
    QString savedCwd;
};

void TstDemeter::init()
{
    savedCwd = QDir::currentPath();
    root.reset(new QTemporaryDir);
    QVERIFY(root->isValid());
    work = root->filePath(QStringLiteral("Arbeit ö 作業"));
    resDir = work + QStringLiteral("/Ergebnis ö 結果");
    QVERIFY(QDir().mkpath(resDir));
}

void TstDemeter::cleanup()
{
    // Every FEFF launch moves the application into its job directory.
    QDir::setCurrent(savedCwd);
}

Settings TstDemeter::settingsFor(const QString &atomsArgs, const QString &feffArgs) const
{
    Settings s;
    s.environment = QProcessEnvironment::systemEnvironment();
    s.resDir = resDir;
    s.atomsExe = QStringLiteral(FAKEPROG);
    s.atomsArgs = atomsArgs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    s.feffExe = QStringLiteral(FAKEPROG);
    s.feffArgs = feffArgs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    s.kMin = 3.0;
    s.kMax = 20.0;
    s.rMin = 0.0;
    s.rMax = 8.0;
    s.rDelta = 0.01;
    s.clearFeffDat = true;
    s.clearChiDat = true;
    return s;
}

void TstDemeter::newPanel_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("dirName");
    QTest::newRow("CIF job") << "Kupfer ö 銅.cif" << 1 << "Kupfer ö 銅";
    QTest::newRow("FEFF input job") << "Kupfer ö 銅.inp" << 6 << "Kupfer ö 銅";
    QTest::newRow("only the last suffix goes") << "a.b.cif" << 1 << "a.b";
}

void TstDemeter::newPanel()
{
    QFETCH(QString, file);
    QFETCH(int, stage);
    QFETCH(QString, dirName);
    QVERIFY(writeFile(inputPath(file), "END\n"));
    Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath(file)), stage);

    QCOMPARE(job.currentStage(), stage);
    QCOMPARE(job.ui.AtomsStat->text(), QString("A. Not Running"));
    QCOMPARE(job.ui.FeffStat->text(), QString("F. Not Running"));
    QCOMPARE(JobRecorder::colourName(job.ui.AtomsStat->styleSheet()), QString("blue"));
    QCOMPARE(JobRecorder::colourName(job.ui.FeffStat->styleSheet()), QString("blue"));
    QCOMPARE(job.ui.TargetName->text(), inputPath(file));
    QCOMPARE(job.ui.TargetName->cursorPosition(), inputPath(file).size());
    QVERIFY(job.ui.TargetName->isReadOnly());
    QCOMPARE(job.directory(), resDir + "/" + dirName);
    QVERIFY(existsOnDisk(job.directory()));
    QVERIFY(job.ui.ResAtoms->isVisibleTo(&job));
    job.ui.ShowResAtoms->setChecked(false);
    QVERIFY(!job.ui.ResAtoms->isVisibleTo(&job));
    QVERIFY(job.ui.ResFeff->isVisibleTo(&job));
    QVERIFY(!job.color.isValid());
}

void TstDemeter::runWalk_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("atomsArgs");
    QTest::addColumn<QString>("feffArgs");
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("paths");
    QTest::addColumn<int>("logs");

    const QStringList cifRun{"A. Starting/3/yellow", "+", "A. Running/4/green", "-",
                             "F. Starting/8/yellow", "+", "F. Running/9/green",
                             // FEFF was launched (and runs) before Atoms shows it ended
                             "A. Finished/9/blue", "-", "F. Finished/0/blue", "newChi"};
    const QStringList feffRun{"F. Starting/8/yellow", "+",     "F. Running/9/green", "-",
                              "F. Finished/0/blue",   "newChi"};
    const QStringList feffRunNoChi = feffRun.mid(0, 5);

    QTest::newRow("CIF job") << 1 << "atoms cat"
                             << "feff chi=3"
                             << "" << cifRun << 3 << 0;
    QTest::newRow("Atoms crash goes on to FEFF") << 1 << "atoms cat abort"
                                                 << "feff chi=3"
                                                 << "" << cifRun << 3 << 0;
    QTest::newRow("Atoms exit code 3 goes on") << 1 << "atoms cat exit=3"
                                               << "feff chi=1"
                                               << "" << cifRun << 1 << 0;
    QTest::newRow("Atoms missing")
        << 1 << "atoms"
        << "feff chi=1"
        << "atoms" << QStringList{"A. Starting/3/yellow", "A. Not Running/3/blue"} << 0 << 0;
    QTest::newRow("FEFF input job") << 6 << ""
                                    << "feff chi=2"
                                    << "" << feffRun << 2 << 0;
    QTest::newRow("FEFF missing") << 6 << ""
                                  << "feff"
                                  << "feff"
                                  << QStringList{"F. Starting/8/yellow", "F. Not Running/8/blue"}
                                  << 0 << 0;
    QTest::newRow("FEFF crash without results") << 6 << ""
                                                << "feff abort"
                                                << "" << feffRunNoChi << 0 << 1;
    QTest::newRow("FEFF path file without data") << 6 << ""
                                                 << "feff nochi"
                                                 << "" << feffRunNoChi << 0 << 1;
}

void TstDemeter::runWalk()
{
    QFETCH(int, stage);
    QFETCH(QString, atomsArgs);
    QFETCH(QString, feffArgs);
    QFETCH(QString, missing);
    QFETCH(QStringList, events);
    QFETCH(int, paths);
    QFETCH(int, logs);

    const QString input = inputPath(stage == 1 ? "Kupfer ö 銅.cif" : "Kupfer ö 銅.inp");
    QVERIFY(writeFile(input, "noise\n * This is the input\nEND\n"));
    Settings s = settingsFor(atomsArgs, feffArgs);
    if (missing == "atoms")
        s.atomsExe = work + "/no such atoms";
    if (missing == "feff")
        s.feffExe = work + "/no such feff";
    Demeter job(s, QFileInfo(input), stage);
    JobRecorder rec(&job);
    job.loadInput();
    job.start();

    QTRY_COMPARE_WITH_TIMEOUT(rec.events, events, 20000);
    QTest::qWait(100); // nothing may follow
    QCOMPARE(rec.events, events);
    QCOMPARE(job.chips.size(), paths);
    QCOMPARE(rec.logs.size(), logs);
    if (events.contains("newChi"))
        QVERIFY(existsOnDisk(job.directory() + "/chiR.dat"));
    if (events.contains("F. Running/9/green")) {
        // Atoms printed the input; the copy of a FEFF input begins with the
        // copy header; either way the text starts at the first " * This".
        const QByteArray written = stage == 1 ? " * This is the input\nEND\n"
                                              : " * This file was copied by Scatterdeck\n"
                                                "noise\n * This is the input\nEND\n";
        QCOMPARE(readFile(job.directory() + "/feff.inp"), written);
        QCOMPARE(QDir::currentPath(), job.directory());
    }
    // The job's own Show boxes are untouched by the run.
    QVERIFY(!job.ui.Show->isChecked());
}

void TstDemeter::consoleOutputDecoding()
{
    const QString input = inputPath("g.cif");
    QVERIFY(writeFile(input, ""));
    Demeter job(settingsFor("atoms garbage", "feff print=Feff_6L.02 print=ö"), QFileInfo(input), 1);
    job.start();
    QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);

    const QString atoms = job.ui.ResAtoms->toPlainText();
    QVERIFY2(atoms.startsWith("bad "), qPrintable(atoms));
    QVERIFY(atoms.contains(QChar(0xFFFD)));
    QVERIFY(atoms.contains("before"));
    QVERIFY2(!atoms.contains("after"), qPrintable(atoms)); // cut at the NUL byte
    QVERIFY(atoms.contains("end"));
    QCOMPARE(job.ui.ResFeff->toPlainText(), QString("Feff_6L.02\nö\n"));
}

void TstDemeter::feffInpBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Atoms chatter dropped")
        << "Atoms 3.0\nwarning: x\n * This file was generated\nTITLE Cu\n"
        << QStringList() << QByteArray(" * This file was generated\nTITLE Cu\n");
    QTest::newRow("no marker keeps everything") << "HOLE 1 1.0\nEND\n"
                                                << QStringList() << QByteArray("HOLE 1 1.0\nEND\n");
    QTest::newRow("marker is case-sensitive")
        << "a\n * this\nb" << QStringList() << QByteArray("a\n * this\nb\n");
    QTest::newRow("empty pane") << "" << QStringList{"RMAX 6.0"} << QByteArray();
    QTest::newRow("blank lines kept") << "A\n\n\nB\n" << QStringList() << QByteArray("A\n\n\nB\n");
    QTest::newRow("RMAX rewritten") << "HOLE 1\nRMAX   5.5\nEND" << QStringList{"RMAX 6.0"}
                                    << QByteArray("HOLE 1\nRMAX 6.0\nEND\n");
    QTest::newRow("commented entry") << "RMAX   5.5\n"
                                     << QStringList{"%RMAX 6.0"} << QByteArray("#RMAX 6.0\n");
    QTest::newRow("marked line rewritten")
        << "%RMAX 5.5\n% RMAX 5.0\n"
        << QStringList{"RMAX 6.0"} << QByteArray("RMAX 6.0\nRMAX 6.0\n");
    QTest::newRow("quoted first word") << "\"RMAX\" 5.5\n"
                                       << QStringList{"RMAX 6.0"} << QByteArray("RMAX 6.0\n");
    QTest::newRow("leading blanks")
        << "   PRINT 0 0 0 0\n"
        << QStringList{"PRINT 1 0 0 3"} << QByteArray("PRINT 1 0 0 3\n");
    QTest::newRow("name compared exactly")
        << "rmax 5.5\nRMAXX 1\n"
        << QStringList{"RMAX 6.0"} << QByteArray("rmax 5.5\nRMAXX 1\n");
    QTest::newRow("two entries") << "PRINT 0\nRMAX 1\nEND\n"
                                 << QStringList{"RMAX 4.0", "PRINT 1 0 0 3"}
                                 << QByteArray("PRINT 1 0 0 3\nRMAX 4.0\nEND\n");
    QTest::newRow("Shift-JIS text") << "TITLE 銅\n"
                                    << QStringList() << QByteArray("TITLE \x93\xba\n");
}

void TstDemeter::feffInpBytes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, cards);
    QFETCH(QByteArray, bytes);
    Settings s = settingsFor("atoms", "feff");
    for (const QString &card : cards)
        putFeffInp(s.feffInps, parseFeffInp(card));
    QVERIFY(writeFile(inputPath("x.cif"), ""));
    Demeter job(s, QFileInfo(inputPath("x.cif")), 1);
    job.ui.ResAtoms->setPlainText(text);
    job.ui.SaveFeffInp->click();
    QCOMPARE(readFile(job.directory() + "/feff.inp"), bytes);
    qDeleteAll(s.feffInps);
}

void TstDemeter::feffInputCopy_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QByteArray>("feffInp");

    const QString header = " * This file was copied by Scatterdeck\n";
    QTest::newRow("Shift-JIS, CR LF")
        << QByteArray("TITLE \x93\xba\r\nEND\r\n") << header + "TITLE 銅\nEND\n"
        << QByteArray(" * This file was copied by Scatterdeck\n"
                      "TITLE \x93\xba\nEND\n");
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBFTITLE \xE9\x8A\x85\n") << header + "TITLE 銅\n"
        << QByteArray(" * This file was copied by Scatterdeck\n"
                      "TITLE \x93\xba\n");
    QTest::newRow("own * This line kept")
        << QByteArray(" * This is mine\nEND\n") << header + " * This is mine\nEND\n"
        << QByteArray(" * This file was copied by Scatterdeck\n"
                      " * This is mine\nEND\n");
}

void TstDemeter::feffInputCopy()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, pane);
    QFETCH(QByteArray, feffInp);
    const QString input = inputPath("Eingabe ö 入力.inp");
    QVERIFY(writeFile(input, file));
    Demeter job(settingsFor("", "feff"), QFileInfo(input), 6);
    JobRecorder rec(&job);
    QCOMPARE(job.ui.ResAtoms->toPlainText(), QString()); // loaded only on request
    job.loadInput();
    job.loadInput();
    QCOMPARE(job.ui.ResAtoms->toPlainText(), pane);
    job.ui.SaveFeffInp->click();
    QCOMPARE(readFile(job.directory() + "/feff.inp"), feffInp);
    QVERIFY(rec.logs.isEmpty());
}

void TstDemeter::feffInpNotWritable()
{
    // The results "folder" is a file, so no job directory can be made.
    resDir = work + "/blocked";
    QVERIFY(writeFile(resDir, "x"));
    QVERIFY(writeFile(inputPath("y.cif"), ""));
    Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("y.cif")), 1);
    JobRecorder rec(&job);
    job.ui.ResAtoms->setPlainText("END\n");
    job.ui.SaveFeffInp->click();
    QCOMPARE(rec.logs, QStringList{"Can not open feff.inp for " + resDir + "/y/feff.inp"});
}

namespace {
const QStringList resultFiles{"CHIP0002.DAT", "chi.dat",   "chi.txt",  "chiR.dat",
                              "chip0001.dat", "feff.inp",  "feff.run", "feff0001.dat",
                              "feffx.dat",    "files.dat", "xchi.dat"};
} // namespace

void TstDemeter::clearResultFiles_data()
{
    QTest::addColumn<bool>("clearFeff");
    QTest::addColumn<bool>("clearChi");
    QTest::addColumn<QStringList>("kept");

    // Patterns feff*.dat and chi*.dat, names compared without regard to case.
    QTest::newRow("neither") << false << false << resultFiles;
    QTest::newRow("feff files") << true << false
                                << QStringList{"CHIP0002.DAT", "chi.dat",      "chi.txt",
                                               "chiR.dat",     "chip0001.dat", "feff.inp",
                                               "feff.run",     "files.dat",    "xchi.dat"};
    QTest::newRow("chi files") << false << true
                               << QStringList{"chi.txt",   "feff.inp",  "feff.run", "feff0001.dat",
                                              "feffx.dat", "files.dat", "xchi.dat"};
    QTest::newRow("both") << true << true
                          << QStringList{"chi.txt", "feff.inp", "feff.run", "files.dat",
                                         "xchi.dat"};
}

void TstDemeter::clearResultFiles()
{
    QFETCH(bool, clearFeff);
    QFETCH(bool, clearChi);
    QFETCH(QStringList, kept);
    Settings s = settingsFor("atoms", "feff");
    s.clearFeffDat = clearFeff;
    s.clearChiDat = clearChi;
    Demeter job(s, QFileInfo(inputPath("z.cif")), 1);
    for (const QString &name : resultFiles)
        QVERIFY(writeFile(job.directory() + "/" + name, "x"));
    job.clearResultFiles();
    QCOMPARE(QDir(job.directory()).entryList(QDir::Files, QDir::Name), kept);
}

void TstDemeter::readResults_data()
{
    QTest::addColumn<QStringList>("withData");
    QTest::addColumn<QStringList>("withoutData");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("newChi");
    QTest::addColumn<int>("logs");

    QTest::newRow("total and three paths, case-blind order")
        << QStringList{"chi.dat", "chip0003.dat", "CHIP0002.dat", "chip0001.dat"} << QStringList()
        << QStringList{"chip0001.dat", "CHIP0002.dat", "chip0003.dat"} << 1 << 0;
    QTest::newRow("path without data left out")
        << QStringList{"chi.dat", "chip0001.dat", "chip0003.dat"} << QStringList{"chip0002.dat"}
        << QStringList{"chip0001.dat", "chip0003.dat"} << 1 << 0;
    QTest::newRow("no chi.dat: paths still read")
        << QStringList{"chip0001.dat"} << QStringList() << QStringList{"chip0001.dat"} << 0 << 1;
    QTest::newRow("chi.dat without data")
        << QStringList() << QStringList{"chi.dat"} << QStringList() << 0 << 0;
}

void TstDemeter::readResults()
{
    QFETCH(QStringList, withData);
    QFETCH(QStringList, withoutData);
    QFETCH(QStringList, paths);
    QFETCH(int, newChi);
    QFETCH(int, logs);
    Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("r.inp")), 6);
    for (const QString &name : withData)
        QVERIFY(writeFile(job.directory() + "/" + name, chiFile(true)));
    for (const QString &name : withoutData)
        QVERIFY(writeFile(job.directory() + "/" + name, chiFile(false)));
    QSignalSpy newChiSpy(&job, &Demeter::newChi);
    QSignalSpy logSpy(&job, &Demeter::log);

    // A second reading replaces the paths of the first.
    for (int round = 1; round <= 2; ++round) {
        job.readResults();
        QStringList names;
        for (const Chi *path : job.chips) {
            QVERIFY(path->hasChiK);
            QVERIFY(path->hasChiR);
            names << QFileInfo(path->sourcePath).fileName();
        }
        QCOMPARE(names, paths);
        QCOMPARE(newChiSpy.count(), newChi * round);
        QCOMPARE(logSpy.count(), logs * round);
    }
    QCOMPARE(job.chi.hasChiK, newChi > 0);
    QCOMPARE(existsOnDisk(job.directory() + "/chiR.dat"), newChi > 0);
}

void TstDemeter::restartRerunsFeff()
{
    const QString input = inputPath("Neu start.inp");
    QVERIFY(writeFile(input, "TITLE first\n"));
    Demeter job(settingsFor("", "feff print=run wait=go chi=1"), QFileInfo(input), 6);
    JobRecorder rec(&job);
    job.loadInput();
    job.start();
    QCOMPARE(job.currentStage(), int(Demeter::FeffRunning));

    job.start();                 // a second start is ignored
    job.ui.FeffRestart->click(); // so is a restart while FEFF runs
    QCOMPARE(rec.events.count("+"), 1);
    QCOMPARE(job.currentStage(), int(Demeter::FeffRunning));

    QVERIFY(writeFile(job.directory() + "/go", ""));
    QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);
    QCOMPARE(job.ui.ResFeff->toPlainText(), QString("run\n"));
    QVERIFY(writeFile(job.directory() + "/chip0005.dat", chiFile(true))); // stale path file

    rec.events.clear();
    job.ui.ResAtoms->setPlainText("TITLE edited\n");
    job.ui.FeffRestart->click();
    const QStringList again{"F. Starting/8/yellow", "+",     "F. Running/9/green", "-",
                            "F. Finished/0/blue",   "newChi"};
    QTRY_COMPARE_WITH_TIMEOUT(rec.events, again, 20000);
    QCOMPARE(readFile(job.directory() + "/feff.inp"), QByteArray("TITLE edited\n"));
    QCOMPARE(job.ui.ResFeff->toPlainText(), QString("run\n")); // emptied before the rerun
    QCOMPARE(job.chips.size(), 1);                             // chip0005.dat was cleared
}

void TstDemeter::failedRestartReadsNothing()
{
    // FEFF is a copy that disappears after the first run. Old results stay
    // on disk, so a wrong "finished" would read them again.
    const QString feff = work + "/feff copy";
    QVERIFY(QFile::copy(QStringLiteral(FAKEPROG), feff));
    Settings s = settingsFor("", "feff chi=2");
    s.feffExe = feff;
    s.clearChiDat = false;
    const QString input = inputPath("r2.inp");
    QVERIFY(writeFile(input, "END\n"));
    Demeter job(s, QFileInfo(input), 6);
    JobRecorder rec(&job);
    job.start();
    QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);
    QCOMPARE(job.chips.size(), 2);

    QVERIFY(QFile::remove(feff));
    rec.events.clear();
    job.ui.FeffRestart->click();
    const QStringList failed{"F. Starting/8/yellow", "F. Not Running/8/blue"};
    QTRY_COMPARE_WITH_TIMEOUT(rec.events, failed, 20000);
    QTest::qWait(100);
    QCOMPARE(rec.events, failed);
    job.ui.FeffRestart->click(); // the job stays where its failed launch left it
    QCOMPARE(rec.events, failed);
}

void TstDemeter::deleteWhileRunning_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("runningStage");
    QTest::newRow("Atoms running") << 1 << int(Demeter::AtomsRunning);
    QTest::newRow("FEFF running") << 6 << int(Demeter::FeffRunning);
}

void TstDemeter::deleteWhileRunning()
{
    QFETCH(int, stage);
    QFETCH(int, runningStage);
    const QString input = inputPath("lang.cif");
    QVERIFY(writeFile(input, "END\n"));
    auto *job = new Demeter(settingsFor("atoms pidfile wait=never", "feff pidfile wait=never"),
                            QFileInfo(input), stage);
    int started = 0;
    int stopped = 0;
    connect(job, &Demeter::procStarted, this, [&started] { ++started; });
    connect(job, &Demeter::procStopped, this, [&stopped] { ++stopped; });
    job->start();
    QCOMPARE(job->currentStage(), runningStage);
    const QString pidFile = job->directory() + "/fake.pid";
    QTRY_VERIFY_WITH_TIMEOUT(readFile(pidFile).endsWith('\n'), 20000);
    const qint64 pid = readFile(pidFile).trimmed().toLongLong();

    delete job;
    QCOMPARE(started, 1);
    QCOMPARE(stopped, 1);
    QVERIFY(processGone(pid));
    QTest::qWait(100); // no report of the killed program may arrive
    QCOMPARE(stopped, 1);
}

void TstDemeter::retiredJobLaunchesNothing()
{
    const QString input = inputPath("weg.cif");
    QVERIFY(writeFile(input, "END\n"));
    Demeter queued(settingsFor("atoms", "feff"), QFileInfo(input), 1);
    queued.retire();
    queued.start();
    QCOMPARE(queued.currentStage(), int(Demeter::AtomsWaiting));

    // Retired while Atoms runs: the end of Atoms launches no FEFF.
    Demeter job(settingsFor("atoms wait=go", "feff chi=1"), QFileInfo(input), 1);
    JobRecorder rec(&job);
    job.start();
    job.retire();
    QVERIFY(writeFile(job.directory() + "/go", ""));
    const QStringList events{"A. Starting/3/yellow", "+", "A. Running/4/green", "-",
                             "A. Finished/6/blue"};
    QTRY_COMPARE_WITH_TIMEOUT(rec.events, events, 20000);
    QTest::qWait(100);
    QCOMPARE(rec.events, events);
}

QTEST_MAIN(TstDemeter)
#include "tst_demeter.moc"
