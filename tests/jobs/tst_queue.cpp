#include "app/body.h"
#include "gui/gui.h"
#include "jobs/demeter.h"

#include "tests/testfiles.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

ParamTable commandLine(const QString &config)
{
    const QByteArray name = config.toUtf8();
    const char *argv[] = {"scatterdeck", "-noGui", "-c", name.constData()};
    return ParamTable(4, argv);
}

// Waiting programs block on a file "gate" (Atoms) or "fgate" (FEFF) in
// their job directory.
const char atomsWaits[] = "atoms log wait=gate";
const char feffRuns[] = "feff log chi=0";

} // namespace

// Body's queue with the stand-in programs. Every test runs in a fresh
// working folder whose name holds a blank, an accented and Japanese letters,
// with results in a folder named likewise; FAKE_LOG collects one line per
// program start ("atoms <job dir>" or "feff <job dir>").
class TstQueue : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void burstStartsAtMostMaxProc();
    void failedStartsDoNotStallQueue_data();
    void failedStartsDoNotStallQueue();
    void atomsEndAdmitsNextBeforeOwnFeff();
    void nothingStartsWithoutSlots();
    void creationAndStartOrder();
    void deletedQueuedJobNeverStarts_data();
    void deletedQueuedJobNeverStarts();
    void deletedRunningJobFreesItsSlot_data();
    void deletedRunningJobFreesItsSlot();
    void relativeProgramAfterDirectoryChange();
    void timedOutJobFreesItsSlot();
    void statusCountsThroughARun();

private:
    void startBody(const QString &maxProc, const QString &atomsArgs, const QString &feffArgs,
                   const QByteArray &extra = QByteArray());
    void addFiles(const QString &folder, const QStringList &names, const QByteArray &text = "");
    QList<Demeter *> jobs() const { return body->mainWindow()->demeters(); }
    QString resDir() const { return body->currentSettings().resDir; }
    void open(const QString &gate, const QList<Demeter *> &which);
    static bool allDone(const QList<Demeter *> &which);
    // "<running> running, <queued> queued"
    QString counts() const;
    QStringList startedJobDirs() const;

    QScopedPointer<QTemporaryDir> root;
    QString work;
    QString savedCwd;
    std::unique_ptr<Body> body;
};

void TstQueue::init()
{
    savedCwd = QDir::currentPath();
    root.reset(new QTemporaryDir);
    QVERIFY(root->isValid());
    work = root->filePath(QStringLiteral("Arbeit ö 作業"));
    QVERIFY(QDir().mkpath(work + "/00-Cif"));
    QVERIFY(QDir().mkpath(work + "/00-Inp"));
    QVERIFY(QDir::setCurrent(work));
    qputenv("FAKE_LOG", (work + "/run.log").toUtf8());
}

void TstQueue::cleanup()
{
    if (body) {
        Gui *gui = body->mainWindow();
        QMetaObject::invokeMethod(gui, "deleteAll");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete gui; // Body leaves its window alive by design
        body.reset();
    }
    QDir::setCurrent(savedCwd);
}

void TstQueue::startBody(const QString &maxProc, const QString &atomsArgs, const QString &feffArgs,
                         const QByteArray &extra)
{
    const QString config = QStringLiteral("MAX_PROC %1\n"
                                          "ATOMS_EXE \"%2\"\nATOMS_ARG \"%3\"\n"
                                          "FEFF_EXE \"%2\"\nFEFF_ARG \"%4\"\n"
                                          "RES_FILES \"Ergebnis ö 結果\"\n")
                               .arg(maxProc, QStringLiteral(FAKEPROG), atomsArgs, feffArgs);
    // The first entry of a key wins, so extra lines go in front.
    QVERIFY(writeFile(work + "/q.cfg", "\xEF\xBB\xBF" + extra + config.toUtf8()));
    body.reset(new Body(commandLine("q.cfg")));
}

void TstQueue::addFiles(const QString &folder, const QStringList &names, const QByteArray &text)
{
    for (const QString &name : names)
        QVERIFY(writeFile(work + "/" + folder + "/" + name, text));
}

void TstQueue::open(const QString &gate, const QList<Demeter *> &which)
{
    for (Demeter *job : which)
        QVERIFY(writeFile(job->directory() + "/" + gate, ""));
}

