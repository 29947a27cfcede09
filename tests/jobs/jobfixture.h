#ifndef JOBFIXTURE_H
#define JOBFIXTURE_H

#include "app/settings.h"
#include "jobs/demeter.h"
#include "tests/testfiles.h"

#include <QDir>
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

#endif
