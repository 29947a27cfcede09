#include "gui/gui.h"
#include "jobs/jobprocess.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"

#include "jobfixture.h"

#include <QCheckBox>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextEdit>
#include <QTranslator>

// The wait after SIGTERM before SIGKILL in the stop tests.
constexpr int graceMs = 300;

// The width a widget's style leaves for its text at the widget's present
// size, measured as the widget paints it.
static int textRoom(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
        const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        return r.width() - e->textMargins().left() - e->textMargins().right() - 2 * 2;
    }
    auto *b = qobject_cast<QAbstractButton *>(w);
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool box = qobject_cast<QCheckBox *>(w) != nullptr;
    return b->style()
        ->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &opt, b)
        .width();
}

// A job panel on its own: its programs' runs (stages, signals, console
// output, restarts), the time limit of a program run and what stopping it
// reaches, and the widths of the panel's widgets.
class TstJobPanel : public JobFixture
{
    Q_OBJECT
private slots:
    // From creation to the job's end: every status text with the stage and
    // colour it shows, the signals in order, the outcome and the messages.
    void run_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QStringList>("programs"); // arguments of the stand-in as Atoms and FEFF
        // "atoms", "feff" or "input": not there; "retired": retired while Atoms runs
        QTest::addColumn<QString>("twist");
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("outcome"); // -1: none reported
        QTest::addColumn<int>("paths");
        QTest::addColumn<QStringList>("logs"); // %I the input, %D the job folder
        auto row = [](const char *name, int stage, const QStringList &programs, const char *twist,
                      int limitMs, const QStringList &events, int outcome, int paths,
                      const QStringList &logs) {
            QTest::newRow(name) << stage << programs << twist << limitMs << events << outcome
                                << paths << logs;
        };
        const QStringList feffRun = JobRecorder::feffRun;
        const QStringList feffEnd = feffRun.mid(0, 5); // no results read
        const QStringList atomsRun{"A. Starting/3/yellow", "+", "A. Running/4/green", "-"};
        // FEFF is launched (and runs) before Atoms shows that it ended.
        QStringList cifRun = atomsRun + feffRun;
        cifRun.insert(7, "A. Finished/9/blue");
        row("CIF job", 1, {"atoms cat", "feff chi=3"}, "", 0, cifRun, Demeter::ChiRead, 3,
            {"Job Kupfer ö.銅 finished: chi(k) read with 3 paths"});
        row("FEFF input job", 6, {"", "feff chi=2"}, "", 0, feffRun, Demeter::ChiRead, 2,
            {"Job Kupfer ö.銅 finished: chi(k) read with 2 paths"});
        // A failed job says so in the field of the program that failed, and
        // names the cause in the field's tooltip and in one log line;
        // whatever files a program leaves, ending badly fails the job.
        const QString failed = "Job Kupfer ö.銅 failed: ";
        row("FEFF crash after its results", 6, {"", "feff chi=1 abort"}, "", 0,
            feffEnd + QStringList{"F. Failed/0/red"}, Demeter::FeffFailed, 0,
            {"%I: FEFF ended with signal SIGABRT", failed + "FEFF crashed"});
        row("Atoms fails, FEFF never runs", 1, {"atoms print=cell:broken exit=1", "feff chi=1"}, "",
            0, atomsRun + QStringList{"A. Finished/0/blue", "A. Failed/0/red"},
            Demeter::AtomsFailed, 0,
            {"%I: Atoms ended with exit code 1",
             failed + "Atoms ended with exit code 1: cell:broken"});
        // chi(k) that can give no chi(R) is no chi(k) data.
        row("chi.dat with NaN and infinity", 6, {"", "feff nanchi"}, "", 0,
            feffEnd + QStringList{"F. Failed/0/red"}, Demeter::NoChiData, 0,
            {"::Can not use chi(k) file %D/chi.dat : the value at line 8 of its data is not a "
             "finite number",
             failed + "chi.dat holds no usable chi(k) data: the value at line 8 of its data is "
                      "not a finite number"});
        row("Atoms missing", 1, {"atoms", "feff chi=1"}, "atoms", 0,
            {"A. Starting/3/yellow", "A. Not Running/3/blue", "A. Failed/3/red"},
            Demeter::AtomsNotStarted, 0, {failed + "Atoms could not start: %W/no such atoms"});
        row("CIF gone before the start", 1, {"atoms", "feff chi=1"}, "input", 0,
            {"A. Failed/1/red"}, Demeter::InputMissing, 0,
            {"The input file %I no longer exists; the job is not started.",
             failed + "the input file no longer exists"});
        // FEFF is never launched on the output of a cut-off Atoms run, and
        // results written before a stop are not read.
        row("Atoms past the time limit", 1, {"atoms cat pidfile sleep=600000", "feff chi=1"}, "",
            300, atomsRun + QStringList{"A. Finished/0/blue", "A. Failed/0/red"},
            Demeter::AtomsTimedOut, 0,
            {"Atoms reached the time limit of 0.3 s and was stopped: %I",
             failed + "Atoms stopped at the time limit of 0.3 s"});
        row("FEFF past the time limit", 6, {"", "feff chi=1 pidfile sleep=600000"}, "", 300,
            feffEnd + QStringList{"F. Failed/0/red"}, Demeter::FeffTimedOut, 0,
            {"FEFF reached the time limit of 0.3 s and was stopped: %I",
             failed + "FEFF stopped at the time limit of 0.3 s"});
        row("FEFF missing", 6, {"", "feff"}, "feff", 0,
            {"F. Starting/8/yellow", "F. Not Running/8/blue", "F. Failed/8/red"},
            Demeter::FeffNotStarted, 0, {failed + "FEFF could not start: %W/no such feff"});
        // No FEFF for a job that is about to be deleted.
        row("retired while Atoms runs", 1, {"atoms cat wait=go", "feff chi=1"}, "retired", 0,
            atomsRun + QStringList{"A. Finished/6/blue"}, -1, 0, {});
    }
    void run()
    {
        QFETCH(int, stage);
        QFETCH(QStringList, programs);
        QFETCH(QString, twist);
        QFETCH(int, limitMs);
        QFETCH(QStringList, events);
        QFETCH(int, outcome);
        QFETCH(QStringList, logs);
        // Only the last suffix goes from the job directory's name.
        const QString input = inputPath(stage == 1 ? "Kupfer ö.銅.cif" : "Kupfer ö.銅.inp");
        QVERIFY(writeFile(input, "noise\n * This is the input\nEND\n"));
        Settings s = settingsFor(programs[0], programs[1]);
        s.procTimeout = limitMs;
        if (twist == "atoms")
            s.atomsExe = work + "/no such atoms";
        if (twist == "feff")
            s.feffExe = work + "/no such feff";
        Demeter job(s, QFileInfo(input), stage);
        JobRecorder rec(&job);
        QSignalSpy ended(&job, &Demeter::ended);
        QCOMPARE(JobRecorder::status(job.ui.AtomsStat), QString("A. Not Running/blue"));
        QCOMPARE(JobRecorder::status(job.ui.FeffStat), QString("F. Not Running/blue"));
        QCOMPARE(job.directory(), resDir + "/Kupfer ö.銅");
        QVERIFY(existsOnDisk(job.directory()));
        if (twist == "input")
            QVERIFY(QFile::remove(input));
        job.loadInput();
        job.start();
        if (twist == "retired") {
            job.retire();
            QVERIFY(writeFile(job.directory() + "/go", ""));
        }

        QCOMPARE(rec.settled(events), events);
        QCOMPARE(ended.count(), outcome < 0 ? 0 : 1);
        if (!ended.isEmpty())
            QCOMPARE(ended.at(0).at(0).value<Demeter::Outcome>(), Demeter::Outcome(outcome));
        QTEST(job.pathCount(), "paths");
        QCOMPARE(rec.logs, logs.replaceInStrings("%I", input)
                               .replaceInStrings("%D", job.directory())
                               .replaceInStrings("%W", work));
        // The failed field's tooltip is the cause the log gives.
        for (const QLineEdit *field : {job.ui.AtomsStat, job.ui.FeffStat})
            if (field->text().endsWith("Failed"))
                QCOMPARE("Job Kupfer ö.銅 failed: " + field->toolTip(), logs.last());
        QCOMPARE(existsOnDisk(job.directory() + "/chiR.dat"), events.contains("newChi"));
        if (limitMs > 0)
            QVERIFY(processGone(readFile(job.directory() + "/fake.pid").trimmed().toLongLong()));
        if (events.contains("F. Running/9/green") && !events.contains("A. Failed/9/red")) {
            // Atoms printed the input; the copy of a FEFF input begins with the
            // copy header; either way the text starts at the first " * This".
            const QByteArray text = " * This is the input\nEND\n";
            QCOMPARE(readFile(job.directory() + "/feff.inp"),
                     stage == 1 ? text : copyHeader + "noise\n" + text);
            QCOMPARE(QDir::currentPath(), job.directory());
        }
    }
    void consoleOutputDecoding()
    {
        const QString input = inputPath("g.cif");
        QVERIFY(writeFile(input, ""));
        Demeter job(settingsFor("atoms garbage", "feff print=Feff_6L.02 print=ö"), QFileInfo(input),
                    1);
        job.start();
        QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);
        // Invalid UTF-8 becomes replacement characters; a NUL byte cuts its read.
        const QString atoms = job.atomsOutput();
        QVERIFY2(atoms.startsWith("bad ") && atoms.contains(QChar(0xFFFD)) &&
                     atoms.contains("before") && !atoms.contains("after") && atoms.contains("end"),
                 qPrintable(atoms));
        QCOMPARE(job.feffOutput(), QString("Feff_6L.02\nö\n"));
    }
    // A closed pane keeps its text out of the document, which would cost
    // several times as much; opened it shows all of it, and what a user
    // typed into an open pane is what a closed one gives feff.inp.
    void closedPanes_data()
    {
        QTest::addColumn<bool>("atomsOpen");
        QTest::addColumn<bool>("feffOpen");
        QTest::newRow("both closed during the run") << false << false;
        QTest::newRow("Atoms pane open, FEFF pane closed") << true << false;
        QTest::newRow("Atoms pane closed, FEFF pane open") << false << true;
    }
    void closedPanes()
    {
        QFETCH(bool, atomsOpen);
        QFETCH(bool, feffOpen);
        const QString input = inputPath("p.cif");
        QVERIFY(writeFile(input, " * This file\nTITLE Cu\nEND\n"));
        Demeter job(settingsFor("atoms print=Atoms_ö cat", "feff print=Feff_6L.02 chi=1"),
                    QFileInfo(input), 1);
        job.ui.ShowResAtoms->setChecked(atomsOpen);
        job.ui.ShowResFeff->setChecked(feffOpen);
        job.start();
        QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);

        const QString atoms = QString::fromUtf8("Atoms_ö\n * This file\nTITLE Cu\nEND\n");
        QCOMPARE(job.atomsPane() != nullptr, atomsOpen);
        QCOMPARE(job.feffPane() != nullptr, feffOpen);
        QCOMPARE(job.atomsOutput(), atoms);
        QCOMPARE(job.feffOutput(), QString("Feff_6L.02\n"));
        QCOMPARE(readFile(job.directory() + "/feff.inp"),
                 QByteArray(" * This file\nTITLE Cu\nEND\n"));

        job.ui.ShowResAtoms->setChecked(true);
        job.ui.ShowResFeff->setChecked(true);
        QCOMPARE(job.atomsPane()->toPlainText(), atoms);
        QCOMPARE(job.feffPane()->toPlainText(), QString("Feff_6L.02\n"));
        job.atomsPane()->setPlainText("TITLE edited\n");
        job.ui.ShowResAtoms->setChecked(false);
        QVERIFY(!job.atomsPane());
        QCOMPARE(job.atomsOutput(), QString("TITLE edited\n"));
        job.ui.ShowResFeff->setChecked(false);
        job.ui.FeffRestart->click();
        QCOMPARE(readFile(job.directory() + "/feff.inp"), QByteArray("TITLE edited\n"));
        QTRY_COMPARE_WITH_TIMEOUT(job.currentStage(), int(Demeter::Done), 20000);
        // The rerun's output replaces the first run's.
        QCOMPARE(job.feffOutput(), QString("Feff_6L.02\n"));
        QVERIFY(!job.feffPane());
    }
    void restart_data()
    {
        QTest::addColumn<bool>("feffGone");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("reruns FEFF on the edited text") << false << JobRecorder::feffRun;
        // Old results stay on disk (chi files are not cleared), so a wrong
        // "finished" would read them again.
        QTest::newRow("FEFF gone: no stop report, nothing read")
            << true
            << QStringList{"F. Starting/8/yellow", "F. Not Running/8/blue", "F. Failed/8/red"};
    }
    void restart()
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
        job.atomsPane()->setPlainText("TITLE edited\n");
        job.ui.FeffRestart->click();
        QCOMPARE(rec.settled(events), events);
        QCOMPARE(readFile(job.directory() + "/feff.inp"), QByteArray("TITLE edited\n"));
        // Emptied before the rerun; chip0005.dat cleared or not read.
        QCOMPARE(job.feffPane()->toPlainText(), feffGone ? QString() : QString("run\n"));
        QCOMPARE(job.pathCount(), 1);
        if (feffGone) {
            job.ui.FeffRestart->click(); // after a failed launch the job stays where it is
            QCOMPARE(rec.settled(events), events);
        }
    }
    // The stand-in writes its process id into fake.pid of its working folder;
    // a wrapper script starts it as a grandchild without exec, as a cluster
    // launcher or a site's script would. A program alone is stopped in the
    // time-limit rows of run().
    void stopReaches_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<bool>("ownGroup");
        QTest::addColumn<bool>("programGone");
        const QByteArray sleeps = "pidfile sleep=600000";
        const QByteArray stubborn = "ignoreterm pidfile sleep=600000";
        QTest::newRow("program ignoring SIGTERM") << stubborn << false << false << true;
        // The script ends at SIGTERM; the SIGKILL still reaches its group.
        QTest::newRow("behind a script, ignoring SIGTERM") << stubborn << true << true << true;
        // Without a group only the script is stopped: the program outlives it.
        QTest::newRow("behind a script, shared group") << sleeps << true << false << false;
    }
    void stopReaches()
    {
        QFETCH(QByteArray, words);
        QFETCH(bool, wrapped);
        QFETCH(bool, ownGroup);
        QFETCH(bool, programGone);
        const QString script = work + "/wrapper.sh";
        QVERIFY(writeFile(script, "#!/bin/sh\n\"" FAKEPROG "\" " + words + "\necho after\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner));
        JobProcess proc;
        proc.setWorkingDirectory(work);
        proc.setOwnGroup(ownGroup);
        proc.setTimeLimit(300);
        proc.setGrace(graceMs);
        QSignalSpy timedOut(&proc, &JobProcess::timedOut);
        if (wrapped)
            proc.start(script, QStringList());
        else
            proc.start(QStringLiteral(FAKEPROG), QString::fromLatin1(words).split(' '));
        QVERIFY(proc.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(work + "/fake.pid").endsWith('\n'), 20000);
        const qint64 pid = readFile(work + "/fake.pid").trimmed().toLongLong();

        QTRY_COMPARE_WITH_TIMEOUT(proc.state(), QProcess::NotRunning, 20000);
        QCOMPARE(timedOut.count(), 1);
        QVERIFY(proc.hasTimedOut());
        // The shell that ends by a signal does not run its next line.
        QVERIFY(!proc.readAll().contains("after"));
        if (programGone) {
            // An orphaned program is reaped by init, not by us: it counts as
            // ended once dead.
            QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), graceMs + 3000);
        } else {
            const auto reap = qScopeGuard([pid] { ::kill(pid_t(pid), SIGKILL); });
            QTest::qWait(graceMs + 500);
            QVERIFY(!processEnded(pid));
        }

        // A second run shorter than the limit neither times out nor carries the
        // first run's mark; the limit starts afresh, it does not add up.
        timedOut.clear();
        proc.start(QStringLiteral(FAKEPROG), {"sleep=200"});
        QVERIFY(proc.waitForStarted());
        QVERIFY(!proc.hasTimedOut());
        QVERIFY(proc.waitForFinished(20000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QVERIFY(!proc.hasTimedOut());
        QCOMPARE(timedOut.count(), 0);
    }
    // Every fixed-size widget of the panel, laid out in the main window at
    // its initial size, holds its text in full, in English and in Japanese,
    // for every status the fields can show.
    void textsFit_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::newRow("English") << false;
        QTest::newRow("Japanese") << true;
    }
    void textsFit()
    {
        QFETCH(bool, japanese);
        QTranslator translator;
        if (japanese) {
            QVERIFY(translator.load(QStringLiteral(":/Scatterdeck_ja_JP.qm")));
            QVERIFY(QCoreApplication::installTranslator(&translator));
        }
        Gui gui;
        const QString input = inputPath("TiO2-rutile 結晶.inp");
        auto *job = new Demeter(settingsFor("", ""), QFileInfo(input), 6);
        gui.addDemeter(job);
        // The plot windows outlive the main window: they must forget the job.
        const auto forget = qScopeGuard([&gui] {
            QMetaObject::invokeMethod(&gui, "deleteAll");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        gui.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gui));
        QCoreApplication::processEvents();
        QCOMPARE(job->ui.Delete->text(),
                 japanese ? QStringLiteral("削除") : QStringLiteral("Del."));

        QVector<QPair<QWidget *, QString>> shown;
        // The input field shows the file's whole name, its tooltip the path;
        // the window opens wide enough for the panel
        shown.push_back({job->ui.TargetName, QFileInfo(input).fileName()});
        QCOMPARE(job->ui.TargetName->toolTip(), input);
        // (or as wide as the screen, which is narrow offscreen).
        QVERIFY(gui.findChild<QScrollArea *>("ScrollA1")->viewport()->width() >=
                    job->minimumSizeHint().width() ||
                gui.width() == QGuiApplication::primaryScreen()->availableGeometry().width());
        for (const QString state : {"Starting", "Running", "Finished", "Not Running", "Failed"}) {
            shown.push_back({job->ui.AtomsStat,
                             QCoreApplication::translate("Demeter", qPrintable("A. " + state))});
            shown.push_back({job->ui.FeffStat,
                             QCoreApplication::translate("Demeter", qPrintable("F. " + state))});
        }
        for (QAbstractButton *b : job->findChildren<QAbstractButton *>())
            shown.push_back({b, b->text()});
        // The plot windows' cursor read-outs, with a number as long as they
        // show in the crowded chi(R) row.
        for (ChiView *v : {gui.plotController()->chiKView(), gui.plotController()->chiRView()}) {
            QVERIFY(QTest::qWaitForWindowExposed(v));
            for (const char *name : {"PosX", "PosY"})
                shown.push_back({v->findChild<QLineEdit *>(name), QStringLiteral("-0.0790658")});
        }
        for (const auto &item : shown) {
            const int need = item.first->fontMetrics().horizontalAdvance(item.second);
            QVERIFY2(need <= textRoom(item.first),
                     qPrintable(QStringLiteral("%1 \"%2\": text %3 px, room %4 px")
                                    .arg(item.first->objectName(), item.second)
                                    .arg(need)
                                    .arg(textRoom(item.first))));
        }
        // The form's sizes stay the smallest ones.
        for (const QWidget *w : QWidgetList{job->ui.Delete, job->ui.ColorSel, job->ui.ColorDisp})
            QVERIFY2(w->width() >= 30, qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TstJobPanel)
#include "tst_jobpanel.moc"
