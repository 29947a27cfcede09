#include "app/body.h"
#include "gui/gui.h"
#include "jobs/demeter.h"

#include "jobrecorder.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const char feff6[] = "/usr/bin/feff6";

ParamTable commandLine()
{
    const char *argv[] = {"scatterdeck", "-noGui", "-c", "feff6.cfg"};
    return ParamTable(4, argv);
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

} // namespace

// A copper cluster through the real FEFF 6 (Debian's ifeffit package), in a
// folder whose name holds a blank, an accented and Japanese letters. The
// input asks for RMAX 3.0, which gives one path; the configuration rewrites
// it to RMAX 4.0, which gives three (checked by running feff6 by hand).
class TstFeff6 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void copperJob();

private:
    std::unique_ptr<Body> startBody();
    QScopedPointer<QTemporaryDir> root;
    QString work;
    QString savedCwd;
    QByteArray input;
};

void TstFeff6::init()
{
    if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
        QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
    savedCwd = QDir::currentPath();
    root.reset(new QTemporaryDir);
    QVERIFY(root->isValid());
    work = root->filePath(QStringLiteral("Arbeit ö 作業"));
    QVERIFY(QDir().mkpath(work + "/00-Inp"));
    QVERIFY(QDir::setCurrent(work));
    input = readFile(QStringLiteral(JOBS_TEST_DATA "/cu.inp"));
    QVERIFY(input.contains("PRINT 1 0 0 3\nRMAX 3.0\n"));
}

void TstFeff6::cleanup()
{
    QDir::setCurrent(savedCwd);
}

// The settings as the program derives them; MAX_PROC 0 keeps the queue out.
std::unique_ptr<Body> TstFeff6::startBody()
{
    const QByteArray config = QByteArray("\xEF\xBB\xBFMAX_PROC 0\nFEFF_EXE ") + feff6 +
                              "\nfeff_inp RMAX 4.0\nRES_FILES \"Ergebnis ö 結果\"\n";
    if (!writeFile(work + "/feff6.cfg", config))
        return nullptr;
    return std::make_unique<Body>(commandLine());
}

void TstFeff6::copperJob()
{
    const std::unique_ptr<Body> body = startBody();
    QVERIFY(body);
    const QString file = work + "/Kupfer ö 銅.inp";
    QVERIFY(writeFile(file, input));
    Demeter job(body->currentSettings(), QFileInfo(file), Demeter::FeffWaiting);
    JobRecorder rec(&job);
    job.loadInput();
    job.start();

    QCOMPARE(rec.settled(JobRecorder::feffRun(), 30000), JobRecorder::feffRun());
    QCOMPARE(JobRecorder::status(job.ui.AtomsStat), QString("A. Not Running/blue"));
    QVERIFY(rec.logs.isEmpty());

    const QString dir = job.directory();
    QCOMPARE(dir, work + "/Ergebnis ö 結果/Kupfer ö 銅");
    QByteArray written = input;
    written.replace("RMAX 3.0\n", "RMAX 4.0\n");
    QCOMPARE(readFile(dir + "/feff.inp"), " * This file was copied by Scatterdeck\n" + written);
    QVERIFY(job.ui.ResFeff->toPlainText().contains("Feff 6L.02"));

    QVERIFY(job.chi.hasChiK);
    const QStringList pathFiles = QDir(dir).entryList({"chip*.dat"}, QDir::Files);
    QCOMPARE(pathFiles.size(), 3);
    QCOMPARE(job.chips.size(), 3);
    QCOMPARE(dataLines(readFile(dir + "/chiR.dat")), 801);
    delete body->mainWindow();
}

QTEST_MAIN(TstFeff6)
#include "tst_feff6.moc"