bool TstQueue::allDone(const QList<Demeter *> &which)
{
    for (const Demeter *job : which) {
        if (job->currentStage() != Demeter::Done)
            return false;
    }
    return true;
}

QString TstQueue::counts() const
{
    return QString("%1 running, %2 queued").arg(body->runningPrograms()).arg(body->queuedJobs());
}

QStringList TstQueue::startedJobDirs() const
{
    QStringList dirs;
    const QStringList lines = QString::fromUtf8(readFile(work + "/run.log")).split('\n');
    for (const QString &line : lines) {
        const QString dir = line.section(' ', 1);
        if (!dir.isEmpty() && !dirs.contains(dir))
            dirs << dir;
    }
    return dirs;
}

void TstQueue::burstStartsAtMostMaxProc()
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
void TstQueue::failedStartsDoNotStallQueue_data()
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

void TstQueue::failedStartsDoNotStallQueue()
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
void TstQueue::atomsEndAdmitsNextBeforeOwnFeff()
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

void TstQueue::nothingStartsWithoutSlots()
{
    addFiles("00-Cif", {"a.cif"});
    addFiles("00-Inp", {"b.inp"}, "END\n");
    startBody("0", "atoms log", feffRuns);
    emit body->mainWindow()->droppedCifFiles(work + "/00-Cif/a.cif", "", "file", "");
    QMetaObject::invokeMethod(body.get(), "checkDemQue");
    QTest::qWait(100);
    QCOMPARE(jobs().size(), 3);
    QCOMPARE(counts(), QString("0 running, 3 queued"));
    QCOMPARE(jobs().at(0)->currentStage(), int(Demeter::AtomsWaiting));
    QCOMPARE(jobs().at(1)->currentStage(), int(Demeter::FeffWaiting));
    QVERIFY(!existsOnDisk(work + "/run.log"));
}

void TstQueue::creationAndStartOrder()
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
    const QStringList order{"00-Cif/A.CIF/1", "00-Cif/b.cif/1", "00-Cif/c.INP/1", "00-Cif/e.cif/1",
                            "00-Inp/Y.INP/6", "00-Inp/z.inp/6", "q.inp/6",        "p.cif/1"};
    QStringList created;
    for (const Demeter *job : jobs())
        created << QDir(work).relativeFilePath(job->ui.TargetName->text()) + "/" +
                       (job->currentStage() <= Demeter::AtomsRunning ? "1" : "6");
    QCOMPARE(created, order);
    QCOMPARE(body->queuedJobs(), 7);

    QTRY_VERIFY_WITH_TIMEOUT(allDone(jobs()), 30000);
    QStringList started;
    for (const QString &dir : startedJobDirs())
        started << QFileInfo(dir).fileName();
    QCOMPARE(started, QStringList({"A", "b", "c", "e", "Y", "z", "q", "p"}));
    QCOMPARE(body->runningPrograms(), 0);
}

void TstQueue::deletedQueuedJobNeverStarts_data()
{
    QTest::addColumn<bool>("deleteNow");
    QTest::newRow("deleted by its button") << true;
    QTest::newRow("deletion still pending") << false;
}

void TstQueue::deletedQueuedJobNeverStarts()
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

    QTRY_COMPARE_WITH_TIMEOUT(all.at(2)->currentStage(), int(Demeter::Done), 20000);
    QCOMPARE(all.at(0)->currentStage(), int(Demeter::Done));
    QVERIFY(!startedJobDirs().contains(doomedDir));
    if (!deleteNow)
        QCOMPARE(doomed->currentStage(), int(Demeter::AtomsWaiting));
    QCOMPARE(counts(), QString("0 running, 0 queued"));
}

void TstQueue::deletedRunningJobFreesItsSlot_data()
{
    QTest::addColumn<QString>("input");        // %1: 0 for the deleted job, 1 for the next
    QTest::addColumn<QStringList>("programs"); // arguments as Atoms and as FEFF
    QTest::addColumn<int>("runningStage");
    QTest::addColumn<QString>("gate");
    QTest::newRow("Atoms running")
        << "00-Cif/j%1.cif" << QStringList{"atoms pidfile wait=gate", feffRuns}
        << int(Demeter::AtomsRunning) << "gate";
    QTest::newRow("FEFF running") << "00-Inp/j%1.inp"
                                  << QStringList{"atoms", "feff pidfile wait=fgate chi=0"}
                                  << int(Demeter::FeffRunning) << "fgate";
}

