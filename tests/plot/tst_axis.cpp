#include "plot/axis.h"

#include <QtTest>

using Ticks = QVector<double>;

// Expected tick values come from a short independent script that follows the
// 1-2-5 rule and accumulates with IEEE doubles, printed to 17 digits; they are
// compared exactly, so the accumulated rounding shows too.
class TstAxis : public QObject
{
    Q_OBJECT
private slots:
    void ticks_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<double>("step");
        QTest::addColumn<Ticks>("values"); // empty: no ticks at all
        QTest::newRow("0 to 20") << 0.0 << 20.0 << 2.0
                                 << Ticks{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
        QTest::newRow("0 to 1") << 0.0 << 1.0 << 0.2
                                << Ticks{0, 0.2, 0.4, 0.6000000000000001, 0.8, 1};
        // -0.3 / 0.1 rounds below -3: the tick at -0.3 is lost, the middle
        // one is not exactly 0.
        QTest::newRow("-0.3 to 0.3")
            << -0.3 << 0.3 << 0.1
            << Ticks{-0.20000000000000004, -0.10000000000000003, -2.7755575615628914e-17,
                     0.09999999999999998, 0.19999999999999998};
        // log10(999.9999999999999) rounds to 3: without care m would be 0.
        QTest::newRow("just below a power of ten")
            << 0.0 << 999.9999999999999 << 200.0 << Ticks{0, 200, 400, 600, 800};
        QTest::newRow("reversed range is ordered") << 8.0 << 0.0 << 2.0 << Ticks{0, 2, 4, 6, 8};
        QTest::newRow("empty") << 1.0 << 1.0 << 0.0 << Ticks{};
        QTest::newRow("nan") << qQNaN() << 1.0 << 0.0 << Ticks{};
        QTest::newRow("infinite") << 0.0 << qInf() << 0.0 << Ticks{};
        // The step (2e-16) is below the spacing of doubles near 1e3.
        QTest::newRow("below resolution") << 1000.0 << 1000.0000000000005 << 0.0 << Ticks{};
    }
    void ticks()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        double s, first, last;
        axisTicks(lo, hi, s, first, last);
        QTEST(s, "step");
        QTEST(axisTickValues(lo, hi), "values"); // QVector's ==: exact
    }

    void axisNumber_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.5") << 2.5 << 5 << "2.50";
        QTest::newRow("1e-25 is zero") << 1e-25 << 5 << "0";
        QTest::newRow("exponent form, width 8") << 0.00012345 << 8 << "1.23e-04";
        QTest::newRow("negative exponent form, width 10") << -0.00012345 << 10 << "-1.2345e-04";
        // Three-digit exponents need a wider exponent field.
        QTest::newRow("1e-12, width 12") << 1e-12 << 12 << "1.00000e-12";
        QTest::newRow("-1e100, width 10") << -1e100 << 10 << "-1.00e+100";
        QTest::newRow("nan") << qQNaN() << 5 << "nan";
    }
    void axisNumber()
    {
        QFETCH(double, v);
        QFETCH(int, width);
        QTEST(::axisNumber(v, width), "text");
    }
};

QTEST_MAIN(TstAxis)
#include "tst_axis.moc"
