#include "app/feffinp.h"

#include "jobfixture.h"
#include "tests/fit/pathreference.h"

#include <QTextEdit>

// A job's files: the FEFF input written from Atoms' output or copied, the
// card rewrites, old results cleared, chi.dat and the path files read.
class TstDemeterFiles : public JobFixture
{
    Q_OBJECT
private slots:
    void feffInpBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("cards");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Atoms chatter dropped, commented entry")
            << "Atoms 3.0\nwarning: x\n * This file was generated\nTITLE Cu\nRMAX   5.5\n"
            << QStringList{"%RMAX 6.0"}
            << QByteArray(" * This file was generated\nTITLE Cu\n#RMAX 6.0\n");
        QTest::newRow("plain, marked, quoted and indented lines rewritten, last line ended")
            << "RMAX   5.5\n%RMAX 5.5\n% RMAX 5.0\n\"RMAX\" 4\n   RMAX 3\nEND"
            << QStringList{"RMAX 6.0"}
            << QByteArray("RMAX 6.0\nRMAX 6.0\nRMAX 6.0\nRMAX 6.0\nRMAX 6.0\nEND\n");
    }
    void feffInpBytes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, cards);
        Settings s = settingsFor("atoms", "feff");
        for (const QString &card : cards)
            putFeffInp(s.feffInps, parseFeffInp(card));
        Demeter job(s, QFileInfo(inputPath("x.cif")), 1);
        job.atomsPane()->setPlainText(text);
        job.ui.SaveFeffInp->click();
        QTEST(readFile(job.directory() + "/feff.inp"), "bytes");
        qDeleteAll(s.feffInps);
    }
    // The pane and feff.inp both begin with the copy header.
    void feffInputCopy_data()
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
    }
    void feffInputCopy()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, pane);
        QFETCH(QByteArray, feffInp);
        const QString input = inputPath("Eingabe ö 入力.inp");
        QVERIFY(writeFile(input, file));
        Demeter job(settingsFor("", "feff"), QFileInfo(input), 6);
        JobRecorder rec(&job);
        QCOMPARE(job.atomsOutput(), QString()); // loaded only on request, and once
        job.loadInput();
        job.loadInput();
        QCOMPARE(job.atomsPane()->toPlainText(), QString::fromLatin1(copyHeader) + pane);
        job.ui.SaveFeffInp->click();
        QCOMPARE(readFile(job.directory() + "/feff.inp"), copyHeader + feffInp);
        QVERIFY(rec.logs.isEmpty());
    }
    void feffInpNotWritable()
    {
        // The results "folder" is a file, so no job directory can be made.
        resDir = work + "/blocked";
        QVERIFY(writeFile(resDir, "x"));
        Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("y.cif")), 1);
        JobRecorder rec(&job);
        job.atomsPane()->setPlainText("END\n");
        job.ui.SaveFeffInp->click();
        QCOMPARE(rec.logs, QStringList{"Can not write " + resDir + "/y/feff.inp: Not a directory"});
    }
    // Patterns feff*.dat and chi*.dat, names compared without regard to case.
    void clearResultFiles_data()
    {
        QTest::addColumn<bool>("clearFeff");
        QTest::addColumn<bool>("clearChi");
        QTest::addColumn<QStringList>("gone");
        const QStringList feff{"feff0001.dat", "feffx.dat"};
        const QStringList chi{"CHIP0002.DAT", "chi.dat", "chiR.dat", "chip0001.dat"};
        QTest::newRow("feff files") << true << false << feff;
        QTest::newRow("chi files") << false << true << chi;
    }
    void clearResultFiles()
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
    void readResults_data()
    {
        QTest::addColumn<QStringList>("withData");
        QTest::addColumn<QStringList>("withoutData");
        QTest::addColumn<bool>("batchRun");
        QTest::addColumn<QStringList>("paths"); // loaded, in this order
        QTest::addColumn<int>("pathCount");
        QTest::addColumn<int>("newChi");
        QTest::addColumn<int>("logs");
        QTest::newRow("total and three paths, case-blind order, path without data left out")
            << QStringList{"chi.dat", "chip0004.dat", "CHIP0002.dat", "chip0001.dat"}
            << QStringList{"chip0003.dat"} << false
            << QStringList{"chip0001.dat", "CHIP0002.dat", "chip0004.dat"} << 3 << 1 << 1;
        QTest::newRow("batch run: FEFF's path files counted, none loaded")
            << QStringList{"chi.dat", "chip0001.dat", "chip0003.dat"} << QStringList{"chip0002.dat"}
            << true << QStringList() << 3 << 1 << 1;
        QTest::newRow("no chi.dat: paths still read")
            << QStringList{"chip0001.dat"} << QStringList() << false << QStringList{"chip0001.dat"}
            << 1 << 0 << 2;
    }
    void readResults()
    {
        QFETCH(QStringList, withData);
        QFETCH(QStringList, withoutData);
        QFETCH(bool, batchRun);
        QFETCH(int, newChi);
        QFETCH(int, logs);
        Settings s = settingsFor("atoms", "feff");
        s.batchRun = batchRun;
        Demeter job(s, QFileInfo(inputPath("r.inp")), 6);
        job.ui.Show2->setChecked(true); // path curves are read for Show2 only
        for (const QString &name : withData + withoutData)
            QVERIFY(writeFile(job.directory() + "/" + name, chiFile(withData.contains(name))));
        JobRecorder rec(&job);
        // The path lists are missing: one message per reading (counted in logs).
        // A second reading replaces the paths of the first.
        for (int round = 1; round <= 2; ++round) {
            job.readResults();
            QStringList names;
            for (const Chi *path : job.chips) {
                QVERIFY(path->hasChiK && path->hasChiR);
                names << QFileInfo(path->sourcePath).fileName();
            }
            QTEST(names, "paths");
            QTEST(job.pathCount(), "pathCount");
            QCOMPARE(rec.events.count("newChi"), newChi * round);
            QCOMPARE(rec.logs.size(), logs * round);
        }
        QCOMPARE(job.chi.hasChiR, newChi > 0);
        QCOMPARE(existsOnDisk(job.directory() + "/chiR.dat"), newChi > 0);
    }
    // A real FEFF run's path lists (rutile, see tests/chi/data/rutile): FEFF
    // left paths 2 to 5 and 7 to 18 out of this folder, so box numbers and FEFF's
    // numbers part.
    void pathIdentities_data()
    {
        QTest::addColumn<QString>("removed"); // list taken away before the reading
        QTest::addColumn<QStringList>("identities");
        QTest::addColumn<int>("logs");
        QTest::newRow("both lists")
            << "" << QStringList{"1 Ti-O 2", "6 Ti-Ti-O 3", "19 Ti-O-O 3"} << 0;
        QTest::newRow("paths.dat missing: figures, no routes")
            << "paths.dat" << QStringList{"1  2", "6  3", "19  3"} << 1;
    }
    void pathIdentities()
    {
        QFETCH(QString, removed);
        Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("rutile.inp")), 6);
        const QString data = QStringLiteral(CHI_TEST_DATA "/rutile/");
        for (const char *name :
             {"files.dat", "paths.dat", "chip0001.dat", "chip0006.dat", "chip0019.dat"})
            if (removed != name)
                QVERIFY(QFile::copy(data + name, job.directory() + "/" + name));
        QVERIFY(writeFile(job.directory() + "/chi.dat", chiFile(true)));
        QSignalSpy logSpy(&job, &Demeter::log);
        job.ui.Show2->setChecked(true);
        job.readResults();
        QStringList got;
        for (const PathIdentity &id : job.pathIdentities())
            got << QStringLiteral("%1 %2 %3").arg(id.number).arg(id.route.join("-")).arg(id.legs);
        QTEST(got, "identities");
        QCOMPARE(job.chips.size(), 3);
        QCOMPARE(job.pathIdentities().last().file, QString("chip0019.dat"));
        QTEST(logSpy.count(), "logs");
        // The curves are kept only while Show2 asks for them.
        job.ui.Show2->setChecked(false);
        QCOMPARE(job.chips.size(), 0);
        QCOMPARE(job.pathCount(), 3);
        job.ui.Show2->setChecked(true);
        QCOMPARE(job.chips.size(), 3);
    }
    // A FEFF 8.5L folder (feffNNNN.dat, no chip files): the path curves come
    // from the model at FEFF's S0² and σ², compared with the reference
    // library's chi of the same files (tests/fit/data, path_chi_reference.py).
    void modelPaths_data()
    {
        QTest::addColumn<QByteArray>("feffInp");
        QTest::addColumn<QByteArray>("sig2");      // of path 1 in files.dat
        QTest::addColumn<QString>("referenceSet"); // of path 1
        QTest::addColumn<double>("scale");         // S0² the job must apply
        QTest::newRow("no feff.inp: S0² 1, σ² 0")
            << QByteArray() << QByteArray("0.00000") << "feff" << 1.0;
        QTest::newRow("HOLE's S0²")
            << QByteArray(" HOLE 1 0.85 * K edge\n") << QByteArray("0.00000") << "feff" << 0.85;
        QTest::newRow("S02 card over HOLE, commented S02 ignored")
            << QByteArray(" HOLE 1 0.85\n * S02 0.5\n S02 0.7\n") << QByteArray("0.00000") << "feff"
            << 0.7;
        QTest::newRow("σ² of files.dat")
            << QByteArray(" HOLE 1 1.0\n") << QByteArray("0.00500") << "sigma2_only" << 1.0;
    }
    void modelPaths()
    {
        QFETCH(QByteArray, feffInp);
        QFETCH(QByteArray, sig2);
        QFETCH(QString, referenceSet);
        QFETCH(double, scale);
        const QString data = QStringLiteral(FIT_TEST_DATA "/");
        Demeter job(settingsFor("atoms", "feff"), QFileInfo(inputPath("rutile.inp")), 6);
        const QString dir = job.directory() + "/";
        QVERIFY(QFile::copy(data + "rutile_feff8_0001.dat", dir + "feff0001.dat"));
        QVERIFY(QFile::copy(data + "rutile_feff8_0004.dat", dir + "feff0004.dat"));
        QVERIFY(writeFile(dir + "feff0002.dat", "not a path file\n"));
        QVERIFY(writeFile(dir + "files.dat",
                          " feff0001.dat " + sig2 +
                              "   100.000     4.000     2   1.9485\n"
                              " feff0004.dat 0.00000    20.000     4.000     3   3.2166\n"));
        if (!feffInp.isEmpty())
            QVERIFY(writeFile(dir + "feff.inp", feffInp));
        QVERIFY(writeFile(dir + "chi.dat", chiFile(true)));
        QSignalSpy logSpy(&job, &Demeter::log);
        job.readResults();

        // The broken file and the missing paths.dat are logged; the paths
        // are named from files.dat and the path files' headers.
        QCOMPARE(logSpy.count(), 2);
        QVERIFY(logSpy.at(1).at(0).toString().contains("feff0002.dat"));
        QCOMPARE(job.pathCount(), 2);
        QStringList got;
        for (const PathIdentity &id : job.pathIdentities())
            got << QStringLiteral("%1 %2 %3 %4")
                       .arg(id.file)
                       .arg(id.route.join("-"))
                       .arg(id.legs)
                       .arg(id.reff);
        QCOMPARE(got, (QStringList{"feff0001.dat Ti-O 2 1.9485", "feff0004.dat Ti-O-O 3 3.2166"}));
        QCOMPARE(job.chips.size(), 2);
        const Chi &path = *job.chips.first();
        QVERIFY(path.hasChiR);
        QCOMPARE(QFileInfo(path.sourcePath).fileName(), QString("feff0001.dat"));

        // FEFF's chip grid, 0 to 20 by 0.05, against the reference.
        PathReference reference;
        QVERIFY(reference.read(data + "rutile_feff8_0001.chi.txt"));
        QVector<double> expected =
            reference.chi.value(reference.names.indexOf(referenceSet)).mid(0, 401);
        for (double &value : expected)
            value *= scale;
        QCOMPARE(path.k.size(), 401);
        QCOMPARE(path.k.last(), 20.0);
        const double worst = deviation(path.chi, expected, largestMagnitude(expected));
        QVERIFY2(worst < 1e-6, qPrintable(QString::number(worst)));

        // Chip files, where FEFF wrote them, stay the curves (read for Show2).
        QVERIFY(writeFile(dir + "chip0001.dat", chiFile(true)));
        job.ui.Show2->setChecked(true);
        job.readResults();
        QCOMPARE(job.chips.size(), 1);
        QCOMPARE(job.pathIdentities().first().file, QString("chip0001.dat"));
    }
};

QTEST_MAIN(TstDemeterFiles)
#include "tst_demeterfiles.moc"