// "Del." stops the job's program; its slot goes to the next job at once,
// and no late report of the killed program counts it off twice.
void TstQueue::deletedRunningJobFreesItsSlot()
{
    QFETCH(QString, input);
    QFETCH(QStringList, programs);
    QFETCH(int, runningStage);
    QFETCH(QString, gate);
    addFiles(".", {input.arg(0), input.arg(1)}, "END\n");
    startBody("1", programs[0], programs[1]);
    QPointer<Demeter> running = jobs().at(0);
    Demeter *waiting = jobs().at(1);
    QCOMPARE(running->currentStage(), runningStage);
    const QString pidFile = running->directory() + "/fake.pid";
    QTRY_VERIFY_WITH_TIMEOUT(readFile(pidFile).endsWith('\n'), 20000);
    const qint64 pid = readFile(pidFile).trimmed().toLongLong();

    running->ui.Delete->click();
    QTRY_VERIFY(running.isNull());
    QVERIFY(processGone(pid));
    QCOMPARE(waiting->currentStage(), runningStage);
    QCOMPARE(counts(), QString("1 running, 0 queued"));

    open(gate, {waiting});
    QTRY_COMPARE_WITH_TIMEOUT(waiting->currentStage(), int(Demeter::Done), 20000);
    QCOMPARE(body->runningPrograms(), 0);
}

// Programs named relative to the start-up folder keep working after a FEFF
// launch has moved the application into a job directory.
void TstQueue::relativeProgramAfterDirectoryChange()
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

void TstQueue::timedOutJobFreesItsSlot()
{
    // Only the second job finds its gate; the first FEFF waits until the
    // time limit stops it, and then the queue goes on with one slot.
    for (const char *name : {"hang.inp", "quick.inp"})
        QVERIFY(writeFile(work + "/00-Inp/" + name, "END\n"));
    const QString res = work + "/Ergebnis ö 結果";
    QVERIFY(QDir().mkpath(res + "/quick"));
    QVERIFY(writeFile(res + "/quick/fgate", ""));
    startBody("1", "atoms", "feff log wait=fgate chi=1", "PROC_TIMEOUT 0.5\n");
    QCOMPARE(body->currentSettings().procTimeout, 500);
    Demeter *hang = jobs().at(0);
    Demeter *quick = jobs().at(1);
    QCOMPARE(body->runningPrograms(), 1);
    QCOMPARE(quick->currentStage(), int(Demeter::FeffWaiting));

    QTRY_COMPARE_WITH_TIMEOUT(quick->currentStage(), int(Demeter::Done), 20000);
    QCOMPARE(hang->currentStage(), int(Demeter::Done));
    QVERIFY(!hang->chi.hasChiK);
    QVERIFY(quick->chi.hasChiK);
    QCOMPARE(body->runningPrograms(), 0);
    QCOMPARE(body->queuedJobs(), 0);
    QCOMPARE(startedJobDirs(), QStringList({res + "/hang", res + "/quick"}));
}

// Four jobs, one at a time; the third loses its folder, so its Atoms cannot
// start and it fails.
void TstQueue::statusCountsThroughARun()
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
    gui->findChild<QAction *>("actionShowAll")->trigger();
    for (const Demeter *job : jobs())
        QVERIFY(job->ui.Show->isChecked());
    gui->findChild<QAction *>("actionShowNone")->trigger();
    for (const Demeter *job : jobs())
        QVERIFY(!job->ui.Show->isChecked());

    // A deleted job leaves the counts.
    QMetaObject::invokeMethod(gui, "deleteADemeter", Q_ARG(int, 2));
    QCOMPARE(counts->text(), QString("Queued 0 · Running 0 · Finished 3 · Failed 0"));
    QCOMPARE(progress->maximum(), 3);
}

QTEST_MAIN(TstQueue)
#include "tst_queue.moc"
