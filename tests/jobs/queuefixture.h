#ifndef QUEUEFIXTURE_H
#define QUEUEFIXTURE_H

#include "app/body.h"
#include "gui/gui.h"
#include "jobs/demeter.h"

#include "tests/testfiles.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

#include <algorithm>
#include <memory>

// Body's queue with the stand-in programs. Every test runs in a fresh
// working folder whose name holds a blank, an accented and Japanese letters,
// with results in a folder named likewise; FAKE_LOG collects one line per
// program start ("atoms <job dir>" or "feff <job dir>").
class QueueFixture : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        workFolder.reset(new WorkFolder(QStringLiteral("Arbeit ö 作業"), true));
        QVERIFY(workFolder->isValid());
        work = workFolder->path();
        QVERIFY(QDir().mkpath(work + "/00-Cif"));
        QVERIFY(QDir().mkpath(work + "/00-Inp"));
        qputenv("FAKE_LOG", (work + "/run.log").toUtf8());
        setUp();
    }
    void cleanup()
    {
        if (body) {
            Gui *gui = body->mainWindow();
            QMetaObject::invokeMethod(gui, "deleteAll");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            delete gui; // Body leaves its window alive by design
            body.reset();
        }
        workFolder.reset();
    }

protected:
    // Waiting programs block on a file "gate" (Atoms) or "fgate" (FEFF) in
    // their job directory.
    static constexpr char atomsWaits[] = "atoms log wait=gate";
    static constexpr char feffRuns[] = "feff log chi=0";

    virtual void setUp() {}
    void startBody(const QString &maxProc, const QString &atomsArgs, const QString &feffArgs,
                   const QByteArray &extra = QByteArray())
    {
        const QString config = QStringLiteral("MAX_PROC %1\n"
                                              "ATOMS_EXE \"%2\"\nATOMS_ARG \"%3\"\n"
                                              "FEFF_EXE \"%2\"\nFEFF_ARG \"%4\"\n"
                                              "RES_FILES \"Ergebnis ö 結果\"\n")
                                   .arg(maxProc, QStringLiteral(FAKEPROG), atomsArgs, feffArgs);
        // The first entry of a key wins, so extra lines go in front.
        QVERIFY(writeFile(work + "/q.cfg", "\xEF\xBB\xBF" + extra + config.toUtf8()));
        const char *argv[] = {"scatterdeck", "-noGui", "-c", "q.cfg"};
        body.reset(new Body(ParamTable(4, argv)));
    }
    void addFiles(const QString &folder, const QStringList &names, const QByteArray &text = "")
    {
        for (const QString &name : names)
            QVERIFY(writeFile(work + "/" + folder + "/" + name, text));
    }
    QList<Demeter *> jobs() const { return body->mainWindow()->demeters(); }
    QString resDir() const { return body->currentSettings().resDir; }
    void open(const QString &gate, const QList<Demeter *> &which)
    {
        for (Demeter *job : which)
            QVERIFY(writeFile(job->directory() + "/" + gate, ""));
    }
    static bool allDone(const QList<Demeter *> &which)
    {
        return std::all_of(which.begin(), which.end(),
                           [](const Demeter *job) { return job->currentStage() == Demeter::Done; });
    }
    QString counts() const
    {
        return QString::number(body->runningPrograms()) + " running, " +
               QString::number(body->queuedJobs()) + " queued";
    }
    QStringList startedJobDirs() const
    {
        QStringList dirs;
        for (const QString &line :
             QString::fromUtf8(readFile(work + "/run.log")).split('\n', Qt::SkipEmptyParts))
            dirs << line.section(' ', 1);
        dirs.removeDuplicates();
        return dirs;
    }

    QScopedPointer<WorkFolder> workFolder;
    QString work;
    std::unique_ptr<Body> body;
};

#endif
