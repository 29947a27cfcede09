#include "plot/chiview.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

template <typename T> T *child(const ChiView &v, const char *name)
{
    T *w = v.findChild<T *>(QLatin1String(name));
    if (!w)
        qWarning("missing widget %s", name);
    return w;
}

QVector<bool> states(const ChiView &v)
{
    QVector<bool> s;
    for (const QCheckBox *b : v.pathBoxes())
        s << b->isChecked();
    return s;
}

QVector<bool> shown(const ChiView &v)
{
    QVector<bool> s;
    for (const QCheckBox *b : v.pathBoxes())
        s << !b->isHidden();
    return s;
}

} // namespace

class TstChiView : public QObject
{
    Q_OBJECT
private slots:
    void formLayout_data();
    void formLayout();
    void initialState();
    void setChipsCreatesHidesAndKeepsStates();
    void setChipsZeroHidesPathRow();
    void clearKeepsFirstPath_data();
    void clearKeepsFirstPath();
    void controlsRepaint_data();
    void controlsRepaint();
    void resetScaleSetsFlag();
};

void TstChiView::formLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("DispChi") << "DispChi"
                             << "gridLayout" << 0 << 0;
    QTest::newRow("frame") << "frame"
                           << "gridLayout" << 1 << 0;
    QTest::newRow("PathSelect") << "PathSelect"
                                << "gridLayout" << 2 << 0;
    const QStringList row1 = {
        "AxName", "PosX", "label_2", "PosY", "label_3",           "kW0",
        "kW1",    "kW2",  "kW3",     "",     "ComplexLineSelect", "ResetScale"};
    for (int c = 0; c < row1.size(); ++c)
        if (!row1[c].isEmpty())
            QTest::newRow(qPrintable(row1[c])) << row1[c] << "gridLayout_2" << 0 << c;
    QTest::newRow("SelAbs") << "SelAbs"
                            << "gridLayout_3" << 0 << 0;
    QTest::newRow("SelReal") << "SelReal"
                             << "gridLayout_3" << 0 << 1;
    QTest::newRow("SelImag") << "SelImag"
                             << "gridLayout_3" << 0 << 2;
    QTest::newRow("label") << "label"
                           << "gridLayout_4" << 0 << 1;
    QTest::newRow("ClrAllPaths") << "ClrAllPaths"
                                 << "gridLayout_4" << 1 << 1;
}

void TstChiView::formLayout()
{
    QFETCH(QString, name);
    QFETCH(QString, layout);
    QFETCH(int, row);
    QFETCH(int, column);
    ChiView v;
    auto *w = v.findChild<QWidget *>(name);
    auto *grid = v.findChild<QGridLayout *>(layout);
    QVERIFY(w);
    QVERIFY(grid);
    const int index = grid->indexOf(w);
    QVERIFY2(index >= 0, "widget is not in that layout");
    int r, c, rs, cs;
    grid->getItemPosition(index, &r, &c, &rs, &cs);
    QCOMPARE(r, row);
    QCOMPARE(c, column);
    QCOMPARE(grid->spacing(), 3);
    const int margin = layout == QLatin1String("gridLayout") ? 3 : 0;
    QCOMPARE(grid->contentsMargins(), QMargins(margin, margin, margin, margin));
}

void TstChiView::initialState()
{
    ChiView v;
    QCOMPARE(v.objectName(), QStringLiteral("ChiView"));
    QCOMPARE(v.size(), QSize(746, 478));
    QCOMPARE(v.windowTitle(), QStringLiteral("Chi View"));
    QVERIFY(v.rescale);
    QVERIFY(v.pathBoxes().isEmpty());
    QVERIFY(child<QCheckBox>(v, "SelAbs")->isChecked());
    QVERIFY(!child<QCheckBox>(v, "SelReal")->isChecked());
    QVERIFY(!child<QCheckBox>(v, "SelImag")->isChecked());
    for (const char *n : {"kW0", "kW1", "kW2", "kW3"})
        QVERIFY(!child<QRadioButton>(v, n)->isChecked());
    QVERIFY(child<QLineEdit>(v, "PosX")->isReadOnly());
    // The k-weight buttons are exclusive.
    child<QRadioButton>(v, "kW2")->setChecked(true);
    child<QRadioButton>(v, "kW3")->setChecked(true);
    QVERIFY(!child<QRadioButton>(v, "kW2")->isChecked());
}

