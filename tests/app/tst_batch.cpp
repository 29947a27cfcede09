#include "tests/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

// Runs the built scatterdeck with "-batch" the way a script or a cluster job
// does: no display and no QT_QPA_PLATFORM in its environment, in a working
// folder whose name holds a blank, an accented and Japanese letters. The
// stand-in program FAKEPROG plays Atoms and FEFF where a test needs control
// over timing; it writes its process id into fake.pid of its job folder and,
// with "log", one line "<role> <job folder>" into FAKE_LOG.

namespace {

const char feff6[] = "/usr/bin/feff6";

struct Run
{
    int exitCode = -1;
    bool crashed = true;
    QStringList out; // standard output, line by line
    QString err;
};

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

qint64 pidIn(const QString &jobDir)
{
    return readFile(jobDir + "/fake.pid").trimmed().toLongLong();
}

int dataLines(const QByteArray &text)
{
    int count = 0;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#'))
            ++count;
    }
    return count;
}

// "summary" and its key=value fields.
QMap<QString, QString> summaryFields(const QString &line)
{
    QMap<QString, QString> fields;
    const QStringList parts = line.split(QLatin1Char('\t'));
    if (parts.value(0) != QLatin1String("summary"))
        return fields;
    for (const QString &part : parts.mid(1))
        fields.insert(part.section(QLatin1Char('='), 0, 0), part.section(QLatin1Char('='), 1));
    return fields;
}

} // namespace

class TstBatch : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void realPrograms();
    void resultLine_data();
    void resultLine();
    void stopSignal_data();
    void stopSignal();
    void unusableConfiguration_data();
    void unusableConfiguration();
    void nothingToDo();
    void emptyProgramName();
    void share_data();
    void share();
    void mergeResults_data();
    void mergeResults();
    void ranking();
    void pathsTable();

private:
    QProcess *start(const QStringList &args);
    Run finish(QProcess *proc);
    Run runBatch(const QStringList &args) { return finish(start(args)); }
    void writeConfig(const QByteArray &lines);
    QStringList programRuns() const;

    QScopedPointer<QTemporaryDir> root;
    QString work;
    QString res;
    QScopedPointer<QProcess> child;
};

void TstBatch::init()
{
    root.reset(new QTemporaryDir);
    QVERIFY(root->isValid());
    work = root->filePath(QStringLiteral("Stapel ö 一括"));
    res = work + QStringLiteral("/Ergebnis ö 結果");
    QVERIFY(QDir().mkpath(work + "/00-Cif"));
    QVERIFY(QDir().mkpath(work + "/00-Inp"));
}

void TstBatch::cleanup()
{
    // A run left behind by a failed check stops its own programs on SIGTERM.
    if (child && child->state() != QProcess::NotRunning) {
        child->terminate();
        if (!child->waitForFinished(10000))
            child->kill();
    }
    child.reset();
}

QProcess *TstBatch::start(const QStringList &args)
{
    child.reset(new QProcess);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("FAKE_LOG"), work + "/run.log");
    child->setProcessEnvironment(env);
    child->setWorkingDirectory(work);
    child->start(QStringLiteral(SCATTERDECK_EXE), QStringList{"-batch"} + args);
    return child.get();
}

Run TstBatch::finish(QProcess *proc)
{
    Run r;
    if (!proc->waitForFinished(60000))
        return r;
    r.crashed = proc->exitStatus() != QProcess::NormalExit;
    r.exitCode = proc->exitCode();
    r.out = splitLines(proc->readAllStandardOutput());
    r.err = QString::fromLocal8Bit(proc->readAllStandardError());
    return r;
}

void TstBatch::writeConfig(const QByteArray &lines)
{
    // UTF-8 with a mark, so that the non-ASCII names survive; the first
    // entry of a key wins, so lines given first override the rest.
    const QByteArray config = "\xEF\xBB\xBF" + lines + "RES_FILES \"Ergebnis ö 結果\"\n";
    QVERIFY(writeFile(work + "/batch.cfg", config));
}

