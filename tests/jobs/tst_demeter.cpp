#include "app/feffinp.h"
#include "jobs/demeter.h"

#include "jobrecorder.h"
#include "tests/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Jobs run the stand-in program FAKEPROG (its words are listed in
// fakeprog.cpp) as Atoms and FEFF. Every test works in a fresh folder whose
// name holds a blank, an accented and Japanese letters; the job directories
// lie in a results folder named likewise.
class TstDemeter : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void run_data();
    void run();
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
    void pathIdentities_data();
    void pathIdentities();
    void restart_data();
    void restart();
    void retiredJobLaunchesNoFeff();

private:
    Settings settingsFor(const QString &atomsArgs, const QString &feffArgs) const;
    QString inputPath(const QString &name) const { return work + QLatin1Char('/') + name; }
    QScopedPointer<QTemporaryDir> root;
    QString work;
    QString resDir;
    QString savedCwd;
};

namespace {
const QByteArray copyHeader = " * This file was copied by Scatterdeck\n";
} // namespace

void TstDemeter::init()
{
    qRegisterMetaType<Demeter::Outcome>(); // for QSignalSpy
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
    s.atomsExe = s.feffExe = QStringLiteral(FAKEPROG);
    s.atomsArgs = atomsArgs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    s.feffArgs = feffArgs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    s.kMin = 3.0;
    s.kMax = 20.0;
    s.rMax = 8.0;
    s.rDelta = 0.01;
    s.clearFeffDat = s.clearChiDat = true;
    return s;
}

// From creation to the job's end: every status text with the stage and
// colour it shows, the signals in order, the outcome and the messages.
void TstDemeter::run_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QStringList>("programs"); // arguments of the stand-in as Atoms and FEFF
    QTest::addColumn<QString>("missing");      // "atoms", "feff" or "input": not there
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("paths");
    QTest::addColumn<QString>("log"); // the one message, %I the input, %D the job folder
    auto row = [](const char *name, int stage, const QStringList &programs, const char *missing,
                  int limitMs, const QStringList &events, Demeter::Outcome outcome, int paths,
                  const char *log) {
        QTest::newRow(name) << stage << programs << missing << limitMs << events << int(outcome)
                            << paths << log;
    };
    const QStringList feffRun = JobRecorder::feffRun();
    const QStringList feffEnd = feffRun.mid(0, 5); // no results read
    const QStringList atomsRun{"A. Starting/3/yellow", "+", "A. Running/4/green", "-"};
    // FEFF is launched (and runs) before Atoms shows that it ended.
    QStringList cifRun = atomsRun + feffRun;
    cifRun.insert(7, "A. Finished/9/blue");
    row("CIF job", 1, {"atoms cat", "feff chi=3"}, "", 0, cifRun, Demeter::ChiRead, 3, "");
    row("Atoms crash goes on to FEFF", 1, {"atoms cat abort", "feff chi=1"}, "", 0, cifRun,
        Demeter::ChiRead, 1, "");
    row("FEFF input job", 6, {"", "feff chi=2"}, "", 0, feffRun, Demeter::ChiRead, 2, "");
    row("FEFF crash without results", 6, {"", "feff abort"}, "", 0, feffEnd, Demeter::NoChiFile, 0,
        "::Can not read chi(k) file : %D/chi.dat");
    row("chi.dat without data", 6, {"", "feff emptychi"}, "", 0, feffEnd, Demeter::NoChiData, 0,
        "");
    row("Atoms missing", 1, {"atoms", "feff chi=1"}, "atoms", 0,
        {"A. Starting/3/yellow", "A. Not Running/3/blue"}, Demeter::AtomsNotStarted, 0, "");
    row("FEFF missing", 6, {"", "feff"}, "feff", 0,
        {"F. Starting/8/yellow", "F. Not Running/8/blue"}, Demeter::FeffNotStarted, 0, "");
    row("CIF gone before the start", 1, {"atoms", "feff chi=1"}, "input", 0, {},
        Demeter::InputMissing, 0, "The input file %I no longer exists; the job is not started.");
    // FEFF is never launched on the output of a cut-off Atoms run, and
    // results written before a stop are not read.
    row("Atoms past the time limit", 1, {"atoms cat pidfile sleep=600000", "feff chi=1"}, "", 300,
        atomsRun + QStringList{"A. Finished/0/blue"}, Demeter::AtomsTimedOut, 0,
        "Atoms reached the time limit of 0.3 s and was stopped: %I");
    row("FEFF past the time limit", 6, {"", "feff chi=1 pidfile sleep=600000"}, "", 300, feffEnd,
        Demeter::FeffTimedOut, 0, "FEFF reached the time limit of 0.3 s and was stopped: %I");
}

