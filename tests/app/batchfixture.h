#ifndef BATCHFIXTURE_H
#define BATCHFIXTURE_H

#include "tests/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

// Runs the built scatterdeck with "-batch" the way a script or a cluster job
// does (no display and no QT_QPA_PLATFORM in its environment), or with its
// window on the offscreen platform as a user starts it, in a working
// folder whose name holds a blank, an accented and Japanese letters. The
// stand-in program FAKEPROG plays Atoms and FEFF where a test needs control
// over timing; it writes its process id into fake.pid of its job folder and,
// with "log", one line "<role> <job folder>" into FAKE_LOG.

namespace batchtest {

const char feff6[] = "/usr/bin/feff6";

struct Run
{
    int exitCode = -1;
    bool crashed = true;
    QStringList out; // standard output, line by line
    QString err;
};

inline QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

inline qint64 pidIn(const QString &jobDir)
{
    return readFile(jobDir + "/fake.pid").trimmed().toLongLong();
}

// A summary line without its wall time.
inline QString withoutWall(const QString &line)
{
    return QString(line).remove(QRegularExpression("\twall=[^\t]*"));
}

} // namespace batchtest

using namespace batchtest;

#define SKIP_WITHOUT_FEFF6()                                                                       \
    if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())                                     \
    QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)")

// Runs the batch in a test function of the fixture: it must end by itself
// with this exit code.
#define RUN_BATCH(run, code, ...)                                                                  \
    const Run run = runBatch(__VA_ARGS__);                                                         \
    QVERIFY2(!run.crashed && run.exitCode == (code),                                               \
             qPrintable(QString("exit code %1: %2").arg(run.exitCode).arg(run.err)))

class BatchFixture : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        workFolder.reset(new WorkFolder(QStringLiteral("Stapel ö 一括"), false));
        QVERIFY(workFolder->isValid());
        work = workFolder->path();
        res = work + QStringLiteral("/Ergebnis ö 結果");
        QVERIFY(QDir().mkpath(work + "/00-Cif"));
        QVERIFY(QDir().mkpath(work + "/00-Inp"));
    }
    void cleanup()
    {
        // A run left behind by a failed check stops its own programs on SIGTERM.
        if (child && child->state() != QProcess::NotRunning) {
            child->terminate();
            if (!child->waitForFinished(10000))
                child->kill();
        }
        child.reset();
    }

protected:
    QProcess *start(const QStringList &args, bool window = false)
    {
        child.reset(new QProcess);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        if (window)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("FAKE_LOG"), work + "/run.log");
        child->setProcessEnvironment(env);
        child->setWorkingDirectory(work);
        child->start(QStringLiteral(SCATTERDECK_EXE), window ? args : QStringList{"-batch"} + args);
        return child.get();
    }
    Run finish(QProcess *proc)
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
    Run runBatch(const QStringList &args) { return finish(start(args)); }
    void writeConfig(const QByteArray &lines)
    {
        // UTF-8 with a mark, so that the non-ASCII names survive; the first
        // entry of a key wins, so lines given first override the rest.
        const QByteArray config = "\xEF\xBB\xBF" + lines + "RES_FILES \"Ergebnis ö 結果\"\n";
        QVERIFY(writeFile(work + "/batch.cfg", config));
    }
    // Cu and NaCl from CIF, Cu metal as a FEFF input.
    void copyExamples()
    {
        const QString examples = QStringLiteral(EXAMPLES_DIR);
        for (const char *name : {"00-Cif/Cu.cif", "00-Cif/NaCl.cif", "00-Inp/Cu-metal.inp"})
            QVERIFY(QFile::copy(examples + "/" + name, work + "/" + name));
    }
    QStringList programRuns() const
    {
        const QString log = work + "/run.log";
        return QFileInfo::exists(log) ? splitLines(readFile(log)) : QStringList();
    }

    QScopedPointer<WorkFolder> workFolder;
    QString work;
    QString res;
    QScopedPointer<QProcess> child;
};

#endif