QStringList TstBatch::programRuns() const
{
    const QString log = work + "/run.log";
    return QFileInfo::exists(log) ? splitLines(readFile(log)) : QStringList();
}

void TstBatch::realPrograms()
{
    if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
        QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
    const QString examples = QStringLiteral(EXAMPLES_DIR);
    for (const char *name : {"Cu.cif", "NaCl.cif"})
        QVERIFY(QFile::copy(examples + "/00-Cif/" + name, work + "/00-Cif/" + name));
    QVERIFY(QFile::copy(examples + "/00-Inp/Cu-metal.inp", work + "/00-Inp/Cu-metal.inp"));
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
            QCOMPARE(fields.at(3), QString("FEFF left no chi.dat (Atoms ended with exit code 1)"));
            QVERIFY(!QFileInfo::exists(dirs.at(i) + "/chiR.dat"));
            continue;
        }
        // The path count is the number of path files FEFF left.
        const int paths = QDir(dirs.at(i)).entryList({"chip*.dat"}, QDir::Files).size();
        QVERIFY(paths > 1);
        QCOMPARE(fields.at(0), QString("ok"));
        QCOMPARE(fields.at(3), QString("chi(k) read with %1 paths, chiR.dat written").arg(paths));
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

void TstBatch::resultLine_data()
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
        << "Atoms reached the time limit of 0.5 s and was stopped: %1" << QStringList{"atoms"} << 1;
    QTest::newRow("FEFF never ends, Japanese log")
        << "00-Inp/ewig.inp" << QByteArray("atoms") << QByteArray("feff log pidfile sleep=600000")
        << QByteArray("0.5") << false << "feff-timeout\tFEFF stopped at the time limit of 0.5 s"
        << "FEFF が制限時間 0.5 秒に達したため停止しました: %1" << QStringList{"feff"} << 1;
    QTest::newRow("FEFF crashes") << "00-Inp/kaputt.inp" << QByteArray("atoms")
                                  << QByteArray("feff log abort") << QByteArray("0") << true
                                  << "no-chi\tFEFF left no chi.dat (FEFF crashed)"
                                  << "" << QStringList{"feff"} << 1;
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
    QTest::newRow("FEFF ends in time")
        << "00-Inp/kurz.inp" << QByteArray("atoms") << QByteArray("feff log sleep=100 chi=2")
        << QByteArray("20") << true << "ok\tchi(k) read with 2 paths, chiR.dat written"
        << "" << QStringList{"feff"} << 0;
}

void TstBatch::resultLine()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, atomsArgs);
    QFETCH(QByteArray, feffArgs);
    QFETCH(QByteArray, limit);
    QFETCH(bool, english);
    QFETCH(QString, line);
    QFETCH(QString, message);
    QFETCH(QStringList, roles);
    QFETCH(int, exitCode);

    QVERIFY(writeFile(work + "/" + input, " * This input\nEND\n"));
    writeConfig("MAX_PROC 1\nATOMS_EXE \"" FAKEPROG "\"\nATOMS_ARG \"" + atomsArgs +
                "\"\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"" + feffArgs + "\"\nproc_timeout " +
                limit + "\n");
    const Run r =
        runBatch(english ? QStringList{"-e", "-c", "batch.cfg"} : QStringList{"-c", "batch.cfg"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out.size(), 2);
    const QString jobDir = res + "/" + QFileInfo(input).completeBaseName();
    const QStringList fields = r.out.at(0).split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 4);
    QCOMPARE(fields.at(0) + "\t" + fields.at(3), line);
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
    QCOMPARE(ran, roles);
}

void TstBatch::stopSignal_data()
{
    QTest::addColumn<int>("signo");
    QTest::addColumn<bool>("wrapped");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGINT") << int(SIGINT) << false << "SIGINT";
    // The script starts the program without exec: stopping the script alone
    // would leave the program running.
    QTest::newRow("SIGTERM, FEFF behind a script") << int(SIGTERM) << true << "SIGTERM";
}

