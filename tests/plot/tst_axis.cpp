#include "plot/axis.h"

#include <QtTest>

#include <limits>

using Ticks = QVector<double>;

namespace {

constexpr double qnan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

// Expected tick values come from a short independent script that follows the
// 1-2-5 rule and accumulates with IEEE doubles, printed to 17 digits; they are
// compared exactly, so the accumulated rounding shows too.
class TstAxis : public QObject
{
    Q_OBJECT
private slots:
    void ticks_data();
    void ticks();
    void noTicks_data();
    void noTicks();
    void axisNumber_data();
    void axisNumber();
    void decade_data();
    void decade();
};

void TstAxis::ticks_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("step");
    QTest::addColumn<Ticks>("values");
    QTest::newRow("0 to 20") << 0.0 << 20.0 << 2.0 << Ticks{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
    QTest::newRow("0 to 8") << 0.0 << 8.0 << 2.0 << Ticks{0, 2, 4, 6, 8};
    QTest::newRow("0 to 1") << 0.0 << 1.0 << 0.2 << Ticks{0, 0.2, 0.4, 0.6000000000000001, 0.8, 1};
    QTest::newRow("-1.5 to 1.5") << -1.5 << 1.5 << 0.5 << Ticks{-1.5, -1, -0.5, 0, 0.5, 1, 1.5};
    QTest::newRow("3 to 12.5") << 3.0 << 12.5 << 2.0 << Ticks{4, 6, 8, 10, 12};
    // -0.3 / 0.1 rounds below -3: the tick at -0.3 is lost, the middle one
    // is not exactly 0.
    QTest::newRow("-0.3 to 0.3") << -0.3 << 0.3 << 0.1
                                 << Ticks{-0.20000000000000004, -0.10000000000000003,
                                          -2.7755575615628914e-17, 0.09999999999999998,
                                          0.19999999999999998};
    QTest::newRow("-0.4 to 0.4") << -0.4 << 0.4 << 0.2 << Ticks{-0.4, -0.2, 0, 0.2, 0.4};
    // log10(999.9999999999999) rounds to 3: without care m would be 0.
    QTest::newRow("just below a power of ten")
        << 0.0 << 999.9999999999999 << 200.0 << Ticks{0, 200, 400, 600, 800};
    QTest::newRow("reversed range is ordered") << 8.0 << 0.0 << 2.0 << Ticks{0, 2, 4, 6, 8};
}

void TstAxis::ticks()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, step);
    QFETCH(Ticks, values);
    double s, first, last;
    axisTicks(lo, hi, s, first, last);
    QCOMPARE(s, step);
    QCOMPARE(first, values.first());
    QCOMPARE(last, values.last());
    const Ticks got = axisTickValues(lo, hi);
    QCOMPARE(got.size(), values.size());
    for (int i = 0; i < got.size(); ++i)
        QVERIFY2(got[i] == values[i], qPrintable(QString::number(got[i], 'g', 17)));
}

void TstAxis::noTicks_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::newRow("empty") << 1.0 << 1.0;
    QTest::newRow("nan") << qnan << 1.0;
    QTest::newRow("infinite") << 0.0 << infinity;
    // The step (2e-16) is below the spacing of doubles near 1e3.
    QTest::newRow("below resolution") << 1000.0 << 1000.0000000000005;
}

void TstAxis::noTicks()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    double step, first, last;
    axisTicks(lo, hi, step, first, last);
    QCOMPARE(step, 0.0);
    QVERIFY(first > last);
    QVERIFY(axisTickValues(lo, hi).isEmpty());
}

void TstAxis::axisNumber_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5") << 2.5 << 5 << "2.50";
    QTest::newRow("12.5") << 12.5 << 5 << "12.5";
    QTest::newRow("0.05") << 0.05 << 5 << "0.05";
    QTest::newRow("0.001") << 0.001 << 5 << "0.00";
    QTest::newRow("150") << 150.0 << 5 << "150.00";
    QTest::newRow("-0.5") << -0.5 << 5 << "-0.50";
    QTest::newRow("-12") << -12.0 << 5 << "-12.0";
    QTest::newRow("1e-25 is zero") << 1e-25 << 5 << "0";
    QTest::newRow("9.99") << 9.99 << 5 << "9.99";
    QTest::newRow("99.4") << 99.4 << 5 << "99.4";
    QTest::newRow("1234.5") << 1234.5 << 5 << "1234.50";
    QTest::newRow("-3.25") << -3.25 << 5 << "-3.25";
    QTest::newRow("exponent form, width 8") << 0.00012345 << 8 << "1.23e-04";
    QTest::newRow("negative exponent form, width 10") << -0.00012345 << 10 << "-1.2345e-04";
    QTest::newRow("general form, width 3") << 5.0 << 3 << "5";
    QTest::newRow("nan") << qnan << 5 << "nan";
}

void TstAxis::axisNumber()
{
    QFETCH(double, v);
    QFETCH(int, width);
    QFETCH(QString, text);
    QCOMPARE(::axisNumber(v, width), text);
}

void TstAxis::decade_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<int>("decade");
    QTest::addColumn<int>("expWidth");
    QTest::newRow("5") << 5.0 << 0 << 2; // exponent 0 has one digit
    QTest::newRow("0.05") << 0.05 << -2 << 2;
    QTest::newRow("-0.5") << -0.5 << -1 << 2;
    QTest::newRow("150") << 150.0 << 2 << 2;
    QTest::newRow("0.999") << 0.999 << -1 << 2;
    QTest::newRow("1e-12") << 1e-12 << -12 << 3;
    QTest::newRow("-1e100") << -1e100 << 100 << 4;
    QTest::newRow("zero") << 0.0 << 0 << 2;
    QTest::newRow("infinite") << infinity << 0 << 2;
}

void TstAxis::decade()
{
    QFETCH(double, v);
    QFETCH(int, decade);
    QFETCH(int, expWidth);
    QCOMPARE(decadeOf(v), decade);
    QCOMPARE(exponentWidth(v), expWidth);
}

QTEST_MAIN(TstAxis)
#include "tst_axis.moc"
