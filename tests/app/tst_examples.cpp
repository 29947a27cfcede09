#include "tests/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QStringList copyExamples(const QString &from, const QString &to)
{
    QStringList names;
    for (const char *sub : {"00-Cif", "00-Inp"}) {
        QDir().mkpath(to + "/" + sub);
        for (const QFileInfo &f : QDir(from + "/" + sub).entryInfoList(QDir::Files)) {
            QFile::copy(f.filePath(), to + "/" + sub + "/" + f.fileName());
            names << f.completeBaseName();
        }
    }
    return names;
}

// The shipped configuration, its ATOMS_EXE at the given program.
QByteArray linuxConfig(const QString &examples, const QString &atoms)
{
    QByteArray text = "\xEF\xBB\xBF";
    for (const QByteArray &line : readFile(examples + "/config.cfg").split('\n'))
        text +=
            (line.startsWith("ATOMS_EXE") ? "ATOMS_EXE \"" + atoms.toUtf8() + "\"" : line) + '\n';
    return text;
}

} // namespace

// The whole road, as a user starts it: the real program on the bundled
// examples with the shipped Linux configuration, the real Atoms program and
// FEFF 6, in a working folder whose name holds a blank and non-ASCII letters.
class TstExamples : public QObject
{
    Q_OBJECT
private slots:
    void everyExampleEndsWithChiR()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString work = root.filePath(QStringLiteral("Beispiel ö 例"));
        const QStringList jobs = copyExamples(EXAMPLES_DIR, work);
        QCOMPARE(jobs.size(), 5);
        QVERIFY(writeFile(work + "/config.cfg", linuxConfig(EXAMPLES_DIR, ATOMS_EXE)));

        QProcess app;
        app.setWorkingDirectory(work);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::MergedChannels);
        app.start(SCATTERDECK_EXE, QStringList{"-e"});
        QVERIFY(app.waitForStarted());

        // Header, then one line per point of the 0..8 by 0.01 grid; a file still
        // being written has fewer.
        auto complete = [&](const QString &job) {
            QFile chiR(work + "/00-Res/" + job + "/chiR.dat");
            return chiR.open(QIODevice::ReadOnly | QIODevice::Text) &&
                   chiR.readAll().count('\n') == 5 + 801;
        };
        auto finished = [&] { return std::all_of(jobs.begin(), jobs.end(), complete); };
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 60000);
        QCOMPARE(app.state(), QProcess::Running); // it ends only when the user closes it
        app.terminate();
        QVERIFY(app.waitForFinished(5000));

        const QString output = QString::fromUtf8(app.readAll());
        QVERIFY2(!output.contains("Can not"), qPrintable(output));
        for (const QString &job : jobs) {
            const QString dir = work + "/00-Res/" + job;
            // PRINT 1 0 0 3 from the configuration: FEFF wrote path files.
            QVERIFY2(!QDir(dir).entryList({"chip*.dat"}).isEmpty(), qPrintable(dir));
        }
    }
};

QTEST_GUILESS_MAIN(TstExamples)
#include "tst_examples.moc"
