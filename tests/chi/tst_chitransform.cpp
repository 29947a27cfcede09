#include "chi/chi.h"

#include <QSignalSpy>
#include <QtTest>
#include <cmath>

using V = QVector<double>;

namespace {

const double inf = HUGE_VAL;
const double notNumber = std::nan("");
const QString source = QStringLiteral("/data/chi.dat");

// Points as if read from source.
void setPoints(Chi &data, const V &k, const V &chi)
{
    data.k = k;
    data.chi = chi;
    data.hasChiK = !k.isEmpty();
    data.sourcePath = source;
}

// Transforms with the settings of a row; the messages it logged.
QStringList transform(Chi &data, const V &s)
{
    QSignalSpy spy(&data, &Chi::log);
    data.transform(s[0], s[1], s[2], s[3], s[4]);
    QStringList list;
    for (const QList<QVariant> &args : spy)
        list << args.at(0).toString();
    return list;
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace

// Chi::transform: hand-checked cases, the accumulated grid and bad settings
// (the sums themselves against long double in tst_fouriersum). Settings columns hold
// {kMin, kMax, rMin, rMax, rDelta}.
class TstChiTransform : public QObject
{
    Q_OBJECT
private slots:
    void knownValues_data()
    {
        QTest::addColumn<V>("k");
        QTest::addColumn<V>("chi");
        QTest::addColumn<V>("settings");
        QTest::addColumn<V>("r");
        QTest::addColumn<V>("re");
        QTest::addColumn<V>("im");
        QTest::addColumn<int>("leftOut");
        // Values by hand (cos and sin of 2kR), digits printed by Python's math
        // module. rMin = rMax gives one grid point.
        const double quarterPi = 0.7853981633974483;
        QTest::newRow("one point, R = pi/4")
            << V{1} << V{1} << V{0, 10, quarterPi, quarterPi, 0.01} << V{quarterPi}
            << V{6.123233995736766e-17} << V{1} << 0;
        QTest::newRow("points exactly at kMin and kMax take part")
            << V{2, 3} << V{1, 0.5} << V{2, 3, 0.25, 0.25, 0.1} << V{0.25} << V{0.5756709067019912}
            << V{1.3402184781099238} << 0;
        QTest::newRow("points just outside kMin and kMax are left out")
            << V{1.999999999999, 2.5, 3.000000000001} << V{1, 0.5, 1} << V{2, 3, 0.25, 0.25, 0.1}
            << V{0.25} << V{0.15766118119763434} << V{0.4744923096777931} << 0;
        // 0.1 + 0.1 + 0.1 = 0.30000000000000004 > 0.3: two grid points, not three.
        QTest::newRow("accumulated step overshoots rMax")
            << V{1, 2.5, 4} << V{0.5, -0.25, 1} << V{1, 4, 0.1, 0.3, 0.1} << V{0.1, 0.2}
            << V{0.967344357795193, 0.2962553982331188} << V{0.6968343716460026, 0.9839150279938562}
            << 0;
        QTest::newRow("kMin above kMax gives zeros")
            << V{1, 2} << V{1, 1} << V{2, 1, 0.5, 0.5, 0.1} << V{0.5} << V{0} << V{0} << 0;
        // Non-finite points are left out and counted; these rows all give the
        // sums of (k 1, chi 1) and (k 3, chi 0.5) on R = 0.5, 0.6, 0.7.
        const V finite{0, 10, 0.5, 0.7, 0.1};
        const V finiteR{0.5, 0.6, 0.7};
        const V finiteRe{0.04530605756791706, -0.08602145369039998, -0.07516326777010907};
        const V finiteIm{0.9120309888378301, 0.7107788643198003, 0.5496618437816663};
        QTest::newRow("NaN and infinite chi")
            << V{1, 2, 3, 2.5, 2.2} << V{1, inf, 0.5, -inf, notNumber} << finite << finiteR
            << finiteRe << finiteIm << 3;
        QTest::newRow("infinite k inside an infinite range")
            << V{1, inf, 3} << V{1, 1, 0.5} << V{0, inf, 0.5, 0.7, 0.1} << finiteR << finiteRe
            << finiteIm << 1;
        QTest::newRow("NaN k is outside every range")
            << V{notNumber, 1} << V{5, 1} << V{-inf, inf, 0, 0, 0.01} << V{0} << V{1} << V{0} << 0;
    }

    void knownValues()
    {
        QFETCH(V, k);
        QFETCH(V, chi);
        QFETCH(V, settings);
        QFETCH(V, r);
        QFETCH(V, re);
        QFETCH(V, im);
        QFETCH(int, leftOut);
        Chi data;
        setPoints(data, k, chi);
        const QString leftOutMessage =
            QStringLiteral("::Left out %1 points of %2 whose k or chi is not a finite number");
        QCOMPARE(transform(data, settings),
                 leftOut > 0 ? QStringList{leftOutMessage.arg(leftOut).arg(source)}
                             : QStringList());
        QVERIFY(data.hasChiR);
        QCOMPARE(data.r, r); // exact: the grid is the accumulated one
        QVERIFY(data.chiRRe.size() == r.size() && data.chiRIm.size() == r.size() &&
                data.chiRAbs.size() == r.size());
        double absMin = 1e300, absMax = -1e300;
        for (int j = 0; j < r.size(); ++j) {
            const double abs = std::hypot(re[j], im[j]);
            QVERIFY2(near(data.chiRRe[j], re[j], 1e-12) && near(data.chiRIm[j], im[j], 1e-12) &&
                         near(data.chiRAbs[j], abs, 1e-12),
                     qPrintable(QStringLiteral("R = %1").arg(r[j])));
            absMin = std::min(absMin, abs);
            absMax = std::max(absMax, abs);
        }
        QVERIFY(data.rExtent.min == r.first() && data.rExtent.max == r.last());
        QVERIFY(near(data.chiRAbsExtent.min, absMin, 1e-12) &&
                near(data.chiRAbsExtent.max, absMax, 1e-12));
    }

    // The grid of a row: its size, last R and Re chi(R) there (chi 2 at k 0.5
    // gives 2 cos(R); values by Python), the previous grid gone either way. An
    // empty grid comes with the message after "::Can not transform <file> : ",
    // if any.
    void grid_data()
    {
        QTest::addColumn<V>("settings");
        QTest::addColumn<int>("points");
        QTest::addColumn<V>("last"); // R and Re chi(R)
        QTest::addColumn<QString>("message");
        QTest::newRow("0 to 8 by 0.01: the 801st point is 7.999999999999874")
            << V{0, 1, 0, 8, 0.01} << 801 << V{7.999999999999874, -0.2910000676169775} << QString();
        QTest::newRow("0 to 999999 by 1: exactly the grid limit")
            << V{0, 1, 0, 999999, 1} << 1000000 << V{999999.0, 0.42323991516920256} << QString();
        QTest::newRow("rMax below rMin") << V{0, 10, 1, 0.999, 0.01} << 0 << V{} << QString();
        QTest::newRow("zero R_DELTA")
            << V{3, 20, 0, 8, 0} << 0 << V{} << "R_DELTA = 0 is not usable";
        QTest::newRow("NaN R_DELTA")
            << V{3, 20, 0, 8, notNumber} << 0 << V{} << "R_DELTA = nan is not usable";
        QTest::newRow("one point over the grid limit")
            << V{0, 1, 0, 1000000, 1} << 0 << V{}
            << "the R grid from 0 to 1000000 by 1 would have more than 1000000 points";
        // 1e17 + 1 == 1e17: the running sum never moves, though the estimate
        // (R_MAX - R_MIN) / R_DELTA is only about 1000.
        QTest::newRow("step lost in rounding at large R")
            << V{3, 20, 1e17, 1.00000000000001e17, 1} << 0 << V{}
            << "the R grid from 1e+17 to 1.00000000000001e+17 by 1 would have more than 1000000 "
               "points";
        QTest::newRow("NaN K_MIN")
            << V{notNumber, 20, 0, 8, 0.01} << 0 << V{} << "K_MIN = nan is not usable";
    }

    void grid()
    {
        QFETCH(V, settings);
        QFETCH(int, points);
        QFETCH(V, last);
        QFETCH(QString, message);
        Chi data;
        setPoints(data, {0.5}, {2.0});
        data.transform(0.0, 10.0, 0.0, 1.0, 0.1);
        QCOMPARE(transform(data, settings),
                 message.isEmpty()
                     ? QStringList()
                     : QStringList{QString("::Can not transform %1 : %2").arg(source, message)});
        QVERIFY(data.hasChiR);
        QCOMPARE(data.r.size(), points);
        QVERIFY(data.chiRAbs.size() == points && data.chiRRe.size() == points &&
                data.chiRIm.size() == points);
        if (points == 0) {
            QVERIFY(data.rExtent.min == 1e300 && data.chiRAbsExtent.max == -1e300);
            return;
        }
        QVERIFY(data.r.first() == 0.0 && data.r.last() == last[0] && data.rExtent.max == last[0]);
        QVERIFY(near(data.chiRRe.last(), last[1], 1e-9));
    }
};

QTEST_GUILESS_MAIN(TstChiTransform)
#include "tst_chitransform.moc"
