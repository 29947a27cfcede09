#include "gui/droparea.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"
#include "tests/jobs/queuefixture.h"

#include <QCheckBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>

namespace {

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

// The main window with a real Body behind it. MAX_PROC 0 keeps every job
// queued, so the window's rules are seen without programs running. Each
// test works in a folder whose name holds a blank, an accented and Japanese
// letters.
class TstGui : public QueueFixture
{
    Q_OBJECT
private slots:
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
        const bool accepted = dropOn(widget<DropArea>(qPrintable(area)), list);

        QCOMPARE(accepted, !targets.isEmpty());
        QStringList got;
        for (Demeter *job : jobs()) {
            got << job->ui.TargetName->text();
            QTEST(job->currentStage(), "stage");
        }
        QCOMPARE(got, targets.replaceInStrings("%W", work));
        QTEST(logLines().size(), "logCount");
        QCOMPARE(body->queuedJobs(), targets.size());
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
        startBody();
        dropOn(widget<DropArea>("DropCif"), {QUrl::fromLocalFile(work + "/in put/a.cif")});
        QCOMPARE(checked(), QStringList{"F0"});

        const QList<Demeter *> all = dropThree();
        QCOMPARE(all.size(), 4);
        QCOMPARE(checked(), QStringList{"F3"});
        QVERIFY(all[3]->ui.ResFeff->isVisibleTo(all[3]));
        QVERIFY(!all[0]->ui.ResFeff->isVisibleTo(all[0]));

        all[1]->ui.ShowResAtoms->click();
        QCOMPARE(checked(), QStringList{"A1"});
        QVERIFY(all[1]->ui.ResAtoms->isVisibleTo(all[1]));
        QVERIFY(!all[3]->ui.ResFeff->isVisibleTo(all[3]));
        all[1]->ui.ShowResAtoms->click(); // a checked box stays checked
        QCOMPARE(checked(), QStringList{"A1"});
        all[1]->ui.ShowResFeff->click(); // its own other box takes over
        QCOMPARE(checked(), QStringList{"F1"});
    }
    void show2IsExclusive()
    {
        startBody();
        const QList<Demeter *> all = dropThree();
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
        startBody();
        QList<QPointer<Demeter>> watched;
        for (Demeter *job : dropThree()) {
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
        startBody();
        const QList<Demeter *> all = dropThree();
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
    // MAX_PROC 0: every job stays queued.
    void startBody() { QueueFixture::startBody("0", "atoms", "feff"); }
    template <class T> T *widget(const char *name) const
    {
        return body->mainWindow()->findChild<T *>(QLatin1String(name));
    }
    QStringList logLines() const
    {
        return widget<QTextEdit>("LogMsg")->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    QList<Demeter *> dropThree()
    {
        QList<QUrl> urls;
        for (const char *name : {"a.cif", "b.cif", "Ni ö 結晶.cif"})
            urls << QUrl::fromLocalFile(work + "/in put/" + QString::fromUtf8(name));
        dropOn(widget<DropArea>("DropCif"), urls);
        return jobs();
    }
};

QTEST_MAIN(TstGui)
#include "tst_gui.moc"
