#include "chi/chi.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <cmath>

// Chi::transform: hand-checked cases, the accumulated grid, bad settings, and
// the fast sums against the direct definition.
class TstChiTransform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void knownValues_data();
    void knownValues();
    void rMaxBelowRMinGivesEmptyGrid();
    void defaultGridIsAccumulated();
    void withoutChiKKeepsChiR();
    void badSettings_data();
    void badSettings();
    void gridLimit_data();
    void gridLimit();
    void nonFinitePoints_data();
    void nonFinitePoints();
    void matchesDirectSums_data();
    void matchesDirectSums();
    void japaneseMessages_data();
    void japaneseMessages();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
    QString onePointFile;
};

namespace {

const double inf = HUGE_VAL;
const double notNumber = std::nan("");

struct Direct
{
    QVector<double> r, re, im;
};

// The transform as defined, written out plainly: R accumulated from rMin by
// rDelta while rMax >= R, one sine and one cosine per term, sums in k order.
Direct directSums(const QVector<double> &k, const QVector<double> &chi, double kMin, double kMax,
                  double rMin, double rMax, double rDelta)
{
    Direct d;
    double R = rMin;
    do {
        double re = 0.0;
        double im = 0.0;
        for (int i = 0; i < k.size(); ++i) {
            if (k[i] >= kMin && k[i] <= kMax) {
                const double x = (R + R) * k[i];
                im += std::sin(x) * chi[i];
                re += std::cos(x) * chi[i];
            }
        }
        d.r.append(R);
        d.re.append(re);
        d.im.append(im);
        R = R + rDelta;
    } while (rMax >= R);
    return d;
}

void setPoints(Chi &chi, const QVector<double> &k, const QVector<double> &values)
{
    chi.k = k;
    chi.chi = values;
    chi.hasChiK = !k.isEmpty();
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace

void TstChiTransform::initTestCase()
{
    QVERIFY(dir.isValid());
    onePointFile = writeFile(QStringLiteral("one.dat"), "k chi\n1 1\n");
}

QString TstChiTransform::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(bytes);
    return path;
}

void TstChiTransform::knownValues_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<double>("kMin");
    QTest::addColumn<double>("kMax");
    QTest::addColumn<double>("rMin");
    QTest::addColumn<double>("rMax");
    QTest::addColumn<double>("rDelta");
    QTest::addColumn<QVector<double>>("r");
    QTest::addColumn<QVector<double>>("re");
    QTest::addColumn<QVector<double>>("im");
    QTest::addColumn<QVector<double>>("abs");
    // Values by hand (cos and sin of 2kR), digits printed by Python's math module.
    const double quarterPi = 0.7853981633974483;
    QTest::newRow("one point, R = 0")
        << QVector<double>{1.0} << QVector<double>{1.0} << 0.0 << 10.0 << 0.0 << 0.0 << 0.01
        << QVector<double>{0.0} << QVector<double>{1.0} << QVector<double>{0.0}
        << QVector<double>{1.0};
    QTest::newRow("one point, R = pi/4")
        << QVector<double>{1.0} << QVector<double>{1.0} << 0.0 << 10.0 << quarterPi << quarterPi
        << 0.01 << QVector<double>{quarterPi} << QVector<double>{6.123233995736766e-17}
        << QVector<double>{1.0} << QVector<double>{1.0};
    QTest::newRow("rMin = rMax = 1.5 gives one point")
        << QVector<double>{1.0} << QVector<double>{1.0} << 0.0 << 10.0 << 1.5 << 1.5 << 0.01
        << QVector<double>{1.5} << QVector<double>{-0.9899924966004454}
        << QVector<double>{0.1411200080598672} << QVector<double>{1.0};
    QTest::newRow("point exactly at kMin takes part")
        << QVector<double>{2.0, 3.0} << QVector<double>{1.0, 0.5} << 2.0 << 2.5 << 0.25 << 0.25
        << 0.1 << QVector<double>{0.25} << QVector<double>{0.5403023058681398}
        << QVector<double>{0.8414709848078965} << QVector<double>{1.0};
    QTest::newRow("point exactly at kMax takes part")
        << QVector<double>{2.0, 3.0} << QVector<double>{1.0, 0.5} << 2.5 << 3.0 << 0.25 << 0.25
        << 0.1 << QVector<double>{0.25} << QVector<double>{0.03536860083385145}
        << QVector<double>{0.4987474933020272} << QVector<double>{0.5};
    QTest::newRow("point just below kMin is left out")
        << QVector<double>{1.999999999999, 3.0} << QVector<double>{1.0, 0.5} << 2.0 << 3.0 << 0.25
        << 0.25 << 0.1 << QVector<double>{0.25} << QVector<double>{0.03536860083385145}
        << QVector<double>{0.4987474933020272} << QVector<double>{0.5};
    QTest::newRow("point just above kMax is left out")
        << QVector<double>{2.0, 3.000000000001} << QVector<double>{1.0, 0.5} << 2.0 << 3.0 << 0.25
        << 0.25 << 0.1 << QVector<double>{0.25} << QVector<double>{0.5403023058681398}
        << QVector<double>{0.8414709848078965} << QVector<double>{1.0};
    // 0.1 + 0.1 + 0.1 = 0.30000000000000004 > 0.3: the accumulated step
    // overshoots rMax and the grid has two points, not three.
    QTest::newRow("three points, accumulated step overshoots rMax")
        << QVector<double>{1.0, 2.5, 4.0} << QVector<double>{0.5, -0.25, 1.0} << 1.0 << 4.0 << 0.1
        << 0.3 << 0.1 << QVector<double>{0.1, 0.2}
        << QVector<double>{0.967344357795193, 0.2962553982331188}
        << QVector<double>{0.6968343716460026, 0.9839150279938562}
        << QVector<double>{1.1921968159936822, 1.0275485600663428};
    QTest::newRow("infinite k bounds take every point")
        << QVector<double>{1.0, 2.5, 4.0} << QVector<double>{0.5, -0.25, 1.0} << -inf << inf << 0.1
        << 0.3 << 0.1 << QVector<double>{0.1, 0.2}
        << QVector<double>{0.967344357795193, 0.2962553982331188}
        << QVector<double>{0.6968343716460026, 0.9839150279938562}
        << QVector<double>{1.1921968159936822, 1.0275485600663428};
    QTest::newRow("k range without points gives zeros")
        << QVector<double>{1.0, 2.0} << QVector<double>{1.0, 1.0} << 5.0 << 6.0 << 0.0 << 0.2 << 0.1
        << QVector<double>{0.0, 0.1, 0.2} << QVector<double>{0.0, 0.0, 0.0}
        << QVector<double>{0.0, 0.0, 0.0} << QVector<double>{0.0, 0.0, 0.0};
    QTest::newRow("kMin above kMax gives zeros")
        << QVector<double>{1.0, 2.0} << QVector<double>{1.0, 1.0} << 2.0 << 1.0 << 0.5 << 0.5 << 0.1
        << QVector<double>{0.5} << QVector<double>{0.0} << QVector<double>{0.0}
        << QVector<double>{0.0};
    QTest::newRow("NaN k is outside every range")
        << QVector<double>{notNumber, 1.0} << QVector<double>{5.0, 1.0} << -inf << inf << 0.0 << 0.0
        << 0.01 << QVector<double>{0.0} << QVector<double>{1.0} << QVector<double>{0.0}
        << QVector<double>{1.0};
}

