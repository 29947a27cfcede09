#include "chi/chi.h"
#include "chi/chiaverage.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using V = QVector<double>;

namespace {

// A stand-in for FEFF's chi.dat: its header line, then k and chi.
QString writeChiFile(const QString &path, const V &k, const V &chi)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QString();
    QTextStream out(&file);
    out << "  Fe stand-in\n -----\n       k          chi          mag           phase @#\n";
    for (int i = 0; i < k.size(); ++i)
        out << k[i] << "  " << chi[i] << "  0  0\n";
    return path;
}

} // namespace

class TestChiAverage : public QObject
{
    Q_OBJECT

private slots:
    void average_data()
    {
        QTest::addColumn<V>("kB");      // grid of the second curve; the first is k = 0, 1, 2, 3
        QTest::addColumn<V>("chiB");    // the first curve is chi = 1 everywhere
        QTest::addColumn<V>("weights"); // of the first and the second curve
        QTest::addColumn<V>("kAvg");
        QTest::addColumn<V>("chiAvg");
        QTest::addColumn<bool>("interpolated");
        QTest::addColumn<QString>("error"); // empty: averaged

        // By hand: (w1 * 1 + w2 * chiB) / (w1 + w2).
        QTest::newRow("same grid, magnetite's weights 8 and 16")
            << V{0, 1, 2, 3} << V{0, 1, 2, 3} << V{8, 16} << V{0, 1, 2, 3}
            << V{1.0 / 3, 1, 5.0 / 3, 7.0 / 3} << false << QString();
        QTest::newRow("fractional weights of a mixed site")
            << V{0, 1, 2, 3} << V{4, 4, 4, 4} << V{2.4, 1.6} << V{0, 1, 2, 3}
            << V{2.2, 2.2, 2.2, 2.2} << false << QString();
        // chiB = k on k = 0.5 ... 2.5: linear, so interpolation is exact at
        // k = 1 and 2, the first grid's points inside the common range.
        QTest::newRow("other grid: interpolated, cut to the common range")
            << V{0.5, 1.5, 2.5} << V{0.5, 1.5, 2.5} << V{8, 16} << V{1, 2} << V{1, 5.0 / 3} << true
            << QString();
        QTest::newRow("a curve without data")
            << V{} << V{} << V{1, 1} << V{} << V{} << false << "a curve has no chi(k) data";
        QTest::newRow("weight zero") << V{0, 1} << V{2, 2} << V{1, 0} << V{} << V{} << false
                                     << "weight 0 is not a positive number";
        QTest::newRow("no common k range") << V{5, 6} << V{2, 2} << V{1, 1} << V{} << V{} << false
                                           << "the curves share no k range";
    }
    void average()
    {
        QFETCH(V, kB);
        QFETCH(V, chiB);
        QFETCH(V, weights);
        QFETCH(V, kAvg);
        QFETCH(V, chiAvg);
        QFETCH(QString, error);
        QTemporaryDir dir;
        Chi a, b, avg;
        a.readChiK(writeChiFile(dir.filePath("a.dat"), {0, 1, 2, 3}, {1, 1, 1, 1}));
        b.readChiK(writeChiFile(dir.filePath("b.dat"), kB, chiB));
        QVERIFY(a.hasChiK && b.hasChiK == !kB.isEmpty());
        avg.readChiK(dir.filePath("a.dat")); // earlier data, and a stale chi(R): both must go
        avg.hasChiR = true;
        const ChiAverage::Result result =
            ChiAverage::average({{&a, weights[0]}, {&b, weights[1]}}, avg);
        QCOMPARE(result.error, error);
        QCOMPARE(result.ok, error.isEmpty());
        QTEST(result.interpolated, "interpolated");
        QCOMPARE(avg.hasChiK, result.ok);
        QVERIFY(!avg.hasChiR);
        QCOMPARE(avg.k, kAvg);
        QCOMPARE(avg.chi.size(), chiAvg.size());
        for (int i = 0; i < chiAvg.size(); ++i)
            QVERIFY2(qAbs(avg.chi[i] - chiAvg[i]) < 1e-12, qPrintable(QString::number(i)));
        QCOMPARE(avg.kExtent.min, kAvg.value(0, 1e300));
        QCOMPARE(avg.kExtent.max, kAvg.value(kAvg.size() - 1, -1e300));
    }
    void writtenFileReadsBack()
    {
        QTemporaryDir dir;
        Chi avg;
        avg.k = {0.05, 1.5};
        avg.chi = {-0.125, 2.5e-3};
        avg.hasChiK = true;
        const QString path = dir.filePath("chiavg.dat");
        QVERIFY(ChiAverage::writeChiK(avg, path, {"sites: Fe1 8, Fe2 16"}));
        const QList<QByteArray> lines = readFile(path).split('\n');
        QCOMPARE(lines.value(2), QByteArray("# sites: Fe1 8, Fe2 16"));
        QCOMPARE(lines.value(5), QByteArray(" 5.000000e-02\t-1.250000e-01"));
        Chi back;
        back.readChiK(path);
        QCOMPARE(back.k, avg.k);
        QCOMPARE(back.chi, avg.chi);
        QVERIFY(!ChiAverage::writeChiK(avg, dir.filePath("no/such/folder/chiavg.dat"), {}));
    }
};

QTEST_GUILESS_MAIN(TestChiAverage)
#include "tst_chiaverage.moc"
