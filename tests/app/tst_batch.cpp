#include "tests/app/batchfixture.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

class TstBatch : public BatchFixture
{
    Q_OBJECT
private slots:
    void realPrograms()
    {
        if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
            QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
        copyExamples();
        QVERIFY(writeFile(work + "/00-Cif/kaputt.cif", "data_broken\n_cell_length_a abc\n"));
        writeConfig("MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                    QByteArray(feff6) + "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 3\n");

        const Run r = runBatch({"-e", "-c", "batch.cfg"});
        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.size(), 5);

        // One line per job in the order the jobs ended, then the summary.
        QMap<QString, QStringList> byInput;
        for (const QString &line : r.out.mid(0, 4)) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            QCOMPARE(fields.size(), 4);
            byInput.insert(fields.at(1), fields);
        }
        const QStringList inputs{work + "/00-Cif/Cu.cif", work + "/00-Cif/NaCl.cif",
                                 work + "/00-Cif/kaputt.cif", work + "/00-Inp/Cu-metal.inp"};
        QCOMPARE(byInput.keys(), inputs);
        const QStringList dirs{res + "/Cu", res + "/NaCl", res + "/kaputt", res + "/Cu-metal"};
        for (int i = 0; i < 4; ++i) {
            const QStringList fields = byInput.value(inputs.at(i));
            QCOMPARE(fields.at(2), dirs.at(i));
            if (inputs.at(i).endsWith("kaputt.cif")) {
                QCOMPARE(fields.at(0), QString("no-chi"));
                QCOMPARE(fields.at(3),
                         QString("FEFF left no chi.dat (Atoms ended with exit code 1)"));
                QVERIFY(!QFileInfo::exists(dirs.at(i) + "/chiR.dat"));
                continue;
            }
            // The path count is the number of path files FEFF left.
            const int paths = QDir(dirs.at(i)).entryList({"chip*.dat"}, QDir::Files).size();
            QVERIFY(paths > 1);
            QCOMPARE(fields.at(0), QString("ok"));
            QCOMPARE(fields.at(3),
                     QString("chi(k) read with %1 paths, chiR.dat written").arg(paths));
            // R from 0 to 8 by 0.01: 801 rows.
            QCOMPARE(dataLines(readFile(dirs.at(i) + "/chiR.dat")), 801);
        }

        const QMap<QString, QString> summary = summaryFields(r.out.last());
        QCOMPARE(summary.value("done"), QString("3"));
        QCOMPARE(summary.value("failed"), QString("1"));
        QCOMPARE(summary.value("unfinished"), QString("0"));
        QVERIFY(QRegularExpression("^\\d+\\.\\d{3}$").match(summary.value("wall")).hasMatch());

        // The log goes to standard error; the debug channel stays quiet.
        QVERIFY2(r.err.contains("::Can not read chi(k) file : " + res + "/kaputt/chi.dat\n"),
                 qPrintable(r.err));
        QVERIFY2(!r.err.contains("demetr :: Start"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("display", Qt::CaseInsensitive), qPrintable(r.err));
    }
    void resultLine_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("atomsArgs");
        QTest::addColumn<QByteArray>("feffArgs");
        QTest::addColumn<QByteArray>("limit");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("line");    // outcome and description
        QTest::addColumn<QString>("message"); // on standard error, %1 the input file
        QTest::addColumn<QStringList>("roles");
        QTest::addColumn<int>("exitCode");