void TstDemeter::run()
{
    QFETCH(int, stage);
    QFETCH(QStringList, programs);
    QFETCH(QString, missing);
    QFETCH(int, limitMs);
    QFETCH(QStringList, events);
    QFETCH(int, outcome);
    QFETCH(int, paths);
    QFETCH(QString, log);
    // Only the last suffix goes from the job directory's name.
    const QString input = inputPath(stage == 1 ? "Kupfer ö.銅.cif" : "Kupfer ö.銅.inp");
    QVERIFY(writeFile(input, "noise\n * This is the input\nEND\n"));
    Settings s = settingsFor(programs[0], programs[1]);
    s.procTimeout = limitMs;
    if (missing == "atoms")
        s.atomsExe = work + "/no such atoms";
    if (missing == "feff")
        s.feffExe = work + "/no such feff";
    Demeter job(s, QFileInfo(input), stage);
    JobRecorder rec(&job);
    QSignalSpy ended(&job, &Demeter::ended);
    QCOMPARE(job.currentStage(), stage);
    QCOMPARE(JobRecorder::status(job.ui.AtomsStat), QString("A. Not Running/blue"));
    QCOMPARE(JobRecorder::status(job.ui.FeffStat), QString("F. Not Running/blue"));
    QCOMPARE(job.ui.TargetName->text(), input);
    QCOMPARE(job.directory(), resDir + "/Kupfer ö.銅");
    QVERIFY(existsOnDisk(job.directory()));
    if (missing == "input")
        QVERIFY(QFile::remove(input));
    job.loadInput();
    job.start();

    QCOMPARE(rec.settled(events), events);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).value<Demeter::Outcome>(), Demeter::Outcome(outcome));
    QCOMPARE(job.chips.size(), paths);
    QCOMPARE(rec.logs, log.isEmpty()
                           ? QStringList()
                           : QStringList{log.replace("%I", input).replace("%D", job.directory())});
    QCOMPARE(existsOnDisk(job.directory() + "/chiR.dat"), events.contains("newChi"));
    if (limitMs > 0)
        QVERIFY(processGone(readFile(job.directory() + "/fake.pid").trimmed().toLongLong()));
    if (events.contains("F. Running/9/green")) {
        // Atoms printed the input; the copy of a FEFF input begins with the
        // copy header; either way the text starts at the first " * This".
        const QByteArray text = " * This is the input\nEND\n";
        QCOMPARE(readFile(job.directory() + "/feff.inp"),
                 stage == 1 ? text : copyHeader + "noise\n" + text);
        QCOMPARE(QDir::currentPath(), job.directory());
    }
}

void TstDemeter::consoleOutputDecoding()
{
    const QString input = inputPath("g.cif");
    QVERIFY(writeFile(input, ""));
    Demeter job(settingsFor("atoms garbage", "feff print=Feff_6L.02 print=ö"), QFileInfo(input), 1);
    job.start();
    QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);
    // Invalid UTF-8 becomes replacement characters; a NUL byte cuts its read.
    const QString atoms = job.ui.ResAtoms->toPlainText();
    QVERIFY2(atoms.startsWith("bad ") && atoms.contains(QChar(0xFFFD)) &&
                 atoms.contains("before") && !atoms.contains("after") && atoms.contains("end"),
             qPrintable(atoms));
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
    QTest::newRow("no marker: all kept, blank lines too")
        << "HOLE 1 1.0\n\n\nEND\n"
        << QStringList() << QByteArray("HOLE 1 1.0\n\n\nEND\n");
    QTest::newRow("RMAX rewritten, last line ended")
        << "HOLE 1\nRMAX   5.5\nEND" << QStringList{"RMAX 6.0"}
        << QByteArray("HOLE 1\nRMAX 6.0\nEND\n");
    QTest::newRow("commented entry") << "RMAX   5.5\n"
                                     << QStringList{"%RMAX 6.0"} << QByteArray("#RMAX 6.0\n");
    QTest::newRow("marked, quoted and indented lines rewritten")
        << "%RMAX 5.5\n% RMAX 5.0\n\"RMAX\" 4\n   RMAX 3\n"
        << QStringList{"RMAX 6.0"} << QByteArray("RMAX 6.0\nRMAX 6.0\nRMAX 6.0\nRMAX 6.0\n");
}