void TstBatch::stopSignal()
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
        QVERIFY(writeFile(script, "#!/bin/sh\n\"" FAKEPROG "\" " + feffArgs + "\necho after\n"));
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

void TstBatch::unusableConfiguration_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QStringList>("messages"); // %1 the working folder

    const QStringList named{"-e", "-c", "batch.cfg"};
    QTest::newRow("named file missing")
        << QStringList{"-e", "-c", "fehlt ö.cfg"} << QByteArray()
        << QStringList{"Can not read the configuration file : %1/fehlt ö.cfg"};
    QTest::newRow("MAX_PROC 0") << named << QByteArray("MAX_PROC 0\n")
                                << QStringList{"MAX_PROC 0 lets no job start"};
    QTest::newRow("FEFF missing") << named << QByteArray("FEFF_EXE \"/no/such/feff 6\"\n")
                                  << QStringList{"Can not find the FEFF program : /no/such/feff 6"};
    QTest::newRow("FEFF is a folder") << named << QByteArray("FEFF_EXE 00-Cif/\n")
                                      << QStringList{"Can not find the FEFF program : %1/00-Cif/"};
    QTest::newRow("time limit not a number")
        << named << QByteArray("PROC_TIMEOUT 1h\n")
        << QStringList{
               "PROC_TIMEOUT 1h is not a number of seconds from 0 to 2000000: no time limit"};
    QTest::newRow("transform keys")
        << named << QByteArray("FT_MODE Standard\nFT_KWEIGHT 4\n")
        << QStringList{"FT_KWEIGHT 4 is not a k weight 0, 1, 2 or 3: 2 is used"};
    QTest::newRow("share beyond the last")
        << QStringList{"-e", "-share", "4/3", "-c", "batch.cfg"} << QByteArray()
        << QStringList{"-share 4/3 is not a share K/N with K from 1 to N"};
    QTest::newRow("measured file of garbage")
        << QStringList{"-e", "-c", "batch.cfg", "-data", "müll.chi"} << QByteArray()
        << QStringList{
               "::Can not use measured chi(k) file müll.chi : it holds no points of k and chi(k)"};
    QTest::newRow("ranking without a measured curve")
        << QStringList{"-e", "-c", "batch.cfg", "-rank", "rang.tsv"} << QByteArray()
        << QStringList{"-rank %1/rang.tsv needs a measured curve to rank against: give -data FILE"};
    QTest::newRow("paths into a folder")
        << QStringList{"-e", "-c", "batch.cfg", "-paths", "00-Cif"} << QByteArray()
        << QStringList{"Can not write the paths into %1/00-Cif: it is a folder"};
    QTest::newRow("paths without a name")
        << QStringList{"-e", "-c", "batch.cfg", "-paths"} << QByteArray()
        << QStringList{"-paths needs the name of the file to write the paths into"};
    QTest::newRow("everything reported")
        << QStringList{"-e", "-c", "batch.cfg", "-share", "2"}
        << QByteArray("MAX_PROC -1\nFEFF_EXE /no/feff\nPROC_TIMEOUT -5\n")
        << QStringList{
               "PROC_TIMEOUT -5 is not a number of seconds from 0 to 2000000: no time limit",
               "MAX_PROC -1 lets no job start", "Can not find the FEFF program : /no/feff",
               "-share 2 is not a share K/N with K from 1 to N"};
}

void TstBatch::unusableConfiguration()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, config);
    QFETCH(QStringList, messages);
    QVERIFY(writeFile(work + "/00-Inp/a.inp", "END\n"));
    QVERIFY(writeFile(work + "/müll.chi", "# k chi\nnot a number\n\x01\x02\n"));
    writeConfig(config + "MAX_PROC 2\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff log chi=1\"\n");

    const Run r = runBatch(args);
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QStringList());
    QStringList expected;
    for (QString message : messages)
        expected << message.replace("%1", work);
    // Qt's own warning about a missing XDG_RUNTIME_DIR aside, only these.
    const QStringList logged =
        r.err.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^(?!QStandardPaths: )"));
    QCOMPARE(logged, expected);
    QVERIFY(programRuns().isEmpty());
    // Without its configuration a batch run makes no working folders (the
    // configuration files given name other result folders).
    QVERIFY(!QFileInfo::exists(work + "/00-Res"));
}