        QTest::newRow("Atoms never ends")
            << "00-Cif/ewig.cif" << QByteArray("atoms log pidfile sleep=600000")
            << QByteArray("feff log chi=1") << QByteArray("0.5") << true
            << "atoms-timeout\tAtoms stopped at the time limit of 0.5 s"
            << "Atoms reached the time limit of 0.5 s and was stopped: %1" << QStringList{"atoms"}
            << 1;
        QTest::newRow("FEFF never ends, Japanese log")
            << "00-Inp/ewig.inp" << QByteArray("atoms")
            << QByteArray("feff log pidfile sleep=600000") << QByteArray("0.5") << false
            << "feff-timeout\tFEFF stopped at the time limit of 0.5 s"
            << "FEFF が制限時間 0.5 秒に達したため停止しました: %1" << QStringList{"feff"} << 1;
        QTest::newRow("Atoms fails, FEFF finds no data")
            << "00-Cif/leer.cif" << QByteArray("atoms log cat exit=3")
            << QByteArray("feff log emptychi") << QByteArray("0") << true
            << "no-data\tchi.dat holds no chi(k) data (Atoms ended with exit code 3)"
            << "" << QStringList{"atoms", "feff"} << 1;
        // The notice comes through srun; a cancelled step's results are not read.
        QTest::newRow("FEFF step cancelled by Slurm")
            << "00-Inp/abgebrochen.inp" << QByteArray("atoms")
            << QByteArray("feff log chi=1 cancelled exit=143") << QByteArray("0") << true
            << "feff-cancelled\tFEFF cancelled by Slurm: STEP 7.3 ON vm CANCELLED AT "
               "2026-12-06T14:34:34 DUE TO TIME LIMIT"
            << "" << QStringList{"feff"} << 1;
    }
    void resultLine()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, atomsArgs);
        QFETCH(QByteArray, feffArgs);
        QFETCH(QByteArray, limit);
        QFETCH(bool, english);
        QFETCH(QString, message);
        QFETCH(int, exitCode);

        QVERIFY(writeFile(work + "/" + input, " * This input\nEND\n"));
        writeConfig("MAX_PROC 1\nATOMS_EXE \"" FAKEPROG "\"\nATOMS_ARG \"" + atomsArgs +
                    "\"\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"" + feffArgs + "\"\nproc_timeout " +
                    limit + "\n");
        const Run r = runBatch(english ? QStringList{"-e", "-c", "batch.cfg"}
                                       : QStringList{"-c", "batch.cfg"});
        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out.size(), 2);
        const QString jobDir = res + "/" + QFileInfo(input).completeBaseName();
        const QStringList fields = r.out.at(0).split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 4);
        QTEST(fields.at(0) + "\t" + fields.at(3), "line");
        QCOMPARE(fields.at(1), work + "/" + input);
        QCOMPARE(fields.at(2), jobDir);
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
        for (const char *job : {"/j1", "/j2"})
            QTRY_VERIFY_WITH_TIMEOUT(readFile(res + job + "/fake.pid").endsWith('\n'), 20000);
        const qint64 pid1 = pidIn(res + "/j1");
        const qint64 pid2 = pidIn(res + "/j2");
        QVERIFY(::kill(pid_t(proc->processId()), signo) == 0);
        const Run r = finish(proc);

        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, 128 + signo);
        QVERIFY2(r.err.contains("Stopped by " + name + ": ending 2 running programs\n"),
                 qPrintable(r.err));
        QCOMPARE(r.out.size(), 1);
        const QMap<QString, QString> summary = summaryFields(r.out.at(0));
        QCOMPARE(summary.value("done"), QString("0"));
        QCOMPARE(summary.value("failed"), QString("0"));
        QCOMPARE(summary.value("unfinished"), QString("3"));
        // A program behind a script is an orphan once the script has gone, and
        // is reaped by init rather than by us.
        QVERIFY(processEnded(pid1));
        QVERIFY(processEnded(pid2));
        QStringList runs = programRuns(); // both start at once: either may log first
        runs.sort();
        QCOMPARE(runs, QStringList({"feff " + res + "/j1", "feff " + res + "/j2"}));
    }
    void unusableConfiguration_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("messages"); // %1 the working folder

        const QStringList named{"-e", "-c", "batch.cfg"};
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
            << named << QByteArray("FEFF_EXE 00-Cif/\n")
            << QStringList{"Can not find the FEFF program : %1/00-Cif/"};
    }
    void unusableConfiguration()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, config);
        QFETCH(QStringList, messages);
        QVERIFY(writeFile(work + "/00-Inp/a.inp", "END\n"));
        QVERIFY(writeFile(work + "/müll.chi", "# k chi\nnot a number\n\x01\x02\n"));
        writeConfig(config + "MAX_PROC 2\nFEFF_EXE \"" FAKEPROG
                             "\"\nFEFF_ARG \"feff log chi=1\"\n");

        const Run r = runBatch(args);
        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.out, QStringList());
        QStringList expected;
        for (QString message : messages)
            expected << message.replace("%1", work);
        // Qt's own warning about a missing XDG_RUNTIME_DIR aside, only these.
        const QStringList logged = r.err.split('\n', Qt::SkipEmptyParts)
                                       .filter(QRegularExpression("^(?!QStandardPaths: )"));
        QCOMPARE(logged, expected);
        QVERIFY(programRuns().isEmpty());
        // Without its configuration a batch run makes no working folders (the
        // configuration files given name other result folders).
        QVERIFY(!QFileInfo::exists(work + "/00-Res"));
    }
    void emptyProgramName()
    {
        // QProcess refuses an empty program without reporting any state.
        QVERIFY(writeFile(work + "/00-Cif/a.cif", "data_a\n"));
        writeConfig("MAX_PROC 1\nATOMS_EXE \"\"\nFEFF_EXE \"" FAKEPROG
                    "\"\nFEFF_ARG \"feff chi=1\"\n");
        const Run r = runBatch({"-e", "-c", "batch.cfg"});
        QVERIFY2(!r.crashed, qPrintable(r.err));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.size(), 2);
        QCOMPARE(r.out.at(0), "atoms-not-started\t" + work + "/00-Cif/a.cif\t" + res +
                                  "/a\tAtoms could not start: ");
        QCOMPARE(summaryFields(r.out.at(1)).value("failed"), QString("1"));
    }
};

QTEST_MAIN(TstBatch)
#include "tst_batch.moc"
