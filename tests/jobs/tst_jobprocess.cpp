#include "jobs/jobprocess.h"

#include "tests/testfiles.h"

#include <QtTest>

#include <signal.h>

// The time limit of a program run and what stopping it reaches. The stand-in
// program writes its process id into fake.pid of its working folder; a
// wrapper script starts it as a grandchild without exec, as a cluster
// launcher or a site's script would.
constexpr int graceMs = 300;

class TstJobProcess : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        workFolder.reset(new WorkFolder(QStringLiteral("Lauf ö 実行"), false));
        QVERIFY(workFolder->isValid());
        work = workFolder->path();
    }
    void cleanup()
    {
        if (straggler > 0)
            ::kill(pid_t(straggler), SIGKILL);
        straggler = 0;
    }
    void stopReaches_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<bool>("ownGroup");
        QTest::addColumn<bool>("programGone");
        const QByteArray sleeps = "pidfile sleep=600000";
        const QByteArray stubborn = "ignoreterm pidfile sleep=600000";
        QTest::newRow("program alone") << sleeps << false << false << true;
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
        if (!programGone) {
            straggler = pid;
            QTest::qWait(graceMs + 500);
            QVERIFY(!processEnded(pid));
            return;
        }
        // An orphaned program is reaped by init, not by us: it counts as ended
        // once dead.
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), graceMs + 3000);
    }
    void limitIsPerRun()
    {
        JobProcess proc;
        proc.setWorkingDirectory(work);
        proc.setTimeLimit(300);
        proc.start(QStringLiteral(FAKEPROG), {"sleep=600000"});
        QVERIFY(proc.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(proc.hasTimedOut(), 20000);
        QTRY_COMPARE(proc.state(), QProcess::NotRunning);

        // A second run shorter than the limit neither times out nor carries the
        // first run's mark; the limit starts afresh, it does not add up.
        QSignalSpy timedOut(&proc, &JobProcess::timedOut);
        proc.start(QStringLiteral(FAKEPROG), {"sleep=200"});
        QVERIFY(proc.waitForStarted());
        QVERIFY(!proc.hasTimedOut());
        QVERIFY(proc.waitForFinished(20000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QVERIFY(!proc.hasTimedOut());
        QCOMPARE(timedOut.count(), 0);
    }

private:
    QScopedPointer<WorkFolder> workFolder;
    QString work;
    qint64 straggler = 0; // a process a row leaves behind on purpose
};

QTEST_MAIN(TstJobProcess)
#include "tst_jobprocess.moc"
