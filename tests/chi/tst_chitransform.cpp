#include "chi/chi.h"
#include "chi/fouriersum.h"
#include "chi/standardtransform.h"
#include "tests/testfiles.h"

#include <QRandomGenerator>
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

V accumulatedGrid(double rMin, double rMax, double rDelta)
{
    V r;
    double R = rMin;
    do {
        r << R;
        R = R + rDelta;
    } while (rMax >= R);
    return r;
}

// count values evenly spread over [low, low + width).
V randomValues(QRandomGenerator &random, int count, double low, double width)
{
    V values;
    for (int i = 0; i < count; ++i)
        values << low + random.bounded(width);
    return values;
}

// The inputs of tests/chi/data/standard_ft_reference.py, which computed the
// expected values of standard_data from the formula alone.
V evenK()
{
    V k;
    for (int i = 0; i < 17; ++i)
        k << 2.0 + 0.25 * i;
    return k;
}

V evenChi()
{
    V chi;
    for (int i = 0; i < 17; ++i)
        chi << ((i * 7) % 11 - 5) / 10.0;
    return chi;
}

const V unevenK = {2.0, 2.3, 2.45, 2.9, 3.1, 3.6, 4.0, 4.2, 4.75, 5.1, 5.5, 5.8, 6.3};
const V unevenChi = {0.12, -0.31, 0.25, 0.4,  -0.05, -0.22, 0.18,
                     0.3,  -0.27, 0.09, 0.15, -0.11, 0.07};

} // namespace

