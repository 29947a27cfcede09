#include "tests/app/batchfixture.h"

#include <QMap>

#include <algorithm>
#include <signal.h>
#include <sys/stat.h>

class TstBatch : public BatchFixture
{
    Q_OBJECT
private slots:
    // The whole road, as a user starts it: the program with its window on
    // every bundled example with the shipped Linux configuration, the real
    // Atoms program and FEFF 6.
    void everyExampleEndsWithChiR()
    {
        QStringList jobs;
        for (const QString sub : {"00-Cif", "00-Inp"}) {
            for (const QFileInfo &f : QDir(EXAMPLES_DIR "/" + sub).entryInfoList(QDir::Files)) {
                QVERIFY(QFile::copy(f.filePath(), work + "/" + sub + "/" + f.fileName()));
                jobs << f.completeBaseName();
            }
        }
        QCOMPARE(jobs.size(), 5);
        // The shipped configuration, its ATOMS_EXE at the built program.
        QByteArray config = "\xEF\xBB\xBF";
        for (const QByteArray &line : readFile(EXAMPLES_DIR "/config.cfg").split('\n'))
            config +=
                (line.startsWith("ATOMS_EXE") ? QByteArray("ATOMS_EXE \"" ATOMS_EXE "\"") : line) +
                '\n';
        QVERIFY(writeFile(work + "/config.cfg", config));

        QProcess *app = start({"-e"}, true);
        QVERIFY(app->waitForStarted());
        // Header, then one line per point of the 0..8 by 0.01 grid; a file still
        // being written has fewer.
        auto complete = [&](const QString &job) {
            QFile chiR(work + "/00-Res/" + job + "/chiR.dat");
            return chiR.open(QIODevice::ReadOnly | QIODevice::Text) &&
                   chiR.readAll().count('\n') == 5 + 801;
        };
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(jobs.begin(), jobs.end(), complete), 60000);
        QCOMPARE(app->state(), QProcess::Running); // it ends only when the user closes it
        app->terminate();
        QVERIFY(app->waitForFinished(5000));