void TstChiTransform::knownValues()
{
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    QFETCH(double, kMin);
    QFETCH(double, kMax);
    QFETCH(double, rMin);
    QFETCH(double, rMax);
    QFETCH(double, rDelta);
    QFETCH(QVector<double>, r);
    QFETCH(QVector<double>, re);
    QFETCH(QVector<double>, im);
    QFETCH(QVector<double>, abs);
    Chi data;
    setPoints(data, k, chi);
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(kMin, kMax, rMin, rMax, rDelta);
    QCOMPARE(logSpy.count(), 0);
    QVERIFY(data.hasChiR);
    QVERIFY(data.r == r); // exact: the grid is the accumulated one
    QCOMPARE(data.chiRRe.size(), r.size());
    QCOMPARE(data.chiRIm.size(), r.size());
    QCOMPARE(data.chiRAbs.size(), r.size());
    double absMin = 1e300;
    double absMax = -1e300;
    for (int j = 0; j < r.size(); ++j) {
        QVERIFY2(near(data.chiRRe[j], re[j], 1e-12), qPrintable(QString::number(data.chiRRe[j])));
        QVERIFY2(near(data.chiRIm[j], im[j], 1e-12), qPrintable(QString::number(data.chiRIm[j])));
        QVERIFY2(near(data.chiRAbs[j], abs[j], 1e-12),
                 qPrintable(QString::number(data.chiRAbs[j])));
        absMin = std::min(absMin, abs[j]);
        absMax = std::max(absMax, abs[j]);
    }
    QVERIFY(data.rExtent.min == r.first() && data.rExtent.max == r.last());
    QVERIFY(near(data.chiRAbsExtent.min, absMin, 1e-12));
    QVERIFY(near(data.chiRAbsExtent.max, absMax, 1e-12));
}