void TstDemeter::feffInpBytes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, cards);
    QFETCH(QByteArray, bytes);
    Settings s = settingsFor("atoms", "feff");
    for (const QString &card : cards)
        putFeffInp(s.feffInps, parseFeffInp(card));
    Demeter job(s, QFileInfo(inputPath("x.cif")), 1);
    job.ui.ResAtoms->setPlainText(text);
    job.ui.SaveFeffInp->click();
    QCOMPARE(readFile(job.directory() + "/feff.inp"), bytes);
    qDeleteAll(s.feffInps);
}

// The pane and feff.inp both begin with the copy header.
void TstDemeter::feffInputCopy_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QByteArray>("feffInp");
    QTest::newRow("Shift-JIS, CR LF")
        << QByteArray("TITLE \x93\xba\r\nEND\r\n") << "TITLE 銅\nEND\n"
        << QByteArray("TITLE \x93\xba\nEND\n");
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBFTITLE \xE9\x8A\x85\n") << "TITLE 銅\n"
        << QByteArray("TITLE \x93\xba\n");
    QTest::newRow("own * This line kept")
        << QByteArray(" * This is mine\nEND\n") << " * This is mine\nEND\n"
        << QByteArray(" * This is mine\nEND\n");
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
    QCOMPARE(job.ui.ResAtoms->toPlainText(), QString()); // loaded only on request, and once
    job.loadInput();
    job.loadInput();
    QCOMPARE(job.ui.ResAtoms->toPlainText(), QString::fromLatin1(copyHeader) + pane);
    job.ui.SaveFeffInp->click();
    QCOMPARE(readFile(job.directory() + "/feff.inp"), copyHeader + feffInp);
    QVERIFY(rec.logs.isEmpty());
}

void TstDemeter::feffInpNotWritable()
{
    // The results "folder" is a file, so no job directory can be made.
    resDir = work + "/blocked";
    QVERIFY(writeFile(resDir, "x"));
    Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("y.cif")), 1);
    JobRecorder rec(&job);
    job.ui.ResAtoms->setPlainText("END\n");
    job.ui.SaveFeffInp->click();
    QCOMPARE(rec.logs, QStringList{"Can not open feff.inp for " + resDir + "/y/feff.inp"});
}

// Patterns feff*.dat and chi*.dat, names compared without regard to case.
void TstDemeter::clearResultFiles_data()
{
    QTest::addColumn<bool>("clearFeff");
    QTest::addColumn<bool>("clearChi");
    QTest::addColumn<QStringList>("gone");
    const QStringList feff{"feff0001.dat", "feffx.dat"};
    const QStringList chi{"CHIP0002.DAT", "chi.dat", "chiR.dat", "chip0001.dat"};
    QTest::newRow("feff files") << true << false << feff;
    QTest::newRow("chi files") << false << true << chi;
}

void TstDemeter::clearResultFiles()
{
    QFETCH(bool, clearFeff);
    QFETCH(bool, clearChi);
    QFETCH(QStringList, gone);
    Settings s = settingsFor("atoms", "feff");
    s.clearFeffDat = clearFeff;
    s.clearChiDat = clearChi;
    Demeter job(s, QFileInfo(inputPath("z.cif")), 1);
    QStringList kept{"CHIP0002.DAT", "chi.dat",   "chi.txt",  "chiR.dat",
                     "chip0001.dat", "feff.inp",  "feff.run", "feff0001.dat",
                     "feffx.dat",    "files.dat", "xchi.dat"}; // in QDir::Name order
    for (const QString &name : kept)
        QVERIFY(writeFile(job.directory() + "/" + name, "x"));
    job.clearResultFiles();
    for (const QString &name : gone)
        kept.removeOne(name);
    QCOMPARE(QDir(job.directory()).entryList(QDir::Files, QDir::Name), kept);
}