        const QString output =
            QString::fromUtf8(app->readAllStandardOutput() + app->readAllStandardError());
        QVERIFY2(!output.contains("Can not"), qPrintable(output));
        // PRINT 1 0 0 3 from the configuration: FEFF wrote path files.
        for (const QString &job : jobs)
            QVERIFY2(!QDir(work + "/00-Res/" + job).entryList({"chip*.dat"}).isEmpty(),
                     qPrintable(job));
    }
    void realPrograms()
    {
        SKIP_WITHOUT_FEFF6();
        copyExamples();
        QVERIFY(writeFile(work + "/00-Cif/kaputt.cif", "data_broken\n_cell_length_a abc\n"));
        writeConfig("MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                    QByteArray(feff6) + "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 3\n");

        RUN_BATCH(r, 1, {"-e", "-c", "batch.cfg"});
        QCOMPARE(r.out.size(), 5);

        // One line per job in the order the jobs ended, then the summary.
        QMap<QString, QStringList> byInput;
        for (const QString &line : r.out.mid(0, 4))
            byInput.insert(line.section('\t', 1, 1), line.split('\t'));
        QCOMPARE(byInput.keys(),
                 (QStringList{work + "/00-Cif/Cu.cif", work + "/00-Cif/NaCl.cif",
                              work + "/00-Cif/kaputt.cif", work + "/00-Inp/Cu-metal.inp"}));
        for (const QStringList &fields : byInput) {
            QCOMPARE(fields.size(), 4);
            const QString dir = res + "/" + QFileInfo(fields.at(1)).completeBaseName();
            QCOMPARE(fields.at(2), dir);
            if (dir.endsWith("/kaputt")) {
                QCOMPARE(fields.at(0) + "\t" + fields.at(3),
                         QString("atoms-failed\tAtoms ended with exit code 1"));
                QVERIFY(!QFileInfo::exists(dir + "/chiR.dat"));
                // Its error message is kept for the user to read.
                QVERIFY(readFile(dir + "/feff.inp").contains("no atom sites"));
                continue;
            }
            // The path count is the number of path files FEFF left.
            const int paths = QDir(dir).entryList({"chip*.dat"}, QDir::Files).size();
            QVERIFY(paths > 1);
            QCOMPARE(fields.at(0) + "\t" + fields.at(3),
                     QString("ok\tchi(k) read with %1 paths, chiR.dat written").arg(paths));
            // R from 0 to 8 by 0.01: 801 lines neither empty nor comments.
            const QRegularExpression row("^[^#\n]", QRegularExpression::MultilineOption);
            QCOMPARE(QString(readFile(dir + "/chiR.dat")).count(row), 801);
        }
        QVERIFY2(QRegularExpression("\twall=\\d+\\.\\d{3}$").match(r.out.last()).hasMatch(),
                 qPrintable(r.out.last()));
        QCOMPARE(withoutWall(r.out.last()), QString("summary\tdone=3\tfailed=1\tunfinished=0"));

        // The log goes to standard error; the debug channel stays quiet.
        QVERIFY2(r.err.contains(work + "/00-Cif/kaputt.cif: Atoms ended with exit code 1\n"),
                 qPrintable(r.err));
        QVERIFY2(!r.err.contains("demetr :: Start"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("display", Qt::CaseInsensitive), qPrintable(r.err));
    }
    // Inputs of one base name in both input folders each keep their own
    // results: the second and third get NAME-2 and NAME-3, the log says so,
    // and an input already named NAME-2 is not given the same folder.
    void ownJobFolders()
    {
        for (const char *name :
             {"00-Cif/Cu.cif", "00-Cif/Cu.inp", "00-Inp/Cu.inp", "00-Inp/cu-2.inp"})
            QVERIFY(writeFile(work + "/" + name, " * This input\nEND\n"));
        writeConfig("MAX_PROC 2\nATOMS_EXE \"" FAKEPROG
                    "\"\nATOMS_ARG \"atoms cat\"\nFEFF_EXE \"" FAKEPROG
                    "\"\nFEFF_ARG \"feff log chi=1\"\n");
        RUN_BATCH(r, 0, {"-e", "-c", "batch.cfg"});
        QMap<QString, QString> folderOf;
        for (const QString &line : r.out.mid(0, 4))
            folderOf.insert(line.section('\t', 1, 1).mid(work.size() + 1),
                            line.section('\t', 2, 2).mid(res.size() + 1));
        // In the start-up scan's order: the CIF folder, then the FEFF input folder.
        const QMap<QString, QString> expected{{"00-Cif/Cu.cif", "Cu"},
                                              {"00-Cif/Cu.inp", "Cu-2"},
                                              {"00-Inp/Cu.inp", "Cu-3"},
                                              {"00-Inp/cu-2.inp", "cu-2-2"}};
        QCOMPARE(folderOf, expected);
        QCOMPARE(programRuns().size(), 4); // four FEFF runs
        for (const QString &folder : expected)
            QVERIFY2(QFileInfo::exists(res + "/" + folder + "/chiR.dat"), qPrintable(folder));
        QVERIFY2(r.err.contains(work + "/00-Inp/Cu.inp runs in the folder Cu-3: Cu is another "
                                       "job's\n"),
                 qPrintable(r.err));
    }
    // FEFF 8.5L as the engine: no chip files; the path count, the -paths
    // table and the result line come from its feffNNNN.dat, files.dat and
    // paths.dat (written with PRINT 3 in the fourth place, as FEFF 6's chip
    // files), and chi.dat with its '#' header is read.
    void feff85Engine()
    {
        const QString feff8 = QStringLiteral("/usr/bin/feff8l");
        if (!QFileInfo(feff8).isExecutable())
            QSKIP("feff8l is not installed (Debian package feff85exafs, see scripts/setup.sh)");
        for (const char *name : {"Cu.cif", "TiO2-rutile.cif"})
            QVERIFY(QFile::copy(EXAMPLES_DIR "/00-Cif/" + QString(name), work + "/00-Cif/" + name));
        writeConfig("MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                    feff8.toLatin1() + "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 3\n");
        RUN_BATCH(r, 0, {"-e", "-c", "batch.cfg", "-paths", "paths.tsv"});
        QCOMPARE(r.out.size(), 3);
        QCOMPARE(withoutWall(r.out.last()), QString("summary\tdone=2\tfailed=0\tunfinished=0"));
        const QStringList table = QString::fromUtf8(readFile(work + "/paths.tsv")).split('\n');
        for (const char *job : {"Cu", "TiO2-rutile"}) {
            const QString dir = res + "/" + job;
            const QStringList files = QDir(dir).entryList({"feff0*.dat"}, QDir::Files, QDir::Name);
            QVERIFY(files.size() >= 7);
            QVERIFY(QDir(dir).entryList({"chip*.dat"}).isEmpty());
            QVERIFY(r.out.contains(
                QString("ok\t%1/00-Cif/%2.cif\t%3\tchi(k) read with %4 paths, chiR.dat written")
                    .arg(work, job, dir)
                    .arg(files.size())));
            const QRegularExpression row("^[^#\n]", QRegularExpression::MultilineOption);
            QCOMPARE(QString(readFile(dir + "/chiR.dat")).count(row), 801);
            QCOMPARE(table.filter(QRegularExpression("^" + QRegularExpression::escape(dir) + "\t"))
                         .size(),
                     files.size());
        }
        // FEFF 8.5L's first rutile path: the Ti-O shell of four at 1.9485 A.
        QVERIFY2(table.contains(res + "/TiO2-rutile\t1\tfeff0001.dat\t1.9485\t4\t2\t100.00\tTi-O"),
                 qPrintable(table.join('\n')));
    }
    // A row's configuration lines come first and so win over the stand-ins'
    // defaults after them.
    void resultLine_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("line");    // outcome and description
        QTest::addColumn<QString>("message"); // on standard error, %1 the input file
        QTest::addColumn<QStringList>("roles");

        QTest::newRow("Atoms never ends")
            << "00-Cif/ewig.cif"
            << QByteArray("ATOMS_ARG \"atoms log pidfile sleep=600000\"\nproc_timeout 0.5\n")
            << true << "atoms-timeout\tAtoms stopped at the time limit of 0.5 s"
            << "Atoms reached the time limit of 0.5 s and was stopped: %1" << QStringList{"atoms"};
        QTest::newRow("FEFF never ends, Japanese log")
            << "00-Inp/ewig.inp"
            << QByteArray("FEFF_ARG \"feff log pidfile sleep=600000\"\nproc_timeout 0.5\n") << false
            << "feff-timeout\tFEFF stopped at the time limit of 0.5 s"
            << "FEFF が制限時間 0.5 秒に達したため停止しました: %1" << QStringList{"feff"};
        // Whatever a program that ends badly leaves is not used; after Atoms
        // FEFF never runs.
        QTest::newRow("Atoms fails")
            << "00-Cif/leer.cif"
            << QByteArray("ATOMS_ARG \"atoms log pidfile cat exit=3\"\nFEFF_ARG \"feff log\"\n")
            << true << "atoms-failed\tAtoms ended with exit code 3"
            << "%1: Atoms ended with exit code 3" << QStringList{"atoms"};
        QTest::newRow("FEFF crashes after writing chi.dat")
            << "00-Inp/halb.inp" << QByteArray("FEFF_ARG \"feff log pidfile chi=2 segv\"\n") << true
            << "feff-failed\tFEFF ended with signal SIGSEGV"
            << "%1: FEFF ended with signal SIGSEGV" << QStringList{"feff"};
        QTest::newRow("chi.dat of NaN and infinity")
            << "00-Inp/nan.inp" << QByteArray("FEFF_ARG \"feff log nanchi\"\n") << true
            << "no-data\tchi.dat holds no usable chi(k) data: the value at line 8 of its data is "
               "not a finite number"
            << "" << QStringList{"feff"};
        QTest::newRow("chi.dat of five points in the k range")
            << "00-Inp/wenig.inp" << QByteArray("FEFF_ARG \"feff log fewchi\"\nK_MIN 5\n") << true
            << "no-data\tchi.dat holds no usable chi(k) data: 5 points lie in the k range from 5 "
               "to 20, fewer than 10"
            << "" << QStringList{"feff"};
        // Neither may hang the run.
        QTest::newRow("chi.dat a link to /dev/zero")
            << "00-Inp/null.inp" << QByteArray("FEFF_ARG \"feff log zerochi\"\n") << true
            << "no-data\tchi.dat holds no chi(k) data"
            << "" << QStringList{"feff"};
        QTest::newRow("chi.dat a FIFO")
            << "00-Inp/fifo.inp" << QByteArray("FEFF_ARG \"feff log fifochi\"\n") << true
            << "no-data\tchi.dat holds no chi(k) data"
            << "" << QStringList{"feff"};
        // The notice comes through srun; a cancelled step's results are not read.
        QTest::newRow("FEFF step cancelled by Slurm")
            << "00-Inp/abgebrochen.inp"
            << QByteArray("FEFF_ARG \"feff log chi=1 cancelled exit=143\"\n") << true
            << "feff-cancelled\tFEFF cancelled by Slurm: STEP 7.3 ON vm CANCELLED AT "
               "2026-12-06T14:34:34 DUE TO TIME LIMIT"
            << "" << QStringList{"feff"};
        // QProcess refuses an empty program without reporting any state.
        QTest::newRow("empty Atoms program name")
            << "00-Cif/a.cif" << QByteArray("ATOMS_EXE \"\"\n") << true
            << "atoms-not-started\tAtoms could not start: "
            << "" << QStringList{};
    }
    void resultLine()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, config);
        QFETCH(bool, english);
        QFETCH(QString, message);

        QVERIFY(writeFile(work + "/" + input, " * This input\nEND\n"));
        writeConfig(config + "MAX_PROC 1\nATOMS_EXE \"" FAKEPROG
                             "\"\nATOMS_ARG \"atoms\"\nFEFF_EXE \"" FAKEPROG
                             "\"\nFEFF_ARG \"feff log chi=1\"\n");
        RUN_BATCH(r, 1,
                  english ? QStringList{"-e", "-c", "batch.cfg"} : QStringList{"-c", "batch.cfg"});
        QCOMPARE(r.out.size(), 2);
        const QString jobDir = res + "/" + QFileInfo(input).completeBaseName();
        const QStringList fields = r.out.at(0).split('\t');
        QCOMPARE(fields.size(), 4);
        QTEST(fields.at(0) + "\t" + fields.at(3), "line");
        QCOMPARE(fields.mid(1, 2), (QStringList{work + "/" + input, jobDir}));
        QCOMPARE(withoutWall(r.out.at(1)), QString("summary\tdone=0\tfailed=1\tunfinished=0"));
        if (!message.isEmpty()) {
            QVERIFY2(r.err.contains(message.arg(work + "/" + input) + "\n"), qPrintable(r.err));
            QVERIFY(processGone(pidIn(jobDir)));
        }
        // After an Atoms time-out FEFF never runs.
        QStringList ran;
        for (const QString &run : programRuns())
            ran << run.section(QLatin1Char(' '), 0, 0);
        QTEST(ran, "roles");
    }
    void stopSignal_data()
    {
        QTest::addColumn<int>("signo");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<QString>("name");
        QTest::newRow("SIGINT") << int(SIGINT) << false << "SIGINT";
        // The script starts the program without exec: stopping the script alone
        // would leave the program running.
        QTest::newRow("SIGTERM, FEFF behind a script") << int(SIGTERM) << true << "SIGTERM";
    }
    void stopSignal()
    {
        QFETCH(int, signo);
        QFETCH(bool, wrapped);
        QFETCH(QString, name);
        for (const char *job : {"j1", "j2", "j3"})
            QVERIFY(writeFile(work + "/00-Inp/" + job + ".inp", "END\n"));
        const QByteArray feffArgs = "feff log pidfile sleep=600000";
        QByteArray feff = "FEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"" + feffArgs + "\"\n";
        if (wrapped) {
            const QString script = work + "/feff wrapper.sh";
            QVERIFY(
                writeFile(script, "#!/bin/sh\n\"" FAKEPROG "\" " + feffArgs + "\necho after\n"));
            QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner));
            feff = "FEFF_EXE \"" + script.toUtf8() + "\"\n";
        }
        writeConfig("MAX_PROC 2\n" + feff);

        QProcess *proc = start({"-e", "-c", "batch.cfg"});
        QVERIFY(proc->waitForStarted());
        QList<qint64> pids;
        for (const char *job : {"/j1", "/j2"}) {
            QTRY_VERIFY_WITH_TIMEOUT(readFile(res + job + "/fake.pid").endsWith('\n'), 20000);
            pids << pidIn(res + job);
        }
        QVERIFY(::kill(pid_t(proc->processId()), signo) == 0);
        const Run r = finish(proc);

        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, 128 + signo);
        QVERIFY2(r.err.contains("Stopped by " + name + ": ending 2 running programs\n"),
                 qPrintable(r.err));
        QCOMPARE(r.out.size(), 1);
        QCOMPARE(withoutWall(r.out.at(0)), QString("summary\tdone=0\tfailed=0\tunfinished=3"));
        // A program behind a script is an orphan once the script has gone, and
        // is reaped by init rather than by us.
        for (qint64 pid : pids)
            QVERIFY(processEnded(pid));
        QStringList runs = programRuns(); // both start at once: either may log first
        runs.sort();
        QCOMPARE(runs, QStringList({"feff " + res + "/j1", "feff " + res + "/j2"}));
    }
    void unusableConfiguration_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("messages"); // %1 the working folder

        QTest::newRow("named file missing")
            << QStringList{"-e", "-c", "fehlt ö.cfg"} << QByteArray()
            << QStringList{"Can not read the configuration file : %1/fehlt ö.cfg"};
        QTest::newRow("share beyond the last")
            << QStringList{"-e", "-share", "4/3", "-c", "batch.cfg"} << QByteArray()
            << QStringList{"-share 4/3 is not a share K/N with K from 1 to N"};
        QTest::newRow("measured file of garbage")
            << QStringList{"-e", "-c", "batch.cfg", "-data", "müll.chi"} << QByteArray()
            << QStringList{"::Can not use measured chi(k) file müll.chi : it holds no points of k "
                           "and chi(k)"};
        QTest::newRow("measured file a FIFO")
            << QStringList{"-e", "-c", "batch.cfg", "-data", "fifo.chi"} << QByteArray()
            << QStringList{"Can not use measured data file fifo.chi : it is no regular file (a "
                           "pipe or a device)"};
        QTest::newRow("measured file of one line")
            << QStringList{"-e", "-c", "batch.cfg", "-data", "eins.chi"} << QByteArray()
            << QStringList{"::Can not use measured chi(k) file eins.chi : 1 points lie in the k "
                           "range from 3 to 20, fewer than 10"};
        // Settings that cannot give a chi(R), and numbers that do not parse.
        QTest::newRow("nonsense ranges")
            << QStringList{"-e", "-c", "batch.cfg"}
            << QByteArray("K_MIN 12\nK_MAX 4\nR_MAX -1\nR_DELTA abc\nFT_DK 1e6\nCLEAR_CHI_DAT ja\n")
            << QStringList{"K_MIN 12 is not below K_MAX 4: 3 to 20 is used",
                           "R_MAX -1 is outside 0 to 30: 8 is used",
                           "R_DELTA abc is not a number: 0.01 is used",
                           "FT_DK 1e6 is not a window sill from 0 to 10: 1 is used",
                           "CLEAR_CHI_DAT ja is neither 0 nor 1: 1 is used"};
        QTest::newRow("fit table without a measured curve")
            << QStringList{"-e", "-c", "batch.cfg", "-fit", "Tabelle.tsv"} << QByteArray()
            << QStringList{"-fit %1/Tabelle.tsv needs a measured curve to fit: give -data FILE"};
        QTest::newRow("measured mu(E) with falling energies")
            << QStringList{"-e", "-c", "batch.cfg", "-data", "fallend.xmu"} << QByteArray()
            << QStringList{"Can not use measured data file fallend.xmu : the energies fall at "
                           "8990 eV"};
        QTest::newRow("background keys")
            << QStringList{"-e", "-c", "batch.cfg"}
            << QByteArray("BKG_RBKG 0\nBKG_KWEIGHT x\nBKG_E0 -3\n")
            << QStringList{"BKG_RBKG 0 is not a distance above 0 and up to 10 A: 1 is used",
                           "BKG_KWEIGHT x is not a k weight from 0 to 3: 1 is used",
                           "BKG_E0 -3 is not an energy in eV: the edge of each spectrum is found"};
        QTest::newRow("paths into a folder")
            << QStringList{"-e", "-c", "batch.cfg", "-paths", "00-Cif"} << QByteArray()
            << QStringList{"Can not write the paths into %1/00-Cif: it is a folder"};
        QTest::newRow("everything reported")
            << QStringList{"-e", "-c", "batch.cfg", "-share", "2"}
            << QByteArray("MAX_PROC -1\nFEFF_EXE /no/feff\nPROC_TIMEOUT -5\n")
            << QStringList{
                   "PROC_TIMEOUT -5 is not a number of seconds from 0 to 2000000: no time limit",
                   "MAX_PROC -1 lets no job start", "Can not find the FEFF program : /no/feff",
                   "-share 2 is not a share K/N with K from 1 to N"};
        QTest::newRow("FEFF is a folder")
            << QStringList{"-e", "-c", "batch.cfg"} << QByteArray("FEFF_EXE 00-Cif/\n")
            << QStringList{"Can not find the FEFF program : %1/00-Cif/"};
    }
    void unusableConfiguration()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, config);
        QFETCH(QStringList, messages);
        QVERIFY(writeFile(work + "/00-Inp/a.inp", "END\n"));
        QVERIFY(writeFile(work + "/müll.chi", "# k chi\nnot a number\n\x01\x02\n"));
        QVERIFY(writeFile(work + "/eins.chi", "8.0 0.1\n"));
        QFile::remove(work + "/fifo.chi");
        QVERIFY(::mkfifo(QFile::encodeName(work + "/fifo.chi").constData(), 0600) == 0);
        QVERIFY(writeFile(work + "/fallend.xmu", "# energy mu\n9000 0.1\n9010 0.2\n8990 0.3\n"));
        writeConfig(config + "MAX_PROC 2\nFEFF_EXE \"" FAKEPROG
                             "\"\nFEFF_ARG \"feff log chi=1\"\n");

        RUN_BATCH(r, 2, args);
        QCOMPARE(r.out, QStringList());
        // Qt's own warning about a missing XDG_RUNTIME_DIR aside, only these.
        const QStringList logged = r.err.split('\n', Qt::SkipEmptyParts)
                                       .filter(QRegularExpression("^(?!QStandardPaths: )"));
        messages << "No job was run: the configuration or the options above cannot be used";
        QCOMPARE(logged, messages.replaceInStrings("%1", work));
        QVERIFY(programRuns().isEmpty());
        // Without its configuration a batch run makes no working folders (the
        // configuration files given name other result folders).
        QVERIFY(!QFileInfo::exists(work + "/00-Res"));
    }
};

QTEST_MAIN(TstBatch)
#include "tst_batch.moc"