void TstChiTransform::rMaxBelowRMinGivesEmptyGrid()
{
    Chi data;
    setPoints(data, {1.0}, {1.0});
    data.transform(0.0, 10.0, 0.0, 1.0, 0.5);
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(0.0, 10.0, 1.0, 0.999, 0.01);
    QCOMPARE(logSpy.count(), 0);
    QVERIFY(data.hasChiR);
    QVERIFY(data.r.isEmpty() && data.chiRAbs.isEmpty() && data.chiRRe.isEmpty() &&
            data.chiRIm.isEmpty());
    QCOMPARE(data.rExtent.min, 1e300);
    QCOMPARE(data.chiRAbsExtent.max, -1e300);
}

void TstChiTransform::defaultGridIsAccumulated()
{
    Chi data;
    setPoints(data, {1.0}, {1.0});
    data.transform(3.0, 20.0, 0.0, 8.0, 0.01);
    QCOMPARE(data.r.size(), 801);
    // Running sums of 0.01, as Python prints them.
    QVERIFY(data.r[1] == 0.01);
    QVERIFY(data.r[3] == 0.03);
    QVERIFY(data.r[100] == 1.0000000000000007);
    QVERIFY(data.r[799] == 7.989999999999874);
    QVERIFY(data.r[800] == 7.999999999999874);
    QVERIFY(data.rExtent.min == 0.0);
    QVERIFY(data.rExtent.max == 7.999999999999874);
    // k = 1 lies outside 3..20: nothing is summed.
    QCOMPARE(data.chiRAbsExtent.min, 0.0);
    QCOMPARE(data.chiRAbsExtent.max, 0.0);
}

void TstChiTransform::withoutChiKKeepsChiR()
{
    Chi data;
    data.transform(3.0, 20.0, 0.0, 8.0, 0.01);
    QVERIFY(!data.hasChiR);
    QVERIFY(data.r.isEmpty());

    setPoints(data, {1.0, 2.0}, {1.0, -1.0});
    data.transform(0.0, 10.0, 0.0, 1.0, 0.25);
    const QVector<double> r = data.r;
    const QVector<double> abs = data.chiRAbs;
    QCOMPARE(r.size(), 5);
    data.clearChiK();
    data.transform(0.0, 10.0, 0.0, 2.0, 0.5);
    QVERIFY(data.hasChiR);
    QVERIFY(data.r == r);
    QVERIFY(data.chiRAbs == abs);
}

