#include "plot/chiview.h"

#include <QCheckBox>
#include <QLabel>
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
    void initialState()
    {
        ChiView v;
        QVERIFY(v.rescale);
        QVERIFY(v.pathBoxes().isEmpty());
        auto on = [&v](const char *n) { return v.findChild<QAbstractButton *>(n)->isChecked(); };
        QCOMPARE(Flags({on("SelAbs"), on("SelReal"), on("SelImag")}), Flags({true, false, false}));
    }

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
        QTest::newRow("2, 0, 1: row back") << Counts{2, 0, 1} << Flags{1, 0} << Flags{1, 1} << true;
        QTest::newRow("3, 2, Clr., 3: hidden boxes cleared too")
            << Counts{3, 2, clear, 3} << Flags{1, 1, 1} << Flags{1, 0, 0} << true;
    }
    void setChips()
    {
        QFETCH(Counts, calls);
        QFETCH(Flags, shown);
        QFETCH(Flags, states);
        QFETCH(bool, rowShown);
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
        QCOMPARE(checked(v), states);
        QCOMPARE(!v.findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden(), rowShown);
        QCOMPARE(v.pathLabels().size(), shown.size());
        for (int j = 0; j < shown.size(); ++j) {
            QCOMPARE(v.pathLabels()[j]->text(), QString::number(j + 1));
            QCOMPARE(!v.pathLabels()[j]->isHidden(), shown[j]);
            QCOMPARE(!v.pathBoxes()[j]->isHidden(), shown[j]);
        }
    }
};

QTEST_MAIN(TstChiView)
#include "tst_chiview.moc"
