#include "app/body.h"
#include "chi/chi.h"
#include "gui/gui.h"
#include "plot/chiviewctrl.h"
#include "plot/measuredcurves.h"
#include "tests/testfiles.h"

#include <QTextCodec>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>

namespace {

ParamTable commandLine(const QStringList &words)
{
    QList<QByteArray> bytes;
    std::vector<const char *> argv;
    for (const QString &w : words) {
        bytes << w.toUtf8();
        argv.push_back(bytes.last().constData());
    }
    return ParamTable(int(argv.size()), argv.data());
}

} // namespace

// Every test runs Body in a fresh working folder whose name holds a blank,
// an accented and Japanese letters.
class TstBody : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        workFolder.reset(new WorkFolder(QStringLiteral("Arbeit ö 作業"), true));
        QVERIFY(workFolder->isValid());
        work = workFolder->path();
    }
    void cleanup() { workFolder.reset(); }
    void configFileChoice_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList{"p"} << "config.cfg";
        QTest::newRow("-c wins over -config")
            << QStringList{"p", "-c", "a.cfg", "-config", "b.cfg"} << "a.cfg";
        QTest::newRow("empty -c falls to -config")
            << QStringList{"p", "-c", "-config", "b.cfg"} << "b.cfg";
    }
    void configFileChoice()
    {
        QFETCH(QStringList, args);
        QTEST(Body::configFileName(commandLine(args)), "file");
    }
    void defaults()
    {
        // No config.cfg in the working folder: every default applies.
        QTest::ignoreMessage(QtDebugMsg, "Can't open config file :  \"config.cfg\"");
        Body body(commandLine({"scatterdeck", "-noGui"}));
        const Settings &s = body.currentSettings();
        QCOMPARE(body.maxProcesses(), 6);
        // k from 3 to 20, R from 0 to 8 by 0.01.
        QCOMPARE((QVector<double>{s.kMin, s.kMax, s.rMin, s.rMax, s.rDelta}),
                 (QVector<double>{3, 20, 0, 8, 0.01}));
        QVERIFY(s.clearFeffDat && s.clearChiDat);
        QCOMPARE(s.atomsExe, QString("C:/DemeterPerl/perl/bin/perl.exe"));
        QCOMPARE(s.atomsArgs, QStringList({"-S", "datoms"}));
        QCOMPARE(s.feffExe, QString("C:/DemeterPerl/c/bin/feff6.exe"));
        QVERIFY(s.feffArgs.isEmpty() && s.feffInps.isEmpty());
        const QStringList dirs{s.cifDir, s.inpDir, s.resDir};
        QCOMPARE(dirs, (QStringList{work + "/00-Cif", work + "/00-Inp", work + "/00-Res"}));
        for (const QString &d : dirs)
            QVERIFY2(existsOnDisk(d), qPrintable(d));
    }
    void derivedValues_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("K_MAX not a number") << QByteArray("K_MAX abc") << "kMax" << QVariant(0.0);
        QTest::newRow("MAX_PROC word") << QByteArray("max_proc many") << "maxProc" << QVariant(0);
        QTest::newRow("CLEAR_CHI_DAT 0")
            << QByteArray("CLEAR_CHI_DAT 0") << "clearChi" << QVariant(false);
        QTest::newRow("ATOMS_ARG quoted") << QByteArray("ATOMS_ARG \"  -S    datoms \"")
                                          << "atomsArgs" << QVariant(QStringList{"-S", "datoms"});
        QTest::newRow("atoms exe from perl dir")
            << QByteArray("demeter_base /opt/dem/\nPATH_PERL_BIN /usr/bin/") << "atomsExe"
            << QVariant("/usr/bin/perl.exe");
        QTest::newRow("FEFF_EXE exact")
            << QByteArray("FEFF_EXE /usr/bin/feff6") << "feffExe" << QVariant("/usr/bin/feff6");
        QTest::newRow("PROC_TIMEOUT fraction")
            << QByteArray("PROC_TIMEOUT 2.5 # s") << "procTimeout" << QVariant(2500);
        QTest::newRow("PROC_TIMEOUT below a millisecond")
            << QByteArray("PROC_TIMEOUT 0.0001") << "procTimeout" << QVariant(1);
    }
    void derivedValues()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, field);
        int maxProc = -99;
        const Settings s = runBody(config, &maxProc);
        const QMap<QString, QVariant> actual{{"kMax", s.kMax},
                                             {"maxProc", maxProc},
                                             {"clearChi", s.clearChiDat},
                                             {"atomsArgs", s.atomsArgs},
                                             {"atomsExe", s.atomsExe},
                                             {"feffExe", s.feffExe},
                                             {"procTimeout", s.procTimeout}};
        QVERIFY(actual.contains(field));
        QTEST(actual.value(field), "expected");
    }
    // A config file is Shift-JIS unless a mark says UTF-8; the folder is made
    // on disk in the platform's own encoding.
    void directories_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("cifDir"); // in the working folder
        QTest::newRow("bare name") << QByteArray("CIF_FILES cifs") << "/cifs";
        QTest::newRow("UTF-8 with mark, blank and non-ASCII")
            << QByteArray("\xEF\xBB\xBF"
                          "CIF_FILES \"Eingabe ö/結晶 データ\"")
            << "/Eingabe ö/結晶 データ";
        QTest::newRow("Shift-JIS, Japanese")
            << QTextCodec::codecForName("Shift-JIS")->fromUnicode("CIF_FILES \"結果 フォルダ\"")
            << "/結果 フォルダ";
    }
    void directories()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, cifDir);
        const Settings s = runBody(config);
        QCOMPARE(s.cifDir, work + cifDir);
        QVERIFY2(existsOnDisk(s.cifDir), qPrintable(s.cifDir));
    }
    void environment()
    {
        const QByteArray saved = qgetenv("PATH");
        qputenv("PATH", "/usr/bin:/bin");
        const Settings s =
            runBody("demeter_base /d/\nPATH_PERL_BIN /d/p\nPATH_PERL_SITE_BIN /d/s\n");
        qputenv("PATH", saved);
        QCOMPARE(s.environment.value("PATH"), QString("/usr/bin:/bin:/d/c/bin:/d/p:/d/s"));
        QCOMPARE(s.environment.value("DEMETER_BASE"), QString("/d/"));
        QCOMPARE(s.environment.value("IFEFFIT_DIR"), QString("/d/c/share/ifeffit"));
    }
    void unusableTimeLimit_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("word") << QByteArray("soon");
        QTest::newRow("no value") << QByteArray();
        QTest::newRow("above the largest") << QByteArray("2000000.5");
    }
    void unusableTimeLimit()
    {
        QFETCH(QByteArray, value);
        QString log;
        QCOMPARE(runBody("PROC_TIMEOUT " + value + "\n", nullptr, &log).procTimeout, 0);
        // The message reaches the main window's log pane.
        QCOMPARE(log, "PROC_TIMEOUT " + QString::fromLatin1(value) +
                          " is not a number of seconds from 0 to 2000000: no time limit\n");
    }
    void japaneseTranslationEmbedded_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("japanese");
        QTest::newRow("time limit") << "Demeter"
                                    << "%1 reached the time limit of %2 s and was stopped: %3"
                                    << "%1 が制限時間 %2 秒に達したため停止しました: %3";
        QTest::newRow("site failed") << "SiteGroup"
                                     << "Site %1 of %2 failed; no average."
                                     << "%2 のサイト %1 が失敗したため、平均しません。";
    }
    void japaneseTranslationEmbedded()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QTranslator translator;
        QVERIFY(translator.load(":Scatterdeck_ja_JP"));
        QTEST(translator.translate(qPrintable(context), qPrintable(source)), "japanese");
    }
    void measuredCurvesFromCommandLine()
    {
        // Relative names are read from the start-up folder; a file without
        // points is refused in the log and the others are still shown.
        QVERIFY(writeFile(work + "/test.cfg", "K_MIN 1\nK_MAX 4\nR_MAX 5\nR_DELTA 0.1\n"));
        QVERIFY(writeFile(work + "/gemessen ö.chi", "# k chi\n1 0.5\n2 0.25\n3 0.125\n"));
        QVERIFY(writeFile(work + "/garbage.chi", "no numbers here\n"));
        Body body(commandLine({"scatterdeck", "-noGui", "-c", "test.cfg", "-data", "gemessen ö.chi",
                               "-data", "garbage.chi"}));
        const MeasuredCurves *curves = body.mainWindow()->plotController()->measuredCurves();
        QCOMPARE(curves->count(), 1);
        const Chi &m = curves->curve(0);
        QCOMPARE(m.sourcePath, work + "/gemessen ö.chi");
        QCOMPARE(m.k.size(), 3);
        // Transformed with the job settings: R from 0 to 5 by 0.1.
        QCOMPARE(m.r.size(), 51);
        const QString log = body.mainWindow()->findChild<QTextEdit *>("LogMsg")->toPlainText();
        QCOMPARE(log.count(QStringLiteral("garbage.chi")), 1);
        delete body.mainWindow();
    }

private:
    Settings runBody(const QByteArray &config, int *maxProc = nullptr, QString *log = nullptr)
    {
        if (!writeFile(work + "/test.cfg", config))
            qFatal("cannot write config");
        Body body(commandLine({"scatterdeck", "-noGui", "-c", "test.cfg"}));
        if (maxProc)
            *maxProc = body.maxProcesses();
        if (log)
            *log = body.mainWindow()->findChild<QTextEdit *>("LogMsg")->toPlainText();
        return body.currentSettings();
    }
    QScopedPointer<WorkFolder> workFolder;
    QString work;
};

QTEST_MAIN(TstBody)
#include "tst_body.moc"
