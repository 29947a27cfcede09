#include "app/settings.h"
#include "gui/gui.h"
#include "jobs/demeter.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"

#include <QCheckBox>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

// The width a widget's style leaves for its text at the widget's present
// size, measured as the widget paints it.
int textRoom(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
        const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        return r.width() - e->textMargins().left() - e->textMargins().right() - 2 * 2;
    }
    auto *b = qobject_cast<QAbstractButton *>(w);
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool box = qobject_cast<QCheckBox *>(w) != nullptr;
    return b->style()
        ->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &opt, b)
        .width();
}

} // namespace

// Every fixed-size widget of a job panel, laid out in the main window at its
// initial size, holds its text in full, in English and in Japanese, for every
// status the fields can show.
class TstPanelWidths : public QObject
{
    Q_OBJECT
private slots:
    void textsFit_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::newRow("English") << false;
        QTest::newRow("Japanese") << true;
    }
    void textsFit()
    {
        QFETCH(bool, japanese);
        QTranslator translator;
        if (japanese) {
            QVERIFY(translator.load(QStringLiteral(":/Scatterdeck_ja_JP.qm")));
            QVERIFY(QCoreApplication::installTranslator(&translator));
        }
        QTemporaryDir dir;
        Settings s;
        s.resDir = dir.filePath(QStringLiteral("res"));
        Gui gui;
        auto *job = new Demeter(s, QFileInfo(dir.filePath(QStringLiteral("job.inp"))), 6);
        gui.addDemeter(job);
        // The plot windows outlive the main window: they must forget the job.
        const auto forget = qScopeGuard([&gui] {
            QMetaObject::invokeMethod(&gui, "deleteAll");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        gui.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gui));
        QCoreApplication::processEvents();
        QCOMPARE(job->ui.Delete->text(),
                 japanese ? QStringLiteral("削除") : QStringLiteral("Del."));

        QVector<QPair<QWidget *, QString>> shown;
        for (const QString state : {"Starting", "Running", "Finished", "Not Running"}) {
            shown.push_back({job->ui.AtomsStat,
                             QCoreApplication::translate("Demeter", qPrintable("A. " + state))});
            shown.push_back({job->ui.FeffStat,
                             QCoreApplication::translate("Demeter", qPrintable("F. " + state))});
        }
        for (QAbstractButton *b : job->findChildren<QAbstractButton *>())
            shown.push_back({b, b->text()});
        // The plot windows' cursor read-outs, with a number as long as they
        // show in the crowded chi(R) row.
        for (ChiView *v : {gui.plotController()->chiKView(), gui.plotController()->chiRView()}) {
            QVERIFY(QTest::qWaitForWindowExposed(v));
            for (const char *name : {"PosX", "PosY"})
                shown.push_back({v->findChild<QLineEdit *>(name), QStringLiteral("-0.0790658")});
        }
        for (const auto &item : shown) {
            const int need = item.first->fontMetrics().horizontalAdvance(item.second);
            QVERIFY2(need <= textRoom(item.first),
                     qPrintable(QStringLiteral("%1 \"%2\": text %3 px, room %4 px")
                                    .arg(item.first->objectName(), item.second)
                                    .arg(need)
                                    .arg(textRoom(item.first))));
        }
        // The form's sizes stay the smallest ones.
        for (const QWidget *w : QWidgetList{job->ui.Delete, job->ui.ColorSel, job->ui.ColorDisp})
            QVERIFY2(w->width() >= 30, qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TstPanelWidths)
#include "tst_panelwidths.moc"
