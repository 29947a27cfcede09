#include "plot/chiview.h"

#include <QCheckBox>
#include <QLabel>
#include <QtTest>

using Flags = QVector<bool>;
using Counts = QVector<int>;

namespace {

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

    // After the first call the user checks the last box offered.
    void setChips_data()
    {
        QTest::addColumn<Counts>("calls");
        QTest::addColumn<Flags>("shown");
        QTest::addColumn<Flags>("states");
        QTest::addColumn<bool>("rowShown");
        QTest::newRow("3: the first box starts checked")
            << Counts{3} << Flags{1, 1, 1} << Flags{1, 0, 1} << true;
        QTest::newRow("3, 2: the third is hidden")
            << Counts{3, 2} << Flags{1, 1, 0} << Flags{1, 0, 1} << true;
        QTest::newRow("3, 2, 3: the third is back as it was")
            << Counts{3, 2, 3} << Flags{1, 1, 1} << Flags{1, 0, 1} << true;
        QTest::newRow("3, 5: new boxes unchecked")
            << Counts{3, 5} << Flags{1, 1, 1, 1, 1} << Flags{1, 0, 1, 0, 0} << true;
        QTest::newRow("2, 0: row hidden, states kept")
            << Counts{2, 0} << Flags{1, 1} << Flags{1, 1} << false;
        QTest::newRow("2, -1: row hidden") << Counts{2, -1} << Flags{1, 1} << Flags{1, 1} << false;
        QTest::newRow("2, 0, 1: row back") << Counts{2, 0, 1} << Flags{1, 0} << Flags{1, 1} << true;
    }
    void setChips()
    {
        QFETCH(Counts, calls);
        QFETCH(Flags, shown);
        QFETCH(Flags, states);
        QFETCH(bool, rowShown);
        ChiView v;
        for (int i = 0; i < calls.size(); ++i) {
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

    void clearKeepsFirstPath_data()
    {
        QTest::addColumn<Flags>("before");
        QTest::addColumn<Flags>("after");
        QTest::newRow("three checked") << Flags{1, 1, 1} << Flags{1, 0, 0};
        QTest::newRow("first unchecked stays") << Flags{0, 1, 1} << Flags{0, 0, 0};
        QTest::newRow("only one box") << Flags{1} << Flags{1};
        QTest::newRow("no boxes") << Flags{} << Flags{};
    }
    void clearKeepsFirstPath()
    {
        QFETCH(Flags, before);
        QFETCH(Flags, after);
        ChiView v;
        v.setChips(before.size());
        for (int j = 0; j < before.size(); ++j)
            v.pathBoxes()[j]->setChecked(before[j]);
        QTest::mouseClick(v.findChild<QPushButton *>(QStringLiteral("ClrAllPaths")),
                          Qt::LeftButton);
        QCOMPARE(checked(v), after);
    }

    // Each control repaints the plot; only "Reset Scale" asks for a rescale.
    void controlsRepaint_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *n : {"kW0", "kW3", "SelReal", "SelImag", "SelAbs", "ResetScale", "path"})
            QTest::newRow(n) << QString(n);
    }
    void controlsRepaint()
    {
        QFETCH(QString, control);
        ChiView v;
        v.setChips(2);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        int draws = 0;
        connect(&v, &ChiView::draw, this, [&](QPainter *) { ++draws; });
        QCoreApplication::processEvents();
        draws = 0;
        v.rescale = false;
        QAbstractButton *b = control == QLatin1String("path")
                                 ? v.pathBoxes()[1]
                                 : v.findChild<QAbstractButton *>(control);
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
        QTRY_VERIFY(draws > 0);
        QCOMPARE(v.rescale, control == QLatin1String("ResetScale"));
    }
};

QTEST_MAIN(TstChiView)
#include "tst_chiview.moc"
