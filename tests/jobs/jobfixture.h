#ifndef JOBFIXTURE_H
#define JOBFIXTURE_H

#include "app/settings.h"
#include "jobs/demeter.h"
#include "tests/testfiles.h"

#include <QDir>
#include <QMap>
#include <QScreen>
#include <QtTest>

// The jobs of these tests run the stand-in program FAKEPROG (its words are listed in
// fakeprog.cpp) as Atoms and FEFF. Every test works in a fresh folder whose
// name holds a blank, an accented and Japanese letters; the job directories
// lie in a results folder named likewise.
class JobFixture : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        qRegisterMetaType<Demeter::Outcome>(); // for QSignalSpy
        workFolder.reset(new WorkFolder(QStringLiteral("Arbeit ö 作業"), false));
        QVERIFY(workFolder->isValid());
        work = workFolder->path();
        resDir = work + QStringLiteral("/Ergebnis ö 結果");
        QVERIFY(QDir().mkpath(resDir));
    }
    // Also brings back the current folder, which every FEFF launch moves.
    void cleanup() { workFolder.reset(); }

protected:
    // The first line of a job's copy of its FEFF input file.
    static inline const QByteArray copyHeader = " * This file was copied by Scatterdeck\n";

    Settings settingsFor(const QString &atomsArgs, const QString &feffArgs) const
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
    QString inputPath(const QString &name) const { return work + QLatin1Char('/') + name; }
    QScopedPointer<WorkFolder> workFolder;
    QString work;
    QString resDir;
};

// Records what a job shows and reports, in order: every status text as
// "text/stage/colour", "+" for procStarted(), "-" for procStopped(),
// "newChi" for newChi(). Log messages are kept apart.
class JobRecorder : public QObject
{
public:
    explicit JobRecorder(Demeter *job)
    {
        watchStatus(job, job->ui.AtomsStat);
        watchStatus(job, job->ui.FeffStat);
        connect(job, &Demeter::procStarted, this, [this] { events << "+"; });
        connect(job, &Demeter::procStopped, this, [this] { events << "-"; });
        connect(job, &Demeter::newChi, this, [this] { events << "newChi"; });
        connect(job, &Demeter::log, this, [this](const QString &msg) { logs << msg; });
    }

    // A FEFF run from start to results.
    static inline const QStringList feffRun{
        "F. Starting/8/yellow", "+", "F. Running/9/green", "-", "F. Finished/0/blue", "newChi"};

    // "text/colour" of a status field.
    static QString status(const QLineEdit *field)
    {
        return field->text() + QLatin1Char('/') + colourName(field);
    }

    static QString colourName(const QLineEdit *field)
    {
        static const QMap<QString, QString> names{
            {"#ffff80", "yellow"}, {"#60ffb5", "green"}, {"#d5e6ff", "blue"}, {"#ff9696", "red"}};
        const QString colour = field->palette().color(QPalette::Base).name();
        return names.value(colour, colour);
    }

    // The events once they equal expected (or at the timeout), taken a
    // moment later so that anything wrongly following them shows too.
    QStringList settled(const QStringList &expected, int timeoutMs = 20000)
    {
        if (QTest::qWaitFor([&] { return events == expected; }, timeoutMs))
            QTest::qWait(100);
        return events;
    }

    QStringList events;
    QStringList logs;

private:
    void watchStatus(Demeter *job, QLineEdit *field)
    {
        connect(field, &QLineEdit::textChanged, this, [this, job, field](const QString &text) {
            events << QStringLiteral("%1/%2/%3")
                          .arg(text)
                          .arg(job->currentStage())
                          .arg(colourName(field));
        });
    }
};

#endif