void TstChiView::setChipsCreatesHidesAndKeepsStates()
{
    ChiView v;
    auto *grid = v.findChild<QGridLayout *>(QStringLiteral("gridLayout_4"));
    v.setChips(3);
    QCOMPARE(v.pathBoxes().size(), 3);
    QCOMPARE(v.pathLabels().size(), 3);
    for (int j = 0; j < 3; ++j) {
        QCOMPARE(v.pathLabels()[j]->text(), QString::number(j + 1));
        int r, c, rs, cs;
        grid->getItemPosition(grid->indexOf(v.pathLabels()[j]), &r, &c, &rs, &cs);
        QCOMPARE(QPoint(c, r), QPoint(j + 2, 0));
        grid->getItemPosition(grid->indexOf(v.pathBoxes()[j]), &r, &c, &rs, &cs);
        QCOMPARE(QPoint(c, r), QPoint(j + 2, 1));
    }
    QCOMPARE(states(v), QVector<bool>({true, false, false}));
    v.pathBoxes()[2]->setChecked(true);

    QCheckBox *third = v.pathBoxes()[2];
    v.setChips(2);
    QCOMPARE(v.pathBoxes().size(), 3);
    QCOMPARE(shown(v), QVector<bool>({true, true, false}));
    QVERIFY(v.pathLabels()[2]->isHidden());

    v.setChips(3);
    QCOMPARE(v.pathBoxes()[2], third);
    QCOMPARE(shown(v), QVector<bool>({true, true, true}));
    QCOMPARE(states(v), QVector<bool>({true, false, true}));

    v.setChips(5); // growing again: only the new first box would be checked
    QCOMPARE(states(v), QVector<bool>({true, false, true, false, false}));
}

void TstChiView::setChipsZeroHidesPathRow()
{
    ChiView v;
    v.setChips(2);
    auto *row = v.findChild<QFrame *>(QStringLiteral("PathSelect"));
    QVERIFY(!row->isHidden());
    v.pathBoxes()[1]->setChecked(true);
    v.setChips(0);
    QVERIFY(row->isHidden());
    QCOMPARE(states(v), QVector<bool>({true, true}));
    v.setChips(-1);
    QVERIFY(row->isHidden());
    v.setChips(1);
    QVERIFY(!row->isHidden());
}

void TstChiView::clearKeepsFirstPath_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<bool>>("before");
    QTest::addColumn<QVector<bool>>("after");
    QTest::newRow("three checked")
        << 3 << QVector<bool>{true, true, true} << QVector<bool>{true, false, false};
    QTest::newRow("first unchecked stays")
        << 3 << QVector<bool>{false, true, true} << QVector<bool>{false, false, false};
    QTest::newRow("only one box") << 1 << QVector<bool>{true} << QVector<bool>{true};
    QTest::newRow("no boxes") << 0 << QVector<bool>{} << QVector<bool>{};
}

void TstChiView::clearKeepsFirstPath()
{
    QFETCH(int, count);
    QFETCH(QVector<bool>, before);
    QFETCH(QVector<bool>, after);
    ChiView v;
    v.setChips(count);
    for (int j = 0; j < count; ++j)
        v.pathBoxes()[j]->setChecked(before[j]);
    QTest::mouseClick(child<QPushButton>(v, "ClrAllPaths"), Qt::LeftButton);
    QCOMPARE(states(v), after);
}

void TstChiView::controlsRepaint_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("k weight 0") << "kW0";
    QTest::newRow("k weight 3") << "kW3";
    QTest::newRow("Real") << "SelReal";
    QTest::newRow("Imag.") << "SelImag";
    QTest::newRow("Abs.") << "SelAbs";
    QTest::newRow("Reset Scale") << "ResetScale";
    QTest::newRow("path box") << "path";
}

void TstChiView::controlsRepaint()
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
    QAbstractButton *b = control == QLatin1String("path") ? v.pathBoxes()[1]
                                                          : v.findChild<QAbstractButton *>(control);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
    QTRY_VERIFY(draws > 0);
}

void TstChiView::resetScaleSetsFlag()
{
    ChiView v;
    v.rescale = false;
    QTest::mouseClick(child<QPushButton>(v, "ResetScale"), Qt::LeftButton);
    QVERIFY(v.rescale);
}

QTEST_MAIN(TstChiView)
#include "tst_chiview.moc"