void TstDemeter::readResults_data()
{
    QTest::addColumn<QStringList>("withData");
    QTest::addColumn<QStringList>("withoutData");
    QTest::addColumn<bool>("batchRun");
    QTest::addColumn<QStringList>("paths"); // loaded, in this order
    QTest::addColumn<int>("pathCount");
    QTest::addColumn<int>("newChi");
    QTest::addColumn<int>("logs");
    QTest::newRow("total and three paths, case-blind order")
        << QStringList{"chi.dat", "chip0003.dat", "CHIP0002.dat", "chip0001.dat"} << QStringList()
        << false << QStringList{"chip0001.dat", "CHIP0002.dat", "chip0003.dat"} << 3 << 1 << 1;
    QTest::newRow("path without data left out")
        << QStringList{"chi.dat", "chip0001.dat", "chip0003.dat"} << QStringList{"chip0002.dat"}
        << false << QStringList{"chip0001.dat", "chip0003.dat"} << 2 << 1 << 1;
    QTest::newRow("batch run: FEFF's path files counted, none loaded")
        << QStringList{"chi.dat", "chip0001.dat", "chip0003.dat"} << QStringList{"chip0002.dat"}
        << true << QStringList() << 3 << 1 << 1;
    QTest::newRow("no chi.dat: paths still read")
        << QStringList{"chip0001.dat"} << QStringList() << false << QStringList{"chip0001.dat"} << 1
        << 0 << 2;
    QTest::newRow("no paths: nothing to identify, no message")
        << QStringList{"chi.dat"} << QStringList() << false << QStringList() << 0 << 1 << 0;
}

void TstDemeter::readResults()
{
    QFETCH(QStringList, withData);
    QFETCH(QStringList, withoutData);
    QFETCH(bool, batchRun);
    QFETCH(QStringList, paths);
    QFETCH(int, pathCount);
    QFETCH(int, newChi);
    QFETCH(int, logs);
    Settings s = settingsFor("atoms", "feff");
    s.batchRun = batchRun;
    Demeter job(s, QFileInfo(inputPath("r.inp")), 6);
    for (const QString &name : withData + withoutData)
        QVERIFY(writeFile(job.directory() + "/" + name, chiFile(withData.contains(name))));
    QSignalSpy newChiSpy(&job, &Demeter::newChi);
    QSignalSpy logSpy(&job, &Demeter::log);
    // The path lists are missing: one message per reading (counted in logs).
    // A second reading replaces the paths of the first.
    for (int round = 1; round <= 2; ++round) {
        job.readResults();
        QStringList names;
        for (const Chi *path : job.chips) {
            QVERIFY(path->hasChiK && path->hasChiR);
            names << QFileInfo(path->sourcePath).fileName();
        }
        QCOMPARE(names, paths);
        QCOMPARE(job.pathCount(), pathCount);
        QCOMPARE(newChiSpy.count(), newChi * round);
        QCOMPARE(logSpy.count(), logs * round);
    }
    QCOMPARE(job.chi.hasChiR, newChi > 0);
    QCOMPARE(existsOnDisk(job.directory() + "/chiR.dat"), newChi > 0);
}

// A real FEFF run's path lists (rutile, see tests/chi/data/rutile): FEFF
// left paths 2 to 5 and 7 to 18 out of this folder, so box numbers and FEFF's
// numbers part.
void TstDemeter::pathIdentities_data()
{
    QTest::addColumn<bool>("batchRun");
    QTest::addColumn<QString>("removed"); // list taken away before the reading
    QTest::addColumn<QStringList>("identities");
    QTest::addColumn<int>("logs");
    const QStringList full{"1 Ti-O 2", "6 Ti-Ti-O 3", "19 Ti-O-O 3"};
    QTest::newRow("both lists") << false << "" << full << 0;
    QTest::newRow("batch run: per path file") << true << "" << full << 0;
    QTest::newRow("files.dat missing: routes and figures of paths.dat")
        << false << "files.dat" << full << 1;
    QTest::newRow("paths.dat missing: figures, no routes")
        << false << "paths.dat" << QStringList{"1  2", "6  3", "19  3"} << 1;
}

