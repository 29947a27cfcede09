#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using V = QVector<double>;

namespace {

// The header a processing program writes before its columns.
const QByteArray longHeader = "# XDI/1.0 Demeter/0.9.26\n"
                              "# Element.symbol: Cu\n"
                              "# Element.edge: K\n"
                              "# Mono.d_spacing: 3.13551\n"
                              "# Column.1: k inverse Angstrom\n"
                              "# Column.2: chi\n"
                              "# ///\n"
                              "# Cu foil, 10 K, 3 scans merged\n"
                              "#------------------------\n";

} // namespace

class TestMeasuredChi : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<V>("k"); // empty: refused
        QTest::addColumn<V>("chi");

        QTest::newRow("long header, columns k chi")
            << longHeader + "#  k  chi\n 2.00 0.125\n 2.05 -0.25\n 2.10 1.5e-2\n"
            << V{2.0, 2.05, 2.1} << V{0.125, -0.25, 0.015};
        // 0.8 / 2 = 0.4, 1.6 / 4 = 0.4; the k = 0 point cannot be unweighted.
        // 0.8 / 2^2 = 0.2, -1.6 / 4^2 = -0.1.
        QTest::newRow("chik2 column divided by k squared")
            << longHeader + "#  k  chik2  win\n0 0 0\n2 0.8 1\n4 -1.6 1\n"
            << V{2.0, 4.0} << V{0.2, -0.1};
        // 0.8 / 2^3 = 0.1, 3.2 / 4^3 = 0.05.
        QTest::newRow("chik3 column, upper case, several #")
            << QByteArray("## K CHIK3\n2 0.8\n4 3.2\n") << V{2.0, 4.0} << V{0.1, 0.05};
        QTest::newRow("column line not the last comment: unweighted")
            << QByteArray("# k chik2\n# smoothed\n2 0.8\n") << V{2.0} << V{0.8};
        QTest::newRow("CRLF line ends and blank lines")
            << QByteArray("# k chik2\r\n\r\n2.0 0.8\r\n   \r\n\r\n4.0 1.6\r\n") << V{2.0, 4.0}
            << V{0.2, 0.1};
        QTest::newRow("garbage lines passed over")
            << QByteArray(
                   "# k chi\nk chi\n1.0 nan\n1.5 abc\n2.0 0.5 extra fields\n--\n2.5\n3.0 0.25\n")
            << V{2.0, 3.0} << V{0.5, 0.25};
        QTest::newRow("empty file") << QByteArray() << V{} << V{};
        QTest::newRow("garbage") << QByteArray("\177ELF\x02\x01\x01\0\0\0 binary stuff\n\n??\n", 28)
                                 << V{} << V{};
        QTest::newRow("weighted, only k = 0")
            << QByteArray("# k chik2\n0 0.5\n0.0 0\n") << V{} << V{};
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(V, k);
        QFETCH(V, chi);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Cu foil χ.chik"));
        QVERIFY(writeFile(path, text));
        Chi data; // holding data that a refused file must clear
        data.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
        QVERIFY(data.hasChiK);
        const QString message = MeasuredChi::read(path, data);
        if (k.isEmpty()) {
            QVERIFY2(message.contains(path) && !message.contains(QLatin1Char('\n')),
                     qPrintable(message));
            QVERIFY(!data.hasChiK && data.k.isEmpty());
            QCOMPARE(data.kExtent.min, 1e300);
            return;
        }
        QCOMPARE(message, QString());
        QVERIFY(data.hasChiK && !data.hasChiR);
        QCOMPARE(data.sourcePath, path);
        QCOMPARE(data.k, k);
        QCOMPARE(data.chi.size(), chi.size());
        for (int i = 0; i < chi.size(); ++i)
            QVERIFY2(qAbs(data.chi[i] - chi[i]) < 1e-15, qPrintable(QString::number(i)));
        QCOMPARE(data.kExtent.min, *std::min_element(k.begin(), k.end()));
        QCOMPARE(data.chiExtent.max, *std::max_element(chi.begin(), chi.end()));
    }
};

QTEST_GUILESS_MAIN(TestMeasuredChi)
#include "tst_measuredchi.moc"
