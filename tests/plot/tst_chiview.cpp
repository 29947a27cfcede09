#include "plot/chiview.h"
#include "plot/pathtip.h"

#include <QScrollBar>
#include <QtTest>

using Flags = QVector<bool>;
using Counts = QVector<int>;

namespace {

constexpr int clear = -1000;

Flags checked(const ChiView &v)
{
    Flags s;
    for (const QCheckBox *b : v.pathBoxes())
        s << b->isChecked();
    return s;
}

} // namespace

class TstChiView : public QObject
{
    Q_OBJECT
private slots:
    // calls: setChips(n), or clear for a click on "Clr."; after the first
    // call the user checks the last box offered.
    void setChips_data()
    {
        QTest::addColumn<Counts>("calls");
        QTest::addColumn<Flags>("shown");
        QTest::addColumn<Flags>("states");
        QTest::addColumn<bool>("rowShown");
        QTest::newRow("3, Clr.: all but the first unchecked")
            << Counts{3, clear} << Flags{1, 1, 1} << Flags{1, 0, 0} << true;
        QTest::newRow("3, 2: the third is hidden")
            << Counts{3, 2} << Flags{1, 1, 0} << Flags{1, 0, 1} << true;
        QTest::newRow("3, 5: new boxes unchecked")
            << Counts{3, 5} << Flags{1, 1, 1, 1, 1} << Flags{1, 0, 1, 0, 0} << true;
        QTest::newRow("2, 0: row hidden, states kept")
            << Counts{2, 0} << Flags{1, 1} << Flags{1, 1} << false;
        QTest::newRow("3, 2, Clr., 3: hidden boxes cleared too")
            << Counts{3, 2, clear, 3} << Flags{1, 1, 1} << Flags{1, 0, 0} << true;
    }
    void setChips()
    {
        QFETCH(Counts, calls);
        QFETCH(Flags, shown);
        ChiView v;
        for (int i = 0; i < calls.size(); ++i) {
            if (calls[i] == clear)
                QTest::mouseClick(v.findChild<QPushButton *>(QStringLiteral("ClrAllPaths")),
                                  Qt::LeftButton);
            else
                v.setChips(calls[i]);
            if (i == 0)
                v.pathBoxes().last()->setChecked(true);
        }
        QTEST(checked(v), "states");
        QTEST(!v.findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden(), "rowShown");
        QCOMPARE(v.pathLabels().size(), shown.size());
        for (int j = 0; j < shown.size(); ++j) {
            QCOMPARE(v.pathLabels()[j]->text(), QString::number(j + 1));
            QCOMPARE(!v.pathLabels()[j]->isHidden(), shown[j]);
            QCOMPARE(!v.pathBoxes()[j]->isHidden(), shown[j]);
        }
    }

    // However many paths, the window keeps its size: the row scrolls, and
    // every box can be scrolled into view without being cut.
    void pathRowScrolls_data()
    {
        QTest::addColumn<int>("paths");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("3 paths fit") << 3 << false;
        QTest::newRow("300 paths scroll") << 300 << true;
    }
    void pathRowScrolls()
    {
        QFETCH(int, paths);
        ChiView v;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QSize before = v.size();
        v.setChips(paths);
        QCoreApplication::processEvents();
        QCOMPARE(v.size(), before);
        QVERIFY(v.minimumSizeHint().width() <= before.width());
        auto *area = v.findChild<QScrollArea *>(QStringLiteral("PathScroll"));
        QTEST(area->horizontalScrollBar()->maximum() > 0, "scrolls");
        QCheckBox *last = v.pathBoxes().last();
        area->ensureWidgetVisible(last);
        const QRect inView(last->mapTo(area->viewport(), QPoint(0, 0)), last->size());
        QVERIFY2(area->viewport()->rect().contains(inView),
                 qPrintable(QString::number(inView.y())));
        QCOMPARE(v.pathLabels().last()->text(), QString::number(paths));
    }

    void pathTipTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("route");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<QString>("tip");
        QTest::newRow("everything known")
            << 23 << QStringList{"Ca", "O", "Si"} << 45.24
            << "path 23 · Ca–O–Si · reff 3.521 Å · N 8 · 3 legs · 45.2 %";
        QTest::newRow("no number: no tip") << 0 << QStringList{"Ca", "O"} << 45.0 << "";
    }
    void pathTipTexts()
    {
        QFETCH(int, number);
        QFETCH(QStringList, route);
        QFETCH(double, amplitude);
        QFETCH(QString, tip);
        // file, number, reff, degeneracy, legs, amplitude, route
        const PathIdentity id{QString(), number, 3.5205, 8, 3, amplitude, route};
        QCOMPARE(PathTip::text(id), tip);
        ChiView v;
        v.setChips(3);
        v.setPathTips({QString(), tip});
        QCOMPARE(v.pathBoxes()[1]->toolTip(), tip);
        QCOMPARE(v.pathLabels()[1]->toolTip(), tip);
        QCOMPARE(v.pathBoxes()[2]->toolTip(), QString());
    }
};

QTEST_MAIN(TstChiView)
#include "tst_chiview.moc"