void TstChiTransform::badSettings_data()
{
    QTest::addColumn<double>("kMin");
    QTest::addColumn<double>("kMax");
    QTest::addColumn<double>("rMin");
    QTest::addColumn<double>("rMax");
    QTest::addColumn<double>("rDelta");
    QTest::addColumn<QString>("message"); // after "::Can not transform <file> : "
    QTest::newRow("zero R_DELTA") << 3.0 << 20.0 << 0.0 << 8.0 << 0.0
                                  << "R_DELTA = 0 is not usable";
    QTest::newRow("negative R_DELTA")
        << 3.0 << 20.0 << 0.0 << 8.0 << -0.01 << "R_DELTA = -0.01 is not usable";
    QTest::newRow("NaN R_DELTA") << 3.0 << 20.0 << 0.0 << 8.0 << notNumber
                                 << "R_DELTA = nan is not usable";
    QTest::newRow("infinite R_DELTA")
        << 3.0 << 20.0 << 0.0 << 8.0 << inf << "R_DELTA = inf is not usable";
    QTest::newRow("NaN R_MIN") << 3.0 << 20.0 << notNumber << 8.0 << 0.01
                               << "R_MIN = nan is not usable";
    QTest::newRow("infinite R_MAX")
        << 3.0 << 20.0 << 0.0 << inf << 0.01 << "R_MAX = inf is not usable";
    QTest::newRow("minus infinite R_MIN")
        << 3.0 << 20.0 << -inf << 8.0 << 0.01 << "R_MIN = -inf is not usable";
    QTest::newRow("NaN K_MIN") << notNumber << 20.0 << 0.0 << 8.0 << 0.01
                               << "K_MIN = nan is not usable";
    QTest::newRow("NaN K_MAX") << 3.0 << notNumber << 0.0 << 8.0 << 0.01
                               << "K_MAX = nan is not usable";
    QTest::newRow("R_DELTA 1e-12 would exhaust memory")
        << 3.0 << 20.0 << 0.0 << 8.0 << 1e-12
        << "the R grid from 0 to 8 by 1e-12 would have more than 1000000 points";
    // 1e17 + 1 == 1e17: the running sum never moves, though the estimate
    // (R_MAX - R_MIN) / R_DELTA is only about 1000.
    QTest::newRow("step lost in rounding at large R")
        << 3.0 << 20.0 << 1e17 << 1.00000000000001e17 << 1.0
        << "the R grid from 1e+17 to 1.00000000000001e+17 by 1 would have more than 1000000 points";
    QTest::newRow("zero step with rMax below rMin is no error")
        << 3.0 << 20.0 << 1.0 << 0.0 << 0.0 << QString();
}

void TstChiTransform::badSettings()
{
    QFETCH(double, kMin);
    QFETCH(double, kMax);
    QFETCH(double, rMin);
    QFETCH(double, rMax);
    QFETCH(double, rDelta);
    QFETCH(QString, message);
    Chi data;
    data.readChiK(onePointFile);
    QVERIFY(data.hasChiK);
    data.transform(0.0, 10.0, 0.0, 1.0, 0.1);
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(kMin, kMax, rMin, rMax, rDelta);
    QVERIFY(data.hasChiR);
    QVERIFY(data.r.isEmpty() && data.chiRAbs.isEmpty() && data.chiRRe.isEmpty() &&
            data.chiRIm.isEmpty());
    QCOMPARE(data.rExtent.max, -1e300);
    if (message.isEmpty()) {
        QCOMPARE(logSpy.count(), 0);
    } else {
        QCOMPARE(logSpy.count(), 1);
        QCOMPARE(logSpy.at(0).at(0).toString(),
                 QStringLiteral("::Can not transform %1 : %2").arg(onePointFile, message));
    }
}