void TstDemeter::pathIdentities()
{
    QFETCH(bool, batchRun);
    QFETCH(QString, removed);
    QFETCH(QStringList, identities);
    QFETCH(int, logs);
    Settings s = settingsFor("atoms", "feff");
    s.batchRun = batchRun;
    Demeter job(s, QFileInfo(inputPath("rutile.inp")), 6);
    const QString data = QStringLiteral(CHI_TEST_DATA "/rutile/");
    for (const char *name :
         {"files.dat", "paths.dat", "chip0001.dat", "chip0006.dat", "chip0019.dat"})
        if (removed != name)
            QVERIFY(QFile::copy(data + name, job.directory() + "/" + name));
    QVERIFY(writeFile(job.directory() + "/chi.dat", chiFile(true)));
    QSignalSpy logSpy(&job, &Demeter::log);
    job.readResults();
    QStringList got;
    for (const PathIdentity &id : job.pathIdentities())
        got << QStringLiteral("%1 %2 %3").arg(id.number).arg(id.route.join("-")).arg(id.legs);
    QCOMPARE(got, identities);
    QCOMPARE(job.chips.size(), batchRun ? 0 : 3);
    QCOMPARE(job.pathIdentities().last().file, QString("chip0019.dat"));
    QCOMPARE(logSpy.count(), logs);
}

void TstDemeter::restart_data()
{
    QTest::addColumn<bool>("feffGone");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("reruns FEFF on the edited text") << false << JobRecorder::feffRun();
    // Old results stay on disk (chi files are not cleared), so a wrong
    // "finished" would read them again.
    QTest::newRow("FEFF gone: no stop report, nothing read")
        << true << QStringList{"F. Starting/8/yellow", "F. Not Running/8/blue"};
}

void TstDemeter::restart()
{
    QFETCH(bool, feffGone);
    QFETCH(QStringList, events);
    Settings s = settingsFor("", "feff print=run wait=go chi=1");
    s.feffExe = work + "/feff copy";
    QVERIFY(QFile::copy(QStringLiteral(FAKEPROG), s.feffExe));
    s.clearChiDat = !feffGone;
    const QString input = inputPath("Neu start.inp");
    QVERIFY(writeFile(input, "TITLE first\n"));
    Demeter job(s, QFileInfo(input), 6);
    JobRecorder rec(&job);
    job.loadInput();
    job.start();
    job.start();                 // a second start is ignored
    job.ui.FeffRestart->click(); // so is a restart while FEFF runs
    QCOMPARE(rec.events.count("+"), 1);
    QVERIFY(writeFile(job.directory() + "/go", ""));
    QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);

    QVERIFY(writeFile(job.directory() + "/chip0005.dat", chiFile(true))); // stale path file
    if (feffGone)
        QVERIFY(QFile::remove(s.feffExe));
    rec.events.clear();
    job.ui.ResAtoms->setPlainText("TITLE edited\n");
    job.ui.FeffRestart->click();
    QCOMPARE(rec.settled(events), events);
    QCOMPARE(readFile(job.directory() + "/feff.inp"), QByteArray("TITLE edited\n"));
    // Emptied before the rerun; chip0005.dat cleared or not read.
    QCOMPARE(job.ui.ResFeff->toPlainText(), feffGone ? QString() : QString("run\n"));
    QCOMPARE(job.chips.size(), 1);
    if (feffGone) {
        job.ui.FeffRestart->click(); // after a failed launch the job stays where it is
        QCOMPARE(rec.settled(events), events);
    }
}

void TstDemeter::retiredJobLaunchesNoFeff()
{
    const QString input = inputPath("weg.cif");
    QVERIFY(writeFile(input, "END\n"));
    Demeter job(settingsFor("atoms wait=go", "feff chi=1"), QFileInfo(input), 1);
    JobRecorder rec(&job);
    job.start();
    job.retire(); // while Atoms runs
    QVERIFY(writeFile(job.directory() + "/go", ""));
    const QStringList events{"A. Starting/3/yellow", "+", "A. Running/4/green", "-",
                             "A. Finished/6/blue"};
    QCOMPARE(rec.settled(events), events);
}

QTEST_MAIN(TstDemeter)
#include "tst_demeter.moc"
