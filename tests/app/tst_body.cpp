#include "chi/chi.h"
#include "gui/droparea.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"
#include "plot/measuredcurves.h"
#include "tests/jobs/queuefixture.h"

#include <QCheckBox>
#include <QLockFile>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSysInfo>
#include <QTextCodec>
#include <QTextEdit>
#include <QTranslator>
#include <QUrl>

namespace {

// Builds the table from the command line's words (argv[0] included).
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

// QApplication forwards drop events only from a real drag in progress, so
// the event goes to the widget's own dispatcher. Returns whether the drop
// was reported as accepted.
bool dropOn(QWidget *area, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    event.accept(); // the handler must decide either way
    event.setDropAction(Qt::IgnoreAction);
    static_cast<QObject *>(area)->event(&event);
    return event.isAccepted() && event.dropAction() == Qt::CopyAction;
}

} // namespace

// Body from its command line and configuration to the settings, and the
// main window with a real Body behind it. For the window's tests MAX_PROC 0
// keeps every job queued, so its rules are seen without programs running.
class TstBody : public QueueFixture
{
    Q_OBJECT
private slots:
    void commandLineKeys_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        auto row = [](const char *line, const char *key, const char *value) {
            QTest::newRow(qPrintable(QString("%1: %2").arg(line, key))) << line << key << value;
        };
        row("prog -c -noGui", "-c", "");
        row("prog -c -noGui", "-noGui", "");
        row("prog -e stray", "-e", "stray");
        row("prog -c a.cfg -c b.cfg", "-c", "a.cfg");
        row("prog -c Ärger日本.cfg", "-c", "Ärger日本.cfg");
    }
    void commandLineKeys()
    {
        QFETCH(QString, line);
        QFETCH(QString, key);
        const ParamTable table = commandLine(line.split(' '));
        QVERIFY(table.hasKey(key));
        QTEST(table.exactValue(key), "value");
    }

    void configFileChoice_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
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
        // Body must make the input folders itself.
        QVERIFY(QDir(work).rmdir("00-Cif") && QDir(work).rmdir("00-Inp"));
        // No config.cfg in the working folder: every default applies.
        QTest::ignoreMessage(QtDebugMsg, "Can't open config file :  \"config.cfg\"");
        body.reset(new Body(commandLine({"scatterdeck", "-noGui"})));
        const Settings &s = body->currentSettings();
        QCOMPARE(body->maxProcesses(), 6);
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
        // A value that does not parse is the default.
        QTest::newRow("K_MAX not a number") << QByteArray("K_MAX abc") << "kMax" << QVariant(20.0);
        QTest::newRow("MAX_PROC word") << QByteArray("max_proc many") << "maxProc" << QVariant(6);
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
        const Settings &s = runBody(config);
        const QMap<QString, QVariant> actual{{"kMax", s.kMax},
                                             {"maxProc", body->maxProcesses()},
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
        // %W: the working folder, so that the absolute value lies where the
        // test may write.
        QTest::newRow("absolute") << QByteArray("\xEF\xBB\xBF"
                                                "CIF_FILES \"%W/absolut\"")
                                  << "/absolut";
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
        const Settings &s = runBody(config.replace("%W", work.toUtf8()));
        QCOMPARE(s.cifDir, work + cifDir);
        QVERIFY2(existsOnDisk(s.cifDir), qPrintable(s.cifDir));
    }
    void environment()
    {
        const QByteArray saved = qgetenv("PATH");
        qputenv("PATH", "/usr/bin:/bin");
        const Settings &s =
            runBody("demeter_base /d/\nPATH_PERL_BIN /d/p\nPATH_PERL_SITE_BIN /d/s\n");
        qputenv("PATH", saved);
        QCOMPARE(s.environment.value("PATH"), QString("/usr/bin:/bin:/d/c/bin:/d/p:/d/s"));
        QCOMPARE(s.environment.value("DEMETER_BASE"), QString("/d/"));
        QCOMPARE(s.environment.value("IFEFFIT_DIR"), QString("/d/c/share/ifeffit"));
    }
    // The window logs a bad value once and goes on with the default.
    void badValueLoggedOnce_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("message");
        QTest::newRow("K_MIN not a number")
            << QByteArray("K_MIN abc") << "K_MIN abc is not a number: 3 is used";
        QTest::newRow("R range reversed")
            << QByteArray("R_MIN 5\nR_MAX 2") << "R_MIN 5 is not below R_MAX 2: 0 to 8 is used";
        QTest::newRow("K_MAX negative")
            << QByteArray("K_MAX -4") << "K_MAX -4 is outside 0 to 30: 20 is used";
        QTest::newRow("R_DELTA above 1")
            << QByteArray("R_DELTA 2")
            << "R_DELTA 2 is not a step above 0 and at most 1: 0.01 is used";
        QTest::newRow("FT_DK of a million")
            << QByteArray("FT_DK 1e6") << "FT_DK 1e6 is not a window sill from 0 to 10: 1 is used";
        QTest::newRow("MAX_PROC word")
            << QByteArray("MAX_PROC many") << "MAX_PROC many is not a whole number: 6 is used";
        QTest::newRow("CLEAR_FEFF_DAT word") << QByteArray("CLEAR_FEFF_DAT yes")
                                             << "CLEAR_FEFF_DAT yes is neither 0 nor 1: 1 is used";
    }
    void badValueLoggedOnce()
    {
        QFETCH(QByteArray, config);
        runBody(config + "\n");
        QFETCH(QString, message);
        QCOMPARE(widget<QTextEdit>("LogMsg")->toPlainText(), message + "\n");
    }
    // The window names the run that holds its results folder, and makes no
    // job that would clash with it.
    void resultsFolderOfAnotherRun()
    {
        QVERIFY(QDir(work).mkpath("00-Res"));
        QLockFile other(work + "/00-Res/.scatterdeck.lock");
        QVERIFY(other.tryLock(0));
        QVERIFY(writeFile(work + "/00-Inp/a.inp", "END\n"));
        runBody("MAX_PROC 0\n");
        const QString held = QString("The results folder %1/00-Res is in use by another run: "
                                     "tst_body, process %2 on %3")
                                 .arg(work)
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QSysInfo::machineHostName());
        QCOMPARE(logLines(), QStringList{held});
        QVERIFY(jobs().isEmpty());
        dropOn(widget<DropArea>("DropCif"), {QUrl::fromLocalFile(work + "/in put/a.cif")});
        QVERIFY(jobs().isEmpty());
        QCOMPARE(logLines().value(1), work + "/in put/a.cif not taken: " + held);
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
        QCOMPARE(runBody("PROC_TIMEOUT " + value + "\n").procTimeout, 0);
        // The message reaches the main window's log pane.
        QCOMPARE(widget<QTextEdit>("LogMsg")->toPlainText(),
                 "PROC_TIMEOUT " + QString::fromLatin1(value) +
                     " is not a number of seconds from 0 to 2000000: no time limit\n");
    }
    // The Demeter context's messages are seen in Japanese in a batch run's log.
    void japaneseTranslationEmbedded()
    {
        QTranslator translator;
        QVERIFY(translator.load(":Scatterdeck_ja_JP"));
        QCOMPARE(translator.translate("SiteGroup", "Site %1 of %2 failed; no average."),
                 QString("%2 のサイト %1 が失敗したため、平均しません。"));
    }
    void measuredCurvesFromCommandLine()
    {
        // Relative names are read from the start-up folder; a file without
        // points is refused in the log and the others are still shown.
        // 13 points from k = 1 to 4, the ten a measured curve needs and more.
        QByteArray measured = "# k chi\n";
        for (int i = 0; i <= 12; ++i)
            measured += QByteArray::number(1 + 0.25 * i) + " 0.5\n";
        QVERIFY(writeFile(work + "/gemessen ö.chi", measured));
        QVERIFY(writeFile(work + "/garbage.chi", "no numbers here\n"));
        runBody("K_MIN 1\nK_MAX 4\nR_MAX 5\nR_DELTA 0.1\n",
                {"-data", "gemessen ö.chi", "-data", "garbage.chi"});
        const MeasuredCurves *curves = body->mainWindow()->plotController()->measuredCurves();
        QCOMPARE(curves->count(), 1);
        const Chi &m = curves->curve(0);
        QCOMPARE(m.sourcePath, work + "/gemessen ö.chi");
        QCOMPARE(m.k.size(), 13);
        // Transformed with the job settings: R from 0 to 5 by 0.1.
        QCOMPARE(m.r.size(), 51);
        QCOMPARE(widget<QTextEdit>("LogMsg")->toPlainText().count("garbage.chi"), 1);
    }

    void dropsBecomeJobs_data()
    {
        QTest::addColumn<QString>("area");
        QTest::addColumn<QStringList>("urls");    // after "file://"; "%W" the working folder
        QTest::addColumn<QStringList>("targets"); // the jobs' input paths
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("logCount");
        const QString w = "%W/in put/";
        QTest::newRow("three files at once")
            << "DropCif" << QStringList{w + "b.cif", w + "a.cif", w + "Ni ö 結晶.cif"}
            << QStringList{w + "b.cif", w + "a.cif", w + "Ni ö 結晶.cif"}
            << int(Demeter::AtomsWaiting) << 0;
        QTest::newRow("FEFF input") << "DropFeff" << QStringList{w + "c.inp"}
                                    << QStringList{w + "c.inp"} << int(Demeter::FeffWaiting) << 0;
        QTest::newRow("Windows drive letter still becomes a job")
            << "DropCif" << QStringList{"/C:/work/a.cif"} << QStringList{"%W/C:/work/a.cif"}
            << int(Demeter::AtomsWaiting) << 0;
        QTest::newRow("network share refused") << "DropCif" << QStringList{"server/share/a.cif"}
                                               << QStringList{} << int(Demeter::AtomsWaiting) << 1;
        QTest::newRow("folder refused, file beside it taken")
            << "DropCif" << QStringList{w + "sub folder", w + "a.cif"} << QStringList{w + "a.cif"}
            << int(Demeter::AtomsWaiting) << 1;
    }
    void dropsBecomeJobs()
    {
        QFETCH(QString, area);
        QFETCH(QStringList, urls);
        QFETCH(QStringList, targets);
        startBody();
        QList<QUrl> list;
        for (const QString &u : urls)
            list << QUrl("file://" + QString(u).replace("%W", work));
        QCOMPARE(dropOn(widget<DropArea>(qPrintable(area)), list), !targets.isEmpty());
        QStringList got;
        for (Demeter *job : jobs()) {
            got << job->ui.TargetName->text();
            QTEST(job->currentStage(), "stage");
        }
        QCOMPARE(got, targets.replaceInStrings("%W", work));
        QTEST(logLines().size(), "logCount");
        QCOMPARE(body->queuedJobs(), targets.size());
    }
    // Every job of the window has a folder of its own, also when inputs share
    // a base name; a deleted job's folder is free again.
    void ownJobFolders()
    {
        startBody();
        addFiles("00-Cif", {"a.cif"});
        const QString w = work + "/in put/";
        dropOn(widget<DropArea>("DropCif"),
               {QUrl::fromLocalFile(w + "a.cif"), QUrl::fromLocalFile(w + "a.cif"),
                QUrl::fromLocalFile(work + "/00-Cif/a.cif")});
        dropOn(widget<DropArea>("DropFeff"), {QUrl::fromLocalFile(w + "c.inp")});
        dropOn(widget<DropArea>("DropCif"), {QUrl::fromLocalFile(w + "c.inp")});
        QStringList folders;
        for (Demeter *job : jobs())
            folders << job->directory().mid(resDir().size() + 1);
        QCOMPARE(folders, (QStringList{"a", "a-2", "a-3", "c", "c-2"}));
        QCOMPARE(logLines().last(), w + "c.inp runs in the folder c-2: c is another job's");
        jobs().at(1)->ui.Delete->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dropOn(widget<DropArea>("DropCif"), {QUrl::fromLocalFile(w + "a.cif")});
        QCOMPARE(jobs().last()->directory(), resDir() + "/a-2");
    }
    // Three files dropped below many panels: the list scrolls to the first
    // new one, and one wheel step scrolls at least one panel row.
    void dropScrollsToFirstNewPanel()
    {
        startBody();
        Gui *gui = body->mainWindow();
        gui->resize(900, 500);
        gui->show();
        QVERIFY(QTest::qWaitForWindowExposed(gui));
        QList<QUrl> urls;
        for (int i = 0; i < 30; ++i) {
            addFiles("in put", {QString("n%1.cif").arg(i)});
            urls << QUrl::fromLocalFile(work + QString("/in put/n%1.cif").arg(i));
        }
        QVERIFY(dropOn(widget<DropArea>("DropCif"), urls));
        QVERIFY(dropOn(widget<DropArea>("DropCif"), urls.mid(0, 3)));
        QCOMPARE(jobs().size(), 33);
        Demeter *first = jobs().at(30);
        auto *area = widget<QScrollArea>("ScrollA1");
        QTRY_VERIFY(area->verticalScrollBar()->value() > 0);
        const int top = first->mapTo(area->viewport(), QPoint(0, 0)).y();
        QVERIFY2(top >= 0 && top + first->ui.frame->height() <= area->viewport()->height(),
                 qPrintable(QString::number(top)));
        QVERIFY(area->verticalScrollBar()->singleStep() >= first->ui.frame->height());
    }
    void resBoxesActLikeRadioButtons()
    {
        // "A<i>" and "F<i>" for the jobs whose Atoms or FEFF result box is checked.
        auto checked = [this] {
            const QList<Demeter *> all = jobs();
            QStringList names;
            for (int i = 0; i < all.size(); ++i) {
                if (all[i]->ui.ShowResAtoms->isChecked())
                    names << QString("A%1").arg(i);
                if (all[i]->ui.ShowResFeff->isChecked())
                    names << QString("F%1").arg(i);
            }
            return names;
        };
        startWithThree();
        QCOMPARE(checked(), QStringList{"F2"});
        dropOn(widget<DropArea>("DropCif"), {QUrl::fromLocalFile(work + "/in put/a.cif")});
        const QList<Demeter *> all = jobs();
        QCOMPARE(all.size(), 4);
        QCOMPARE(checked(), QStringList{"F3"});
        QVERIFY(all[3]->feffPane() && all[3]->feffPane()->isVisibleTo(all[3]));
        QVERIFY(!all[0]->feffPane());

        all[1]->ui.ShowResAtoms->click();
        QCOMPARE(checked(), QStringList{"A1"});
        QVERIFY(all[1]->atomsPane() && all[1]->atomsPane()->isVisibleTo(all[1]));
        QVERIFY(!all[3]->feffPane());
        all[1]->ui.ShowResAtoms->click(); // a checked box stays checked
        QCOMPARE(checked(), QStringList{"A1"});
        all[1]->ui.ShowResFeff->click(); // its own other box takes over
        QCOMPARE(checked(), QStringList{"F1"});
    }
    void show2IsExclusive()
    {
        const QList<Demeter *> all = startWithThree();
        all[0]->ui.Show2->click();
        all[2]->ui.Show2->click();
        QVERIFY(!all[0]->ui.Show2->isChecked());
        QVERIFY(all[2]->ui.Show2->isChecked());
        all[1]->ui.Show->click();
        all[2]->ui.Show2->click(); // unchecking touches nobody
        QVERIFY(!all[2]->ui.Show2->isChecked());
        QVERIFY(all[1]->ui.Show->isChecked());
        QVERIFY(!all[0]->ui.Show2->isChecked() && !all[1]->ui.Show2->isChecked());
    }
    void deleteAll()
    {
        QList<QPointer<Demeter>> watched;
        for (Demeter *job : startWithThree()) {
            job->ui.Show->setChecked(true);
            watched << job;
        }
        widget<QPushButton>("DeleteAll")->click();
        QVERIFY(jobs().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<Demeter> &job : watched)
            QVERIFY(job.isNull());
        // The queue forgot them and the plots no longer draw them.
        QCOMPARE(body->queuedJobs(), 0);
        QVERIFY(!body->mainWindow()->plotController()->chiKView()->grab().isNull());
        QVERIFY(!body->mainWindow()->plotController()->chiRView()->grab().isNull());
    }
    void deleteMiddleJob()
    {
        const QList<Demeter *> all = startWithThree();
        QPointer<Demeter> middle = all[1];
        all[1]->ui.Delete->click();
        QCOMPARE(jobs(), (QList<Demeter *>{all[0], all[2]}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(middle.isNull());
        QCOMPARE(body->queuedJobs(), 2);
    }
    void oneLogLinePerMessage()
    {
        startBody();
        // A FEFF input that is gone when the job loads it: one message.
        const QString gone = work + "/in put/gone.inp";
        dropOn(widget<DropArea>("DropFeff"), {QUrl::fromLocalFile(gone)});
        QCOMPARE(jobs().size(), 1);
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.at(0).contains(gone), qPrintable(lines.at(0)));
        QVERIFY(widget<QTextEdit>("LogMsg")->toPlainText().endsWith('\n'));
    }

private:
    void setUp() override
    {
        QVERIFY(QDir().mkpath(work + "/in put/sub folder"));
        addFiles("in put", {"a.cif", "b.cif", "c.inp", "Ni ö 結晶.cif"}, "data_x\n");
    }
    void startBody() { QueueFixture::startBody("0", "atoms", "feff"); }
    // Body on this configuration alone, with these further arguments.
    const Settings &runBody(const QByteArray &config, const QStringList &args = {})
    {
        if (!writeFile(work + "/test.cfg", config))
            qFatal("cannot write config");
        body.reset(); // the old one holds the results folder until it goes
        body.reset(
            new Body(commandLine(QStringList{"scatterdeck", "-noGui", "-c", "test.cfg"} + args)));
        return body->currentSettings();
    }
    template <class T> T *widget(const char *name) const
    {
        return body->mainWindow()->findChild<T *>(QLatin1String(name));
    }
    QStringList logLines() const
    {
        return widget<QTextEdit>("LogMsg")->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    QList<Demeter *> startWithThree()
    {
        startBody();
        QList<QUrl> urls;
        for (const char *name : {"a.cif", "b.cif", "Ni ö 結晶.cif"})
            urls << QUrl::fromLocalFile(work + "/in put/" + QString::fromUtf8(name));
        dropOn(widget<DropArea>("DropCif"), urls);
        return jobs();
    }
};

QTEST_MAIN(TstBody)
#include "tst_body.moc"