void TstChiTransform::gridLimit_data()
{
    QTest::addColumn<double>("rMax");
    QTest::addColumn<int>("points");
    QTest::newRow("0 to 999999 by 1: exactly the limit") << 999999.0 << 1000000;
    QTest::newRow("0 to 1000000 by 1: one point too many") << 1000000.0 << 0;
}

void TstChiTransform::gridLimit()
{
    QFETCH(double, rMax);
    QFETCH(int, points);
    Chi data;
    setPoints(data, {0.5}, {2.0});
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(0.0, 1.0, 0.0, rMax, 1.0);
    QCOMPARE(data.r.size(), points);
    QCOMPARE(logSpy.count(), points > 0 ? 0 : 1);
    if (points > 0) {
        QVERIFY(data.r.last() == 999999.0);
        // cos(2 * 0.5 * 999999) * 2 = 2 cos(999999), by Python.
        QVERIFY(near(data.chiRRe.last(), 2 * 0.21161995758460128, 1e-9));
    }
}

void TstChiTransform::nonFinitePoints_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<double>("kMax");
    QTest::addColumn<int>("leftOut");
    // Always the sum of (k 1, chi 1) and (k 3, chi 0.5) on R = 0.5, 0.6, 0.7.
    QTest::newRow("NaN chi") << QVector<double>{1.0, 2.0, 3.0}
                             << QVector<double>{1.0, notNumber, 0.5} << 10.0 << 1;
    QTest::newRow("infinite chi, twice")
        << QVector<double>{1.0, 2.0, 3.0, 2.5} << QVector<double>{1.0, inf, 0.5, -inf} << 10.0 << 2;
    QTest::newRow("infinite k inside an infinite range")
        << QVector<double>{1.0, inf, 3.0} << QVector<double>{1.0, 1.0, 0.5} << inf << 1;
    QTest::newRow("NaN chi outside the range is no matter")
        << QVector<double>{1.0, 12.0, 3.0} << QVector<double>{1.0, notNumber, 0.5} << 10.0 << 0;
}

void TstChiTransform::nonFinitePoints()
{
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    QFETCH(double, kMax);
    QFETCH(int, leftOut);
    Chi data;
    data.readChiK(onePointFile);
    setPoints(data, k, chi);
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(0.0, kMax, 0.5, 0.7, 0.1);
    QCOMPARE(data.r.size(), 3);
    const double re[] = {0.04530605756791706, -0.08602145369039998, -0.07516326777010907};
    const double im[] = {0.9120309888378301, 0.7107788643198003, 0.5496618437816663};
    for (int j = 0; j < 3; ++j) {
        QVERIFY(near(data.chiRRe[j], re[j], 1e-12));
        QVERIFY(near(data.chiRIm[j], im[j], 1e-12));
    }
    QVERIFY(near(data.chiRAbsExtent.max, 0.9131556074694266, 1e-12));
    QCOMPARE(logSpy.count(), leftOut > 0 ? 1 : 0);
    if (leftOut > 0)
        QCOMPARE(logSpy.at(0).at(0).toString(),
                 QStringLiteral("::Left out %1 points of %2 whose k or chi is not a finite number")
                     .arg(leftOut)
                     .arg(onePointFile));
}

