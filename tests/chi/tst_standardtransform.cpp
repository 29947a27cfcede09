#include "chi/chi.h"
#include "chi/standardtransform.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using V = QVector<double>;

namespace {

// The inputs of tests/chi/data/standard_ft_reference.py, which computed the
// expected values of transform_data from the formula alone.
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

void setPoints(Chi &data, const V &k, const V &chi)
{
    data.k = k;
    data.chi = chi;
    data.hasChiK = true;
    data.sourcePath = QStringLiteral("/data/chi.dat");
}

} // namespace

// The standard transform: window values by hand, whole transforms against an
// independent script, and the file's header lines.
class TstStandardTransform : public QObject
{
    Q_OBJECT
private slots:
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

    void transform_data()
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
            << V{0.0, -0.004201595592947412, -0.04612813459239671, -0.015695022898123866};
        QTest::newRow("hanning n2 dk1, narrower range")
            << true << 3.0 << 5.0 << 1.0 << 2
            << V{-1.0922191546273705, -0.1030386818786326, 1.3088454884373124, -0.23654039137029087}
            << V{0.0, 1.232809622741327, -0.09096232982901534, -1.108966926035089};
        QTest::newRow("hanning n3 dk0.5")
            << true << 2.5 << 5.5 << 0.5 << 3
            << V{-1.301603000169159, 1.5880416849942136, 8.033743199066546, -3.251158187355343}
            << V{0.0, 4.410612269907186, -4.787525698388881, -8.084289333216017};
        QTest::newRow("hanning n2 dk1, uneven")
            << false << 3.0 << 5.0 << 1.0 << 2
            << V{0.37249913696902603, -0.5499181918225281, 0.08832704154216944, 1.5839083513763244}
            << V{0.0, -0.17141035491952292, 0.9262114883697914, -0.562652745465281};
        QTest::newRow("box n3, uneven")
            << false << 2.4 << 5.6 << 0.0 << 3
            << V{9.331585677280172, 0.23064900777547584, 1.8961698081596163, 1.0001348727335235}
            << V{0.0, -4.017148060338536, -3.6377339703447458, -5.945941015475231};
        QTest::newRow("overlapping ramps n1 dk2")
            << true << 3.5 << 4.5 << 2.0 << 1
            << V{-0.11854748982320774, 0.01300370878755649, 0.11471149436433947,
                 -0.07283247680932924}
            << V{0.0, 0.12753866838771524, -0.05409372763083793, -0.052447013894595024};
    }
    void transform()
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
                   "exp(2ikR)",
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

QTEST_GUILESS_MAIN(TstStandardTransform)
#include "tst_standardtransform.moc"