void TstBatch::nothingToDo()
{
    writeConfig("FEFF_EXE sh\n"); // a name on PATH
    const Run r = runBatch({"-e", "-c", "batch.cfg"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.size(), 1);
    const QMap<QString, QString> summary = summaryFields(r.out.at(0));
    QCOMPARE(summary.value("done"), QString("0"));
    QCOMPARE(summary.value("failed"), QString("0"));
    QCOMPARE(summary.value("unfinished"), QString("0"));
}

void TstBatch::emptyProgramName()
{
    // QProcess refuses an empty program without reporting any state.
    QVERIFY(writeFile(work + "/00-Cif/a.cif", "data_a\n"));
    writeConfig("MAX_PROC 1\nATOMS_EXE \"\"\nFEFF_EXE \"" FAKEPROG "\"\nFEFF_ARG \"feff chi=1\"\n");
    const Run r = runBatch({"-e", "-c", "batch.cfg"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out.size(), 2);
    QCOMPARE(r.out.at(0), "atoms-not-started\t" + work + "/00-Cif/a.cif\t" + res +
                              "/a\tAtoms could not start: ");
    QCOMPARE(summaryFields(r.out.at(1)).value("failed"), QString("1"));
}

void TstBatch::share_data()
{
    QTest::addColumn<QString>("share");
    QTest::addColumn<QStringList>("inputs"); // sorted
    // The scan's order: the CIF folder by name without regard to case, then
    // the FEFF input folder.
    QTest::newRow("first of three")
        << "1/3" << QStringList{"00-Cif/a.cif", "00-Inp/d.inp", "00-Inp/g.inp"};
    QTest::newRow("second of three") << "2/3" << QStringList{"00-Cif/B.INP", "00-Inp/e.inp"};
    QTest::newRow("last of three") << "3/3" << QStringList{"00-Cif/c.cif", "00-Inp/f.inp"};
    QTest::newRow("one share") << "1/1"
                               << QStringList{"00-Cif/B.INP", "00-Cif/a.cif", "00-Cif/c.cif",
                                              "00-Inp/d.inp", "00-Inp/e.inp", "00-Inp/f.inp",
                                              "00-Inp/g.inp"};
}

void TstBatch::share()
{
    QFETCH(QString, share);
    QFETCH(QStringList, inputs);
    for (const char *name : {"00-Cif/c.cif", "00-Cif/a.cif", "00-Cif/B.INP", "00-Inp/g.inp",
                             "00-Inp/e.inp", "00-Inp/d.inp", "00-Inp/f.inp"})
        QVERIFY(writeFile(work + "/" + name, " * This input\nEND\n"));
    writeConfig("MAX_PROC 1\nATOMS_EXE \"" FAKEPROG
                "\"\nATOMS_ARG \"atoms cat\"\nFEFF_EXE \"" FAKEPROG
                "\"\nFEFF_ARG \"feff chi=1\"\n");
    const Run r = runBatch({"-e", "-share", share, "-c", "batch.cfg"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 0);
    QStringList ran;
    for (const QString &line : r.out.mid(0, r.out.size() - 1))
        ran << line.section(QLatin1Char('\t'), 1, 1).mid(work.size() + 1);
    // A CIF job's FEFF run and the next job run side by side.
    ran.sort();
    QCOMPARE(ran, inputs);
    const QMap<QString, QString> summary = summaryFields(r.out.last());
    QCOMPARE(summary.value("done"), QString::number(inputs.size()));
    QCOMPARE(summary.value("unfinished"), QString("0"));
}

void TstBatch::mergeResults_data()
{
    QTest::addColumn<QStringList>("files"); // contents; a null entry is a missing file
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QString>("err"); // %1 the second file
    QTest::addColumn<int>("exitCode");

    const QString okA =
        "ok\t/w/a.inp\t/w/00-Res/share-1/a\tchi(k) read with 2 paths, chiR.dat written";
    const QString okB =
        "ok\t/w/b.inp\t/w/00-Res/share-2/b\tchi(k) read with 1 path, chiR.dat written";
    const QString failC = "no-chi\t/w/c.inp\t/w/00-Res/share-2/c\tFEFF left no chi.dat";
    QTest::newRow("counts added, longest wall")
        << QStringList{okA + "\nsummary\tdone=1\tfailed=0\tunfinished=2\twall=2.5\n",
                       okB + "\n" + failC +
                           "\nsummary\tdone=1\tfailed=1\tunfinished=0\twall=30.001\n"}
        << QStringList{okA, okB, failC, "summary\tdone=2\tfailed=1\tunfinished=2\twall=30.001"}
        << "" << 1;
    QTest::newRow("share without summary")
        << QStringList{okA + "\nsummary\tdone=1\tfailed=0\tunfinished=0\twall=2\n", okB + "\n"}
        << QStringList{okA, okB, "summary\tdone=1\tfailed=0\tunfinished=0\twall=2.000"}
        << "merge-results: %1 has no summary line: its batch run did not finish\n"
        << 1;
    QTest::newRow("share missing")
        << QStringList{okA + "\nsummary\tdone=1\tfailed=0\tunfinished=0\twall=2\n", QString()}
        << QStringList{okA, "summary\tdone=1\tfailed=0\tunfinished=0\twall=2.000"}
        << "merge-results: %1 is missing\n"
        << 1;
}

void TstBatch::mergeResults()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    QFETCH(int, exitCode);
    QStringList names;
    for (int i = 0; i < files.size(); ++i) {
        names << work + QStringLiteral("/results-share-%1.tsv").arg(i + 1);
        if (!files.at(i).isNull())
            QVERIFY(writeFile(names.last(), files.at(i).toUtf8()));
    }
    QProcess merge;
    merge.start(QStringLiteral(EXAMPLES_DIR "/slurm/merge-results.sh"), names);
    QVERIFY(merge.waitForFinished(10000));
    QCOMPARE(merge.exitCode(), exitCode);
    QCOMPARE(splitLines(merge.readAllStandardOutput()), out);
    QCOMPARE(QString::fromLocal8Bit(merge.readAllStandardError()),
             err.replace("%1", names.value(1)));
}

// Copper fcc with a = 3.6149 A: the first shell is 12 atoms at a / sqrt(2).
void TstBatch::pathsTable()
{
    if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
        QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
    QVERIFY(QFile::copy(QStringLiteral(EXAMPLES_DIR "/00-Inp/Cu-metal.inp"),
                        work + "/00-Inp/Cu metal ö.inp"));
    QVERIFY(writeFile(work + "/00-Inp/broken.inp", "no atoms here\n"));
    writeConfig("FEFF_EXE " + QByteArray(feff6) + "\nFEFF_ARG \"\"\n");
    const Run r = runBatch({"-e", "-c", "batch.cfg", "-paths", "Pfade ö.tsv"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 1); // the broken input gives no chi(k)

    const QString job = res + "/Cu metal ö";
    const QStringList chipFiles = QDir(job).entryList({"chip*.dat"}, QDir::Files, QDir::Name);
    QVERIFY(chipFiles.size() >= 5);
    QStringList rows = QString::fromUtf8(readFile(work + "/Pfade ö.tsv")).split('\n');
    QCOMPARE(rows.takeFirst(),
             QString("job\tpath\tfile\treff\tdegeneracy\tlegs\tamplitude\troute"));
    QCOMPARE(rows.takeLast(), QString());    // every row ends with a line feed
    QCOMPARE(rows.size(), chipFiles.size()); // none of the broken job
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList f = rows[i].split('\t');
        QCOMPARE(f.size(), 8);
        QCOMPARE(f[0], job);
        QCOMPARE(f[2], chipFiles[i]);
        QCOMPARE(f[1].toInt(), chipFiles[i].mid(4, 4).toInt());
        QVERIFY2(f[3].section('.', 1).size() == 4 && f[6].section('.', 1).size() == 2,
                 qPrintable(rows[i]));
        QCOMPARE(f[7].count('-') + 1, f[5].toInt());
        QVERIFY2(QRegularExpression("^Cu(-Cu)+$").match(f[7]).hasMatch(), qPrintable(f[7]));
    }
    QCOMPARE(rows[0].split('\t').mid(3), (QStringList{"2.5561", "12", "2", "100.00", "Cu-Cu"}));
}

QTEST_MAIN(TstBatch)
#include "tst_batch.moc"

// Three real FEFF runs, held against a measured curve made from one of them:
// 0.8 times NaCl's chi(k), written k^2-weighted as processing programs export
// it. NaCl must come first with scale 0.8 and no misfit in k or in R.
void TstBatch::ranking()
{
    if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
        QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
    const QString examples = QStringLiteral(EXAMPLES_DIR);
    for (const char *name : {"Cu.cif", "NaCl.cif"})
        QVERIFY(QFile::copy(examples + "/00-Cif/" + name, work + "/00-Cif/" + name));
    QVERIFY(QFile::copy(examples + "/00-Inp/Cu-metal.inp", work + "/00-Inp/Cu-metal.inp"));
    const QByteArray programs = "MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE
                                "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                                QByteArray(feff6) + "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 0\n";
    writeConfig("RES_FILES erste\n" + programs);
    QCOMPARE(runBatch({"-e", "-c", "batch.cfg"}).exitCode, 0);

    QByteArray measured = "# made from NaCl\n# k chik2\n";
    for (const QByteArray &line : readFile(work + "/erste/NaCl/chi.dat").split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        bool kOk = false, chiOk = false;
        const double k = f.value(0).toDouble(&kOk);
        const double chi = f.value(1).toDouble(&chiOk);
        if (kOk && chiOk && f.size() >= 2 && k > 0)
            measured += QByteArray::number(k, 'g', 17) + "  " +
                        QByteArray::number(0.8 * chi * k * k, 'g', 17) + "\r\n";
    }
    QVERIFY(writeFile(work + "/gemessen ö.chi", measured));

    writeConfig(programs);
    const Run r =
        runBatch({"-e", "-c", "batch.cfg", "-data", "gemessen ö.chi", "-rank", "Rang ö.tsv"});
    QVERIFY2(!r.crashed, qPrintable(r.err));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(summaryFields(r.out.last()).value("best"), res + "/NaCl");

    const QStringList rows = QString::fromUtf8(readFile(work + "/Rang ö.tsv")).split('\n');
    QCOMPARE(rows.size(), 5); // header, three jobs, the empty rest after the last line feed
    QCOMPARE(rows.at(0), QString("job\tinput\tr_factor_k\tscale_k\tr_factor_r\tscale_r"));
    const QStringList best = rows.at(1).split('\t');
    QCOMPARE(best.mid(0, 2), (QStringList{res + "/NaCl", work + "/00-Cif/NaCl.cif"}));
    QVERIFY2(best.at(2).toDouble() < 1e-12 && best.at(4).toDouble() < 1e-12,
             qPrintable(rows.at(1)));
    QCOMPARE(best.at(3), QString("0.8"));
    QCOMPARE(best.at(5), QString("0.8"));
    double previous = best.at(2).toDouble();
    for (const QString &row : rows.mid(2, 2)) {
        const QStringList f = row.split('\t');
        QCOMPARE(f.size(), 6);
        // Sorted by the figure in k; copper is nothing like rock salt.
        QVERIFY2(f.at(2).toDouble() >= previous && f.at(2).toDouble() > 0.1, qPrintable(row));
        previous = f.at(2).toDouble();
        // Six significant digits at most.
        QString digits = f.at(3).section('e', 0, 0).remove('-').remove('.');
        while (digits.startsWith('0'))
            digits.remove(0, 1);
        QVERIFY2(!digits.isEmpty() && digits.size() <= 6, qPrintable(f.at(3)));
    }
}