void TstChiTransform::matchesDirectSums_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<double>("kMin");
    QTest::addColumn<double>("kMax");
    QTest::addColumn<double>("rMin");
    QTest::addColumn<double>("rMax");
    QTest::addColumn<double>("rDelta");

    Chi feff;
    feff.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
    QVERIFY(feff.hasChiK);
    // Unevenly spaced, unsorted, with repeats.
    QRandomGenerator random(42);
    QVector<double> k;
    QVector<double> chi;
    for (int i = 0; i < 500; ++i) {
        k.append(random.bounded(25.0));
        chi.append(random.bounded(2.0) - 1.0);
    }
    k.append(k[10]);
    chi.append(0.75);

    QTest::newRow("FEFF chi.dat, default settings")
        << feff.k << feff.chi << 3.0 << 20.0 << 0.0 << 8.0 << 0.01;
    QTest::newRow("FEFF chi.dat, fine grid to 12")
        << feff.k << feff.chi << 2.0 << 18.0 << 0.5 << 12.0 << 0.003;
    QTest::newRow("FEFF chi.dat, grid through zero")
        << feff.k << feff.chi << 3.0 << 20.0 << -2.0 << 2.0 << 0.013;
    QTest::newRow("FEFF chi.dat, coarse grid to 100")
        << feff.k << feff.chi << 0.0 << 20.0 << 0.0 << 100.0 << 0.37;
    QTest::newRow("random k, default settings") << k << chi << 3.0 << 20.0 << 0.0 << 8.0 << 0.01;
    QTest::newRow("random k, R 900 to 1000") << k << chi << 0.0 << 25.0 << 900.0 << 1000.0 << 0.07;
    QTest::newRow("random k, 9 grid points") << k << chi << 0.0 << 25.0 << 1.0 << 1.08 << 0.01;
    QTest::newRow("random k, 2 grid points") << k << chi << 0.0 << 25.0 << 1.0 << 1.5 << 0.5;
    QTest::newRow("random k, 20000 grid points") << k << chi << 1.0 << 24.0 << 0.0 << 20.0 << 0.001;
}

// The fast sums against the definition: the same grid bit for bit, every
// value within 1e-10 of the largest |chi(R)|.
void TstChiTransform::matchesDirectSums()
{
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    QFETCH(double, kMin);
    QFETCH(double, kMax);
    QFETCH(double, rMin);
    QFETCH(double, rMax);
    QFETCH(double, rDelta);
    Chi data;
    setPoints(data, k, chi);
    data.transform(kMin, kMax, rMin, rMax, rDelta);
    const Direct direct = directSums(k, chi, kMin, kMax, rMin, rMax, rDelta);
    QVERIFY(data.r == direct.r);
    double largest = 0.0;
    for (int j = 0; j < direct.r.size(); ++j)
        largest = std::max(largest, std::hypot(direct.re[j], direct.im[j]));
    QVERIFY(largest > 0.0);
    const double tolerance = 1e-10 * largest;
    for (int j = 0; j < direct.r.size(); ++j) {
        const double abs = std::hypot(direct.re[j], direct.im[j]);
        QVERIFY2(near(data.chiRRe[j], direct.re[j], tolerance) &&
                     near(data.chiRIm[j], direct.im[j], tolerance) &&
                     near(data.chiRAbs[j], abs, tolerance),
                 qPrintable(QStringLiteral("R = %1").arg(direct.r[j])));
    }
}

void TstChiTransform::japaneseMessages_data()
{
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<double>("rDelta");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad setting") << QVector<double>{1.0} << -1.0
                                 << "%1 を変換できません: R_DELTA = -1 は使えない値です。";
    QTest::newRow("grid too large")
        << QVector<double>{1.0} << 1e-9
        << "%1 を変換できません: 0 から 8 まで 1e-09 刻みの R グリッドは 1000000 点を超えます。";
    QTest::newRow("points left out") << QVector<double>{notNumber} << 0.01
                                     << "%1 の k または chi が有限の数でない 1 点を除きました。";
}

void TstChiTransform::japaneseMessages()
{
    QFETCH(QVector<double>, chi);
    QFETCH(double, rDelta);
    QFETCH(QString, message);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":Scatterdeck_ja_JP")));
    QCoreApplication::installTranslator(&translator);
    Chi data;
    data.readChiK(onePointFile);
    setPoints(data, {1.0}, chi);
    QSignalSpy logSpy(&data, &Chi::log);
    data.transform(0.0, 10.0, 0.0, 8.0, rDelta);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(logSpy.count(), 1);
    QCOMPARE(logSpy.at(0).at(0).toString(), message.arg(onePointFile));
}

QTEST_GUILESS_MAIN(TstChiTransform)
#include "tst_chitransform.moc"