// Chi::transform: hand-checked cases, the accumulated grid and bad settings
// (settings columns hold {kMin, kMax, rMin, rMax, rDelta}); fourierSums on its
// own, every inner loop, against sums formed in long double: tight enough to
// see the grid's rounding drift if it were ignored; and the standard transform:
// window values by hand, whole transforms against an independent script, and
// the file's header lines.
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

    void againstLongDouble_data()
    {
        QTest::addColumn<V>("k");
        QTest::addColumn<V>("chi");
        QTest::addColumn<V>("r");

        Chi feff;
        feff.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
        QVERIFY(feff.hasChiK);
        QRandomGenerator random(7);
        const V k = randomValues(random, 300, 0.0, 25.0);
        const V chi = randomValues(random, 300, -1.0, 2.0);
        // Off the even step by up to 1e-7: corrections of up to 2k * 1e-7.
        V jittered = randomValues(random, 400, -1e-7, 2e-7);
        for (int n = 0; n < jittered.size(); ++n)
            jittered[n] += n * 0.01;
        const struct
        {
            const char *name;
            V k, chi, r;
        } rows[] = {
            {"FEFF, 0 to 8 by 0.01", feff.k, feff.chi, accumulatedGrid(0.0, 8.0, 0.01)},
            {"random k, -2 to 2 by 0.013", k, chi, accumulatedGrid(-2.0, 2.0, 0.013)},
            {"random k, 100 to 101 by 0.0007", k, chi, accumulatedGrid(100.0, 101.0, 0.0007)},
            {"random k, scattered unsorted grid", k, chi, randomValues(random, 100, -10.0, 30.0)},
            {"random k, steps of 0.01 with 1e-7 jitter", k, chi, jittered},
            {"random k, one grid point", k, chi, {2.5}},
            // More points than one pass takes.
            {"2500 random k, 0 to 2 by 0.01", randomValues(random, 2500, 0.0, 20.0),
             randomValues(random, 2500, -1.0, 2.0), accumulatedGrid(0.0, 2.0, 0.01)},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << row.k << row.chi << row.r;
    }

    // The reference forms 2kR and its sine and cosine in long double, so its
    // own error is far below that of any double computation. The bound allows
    // for the rounding of 2kR in double (which the definition itself has) and a
    // few ulp per term. Every inner loop is checked (those the processor lacks
    // fall back to the portable one).
    void againstLongDouble()
    {
        QFETCH(V, k);
        QFETCH(V, chi);
        QFETCH(V, r);
        V refRe(r.size()), refIm(r.size()), bound(r.size());
        for (int n = 0; n < r.size(); ++n) {
            long double sumRe = 0.0L, sumIm = 0.0L;
            for (int i = 0; i < k.size(); ++i) {
                const long double x = 2.0L * k[i] * r[n];
                sumRe += chi[i] * std::cos(x);
                sumIm += chi[i] * std::sin(x);
                bound[n] += std::fabs(chi[i]) * (8.0 + std::fabs(double(x))) * 2.3e-16;
            }
            refRe[n] = double(sumRe);
            refIm[n] = double(sumIm);
        }
        for (FourierKernel kernel : {FourierKernel::Best, FourierKernel::Portable,
                                     FourierKernel::Avx2, FourierKernel::Avx512}) {
            V re, im;
            fourierSums(k, chi, r, re, im, kernel);
            QVERIFY(re.size() == r.size() && im.size() == r.size());
            for (int n = 0; n < r.size(); ++n) {
                const double deviation =
                    std::max(std::fabs(re[n] - refRe[n]), std::fabs(im[n] - refIm[n]));
                QVERIFY2(deviation <= bound[n],
                         qPrintable(QString::asprintf("kernel %d, R = %g: deviation %g, bound %g",
                                                      int(kernel), r[n], deviation, bound[n])));
            }
        }
    }

    void emptyInputs()
    {
        V re{1.0}, im{1.0};
        fourierSums({}, {}, {0.0, 0.1}, re, im);
        QCOMPARE(re, (V{0.0, 0.0}));
        QCOMPARE(im, (V{0.0, 0.0}));
        fourierSums({1.0}, {1.0}, {}, re, im);
        QVERIFY(re.isEmpty() && im.isEmpty());
    }

    void window_data()
    {
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("dk");
        QTest::addColumn<double>("w");
        // K range 3 to 10. sin^2(pi/4) = cos^2(pi/4) = 0.5; sin^2(pi/8) = 0.1464466094067262.
        QTest::newRow("quarter of the rise") << 2.75 << 1.0 << 0.1464466094067262;
        QTest::newRow("at K_MIN") << 3.0 << 1.0 << 0.5;
        QTest::newRow("at K_MAX") << 10.0 << 1.0 << 0.5;
        QTest::newRow("quarter of the fall") << 9.75 << 1.0 << 1.0 - 0.1464466094067262;
        QTest::newRow("support end") << 10.5 << 1.0 << 0.0;
        QTest::newRow("box at K_MIN") << 3.0 << 0.0 << 1.0;
        QTest::newRow("box just outside") << 10.000001 << 0.0 << 0.0;
    }
    void window()
    {
        QFETCH(double, k);
        QFETCH(double, dk);
        QFETCH(double, w);
        const double got = StandardTransform::window(k, 3.0, 10.0, dk);
        QVERIFY2(std::fabs(got - w) < 1e-15, qPrintable(QString::number(got, 'g', 17)));
    }

    void standard_data()
    {
        QTest::addColumn<bool>("even");
        QTest::addColumn<double>("kMin");
        QTest::addColumn<double>("kMax");
        QTest::addColumn<double>("dk");
        QTest::addColumn<int>("n");
        QTest::addColumn<V>("re"); // at R = 0, 0.5, 1.0, 1.5
        QTest::addColumn<V>("im");
        QTest::newRow("box n0, all points")
            << true << 2.0 << 6.0 << 0.0 << 0
            << V{-0.028209479177387812, -0.022313515351592067, 0.12395844705233684,
                 -0.15667582137506264}
            << V{0.0, 0.004201595592947412, 0.04612813459239671, 0.015695022898123866};
        QTest::newRow("hanning n2 dk1, narrower range")
            << true << 3.0 << 5.0 << 1.0 << 2
            << V{-1.0922191546273705, -0.1030386818786326, 1.3088454884373124, -0.23654039137029087}
            << V{0.0, -1.232809622741327, 0.09096232982901534, 1.108966926035089};
        QTest::newRow("hanning n3 dk0.5")
            << true << 2.5 << 5.5 << 0.5 << 3
            << V{-1.301603000169159, 1.5880416849942136, 8.033743199066546, -3.251158187355343}
            << V{0.0, -4.410612269907186, 4.787525698388881, 8.084289333216017};
        QTest::newRow("box n3, uneven")
            << false << 2.4 << 5.6 << 0.0 << 3
            << V{9.331585677280172, 0.23064900777547584, 1.8961698081596163, 1.0001348727335235}
            << V{0.0, 4.017148060338536, 3.6377339703447458, 5.945941015475231};
        QTest::newRow("overlapping ramps n1 dk2")
            << true << 3.5 << 4.5 << 2.0 << 1
            << V{-0.11854748982320774, 0.01300370878755649, 0.11471149436433947,
                 -0.07283247680932924}
            << V{0.0, -0.12753866838771524, 0.05409372763083793, 0.052447013894595024};
    }
    void standard()
    {
        QFETCH(bool, even);
        QFETCH(double, kMin);
        QFETCH(double, kMax);
        QFETCH(double, dk);
        QFETCH(int, n);
        QFETCH(V, re);
        QFETCH(V, im);
        Chi data;
        setPoints(data, even ? evenK() : unevenK, even ? evenChi() : unevenChi);
        data.transform(TransformArgs{kMin, kMax, 0.0, 1.5, 0.5, FtOptions{true, n, dk}});
        QCOMPARE(data.r, (V{0.0, 0.5, 1.0, 1.5}));
        for (int j = 0; j < 4; ++j) {
            const double scale = std::max(1.0, std::hypot(re[j], im[j]));
            const QByteArray at = "R index " + QByteArray::number(j);
            QVERIFY2(std::fabs(data.chiRRe[j] - re[j]) < 1e-13 * scale, at);
            QVERIFY2(std::fabs(data.chiRIm[j] - im[j]) < 1e-13 * scale, at);
            QVERIFY(std::fabs(data.chiRAbs[j] - std::hypot(re[j], im[j])) < 1e-13 * scale);
        }
    }

    // Fewer than two points in the support have no spacing: zero, not NaN.
    void singlePointIsZero()
    {
        Chi data;
        setPoints(data, V{1.0, 4.0, 9.0}, V{1.0, 1.0, 1.0});
        data.transform(TransformArgs{3.5, 4.5, 0.0, 0.0, 0.01, FtOptions{true, 2, 1.0}});
        QCOMPARE(data.chiRAbs, V{0.0});
    }

    void fileSaysHowItWasMade_data()
    {
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("plain: no lines") << false << QStringList();
        QTest::newRow("standard, Hanning")
            << true
            << QStringList{
                   "# transform: standard, chi(R) = (dk_mean/sqrt(pi)) * sum w(k) k^n chi(k) "
                   "exp(-2ikR)",
                   "# k weight: n = 3", "# window: Hanning, sill dk = 1 1/A",
                   "# k range: 3 to 20 1/A, window support 2.5 to 20.5 1/A"};
    }
    void fileSaysHowItWasMade()
    {
        QFETCH(bool, standard);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath("chiR.dat");
        Chi data;
        setPoints(data, evenK(), evenChi());
        data.transform(TransformArgs{3.0, 20.0, 0.0, 0.0, 0.01, FtOptions{standard, 3, 1.0}});
        data.writeChiR(path, StandardTransform::comments(data.transformed));
        const QStringList written = QString::fromLatin1(readFile(path)).split('\n');
        lines << "# ---- Data ----";
        QCOMPARE(written.mid(3, lines.size()), lines);
    }
};

QTEST_GUILESS_MAIN(TstChiTransform)
#include "tst_chitransform.moc"
